#!/bin/sh
# Times qctool merge of three generated 20,000-topic projects against qctool
# compare of two of them. Run from a Release build folder:
#   sh ../bench/merge_speed.sh [N]
set -e
n=${1:-20000}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
./bench/document/gen_project_triple "$n" "$dir/base.qcp" "$dir/ours.qcp" "$dir/theirs.qcp"
ls -l "$dir"/*.qcp
seconds() {
  start=$(date +%s.%N)
  "$@" > /dev/null 2>&1 || true
  end=$(date +%s.%N)
  echo "$end - $start" | bc
}
compare=$(seconds ./tools/qctool/qctool compare "$dir/ours.qcp" "$dir/theirs.qcp")
merge=$(seconds ./tools/qctool/qctool merge "$dir/base.qcp" "$dir/ours.qcp" "$dir/theirs.qcp" -o "$dir/out.qcp")
./tools/qctool/qctool merge "$dir/base.qcp" "$dir/ours.qcp" "$dir/theirs.qcp" -o "$dir/out.qcp" \
  --plan "$dir/plan.json" > /dev/null 2>&1 || echo "qctool merge exit status: $? (1: conflicts remain)"
echo "qctool compare: ${compare} s"
echo "qctool merge:   ${merge} s"
echo "merge / compare: $(echo "scale=2; $merge / $compare" | bc)"
