#!/bin/bash
# run_fuzz.sh BUILD SECONDS [NAME...]: runs each libFuzzer target of the
# fuzz build BUILD (all of BUILD/fuzz/fuzz_* when no NAME is given) for
# SECONDS seconds, one after the other, starting from its seeds in
# tests/data/fuzz/NAME. New inputs collect in BUILD/fuzz-corpus/NAME, an
# input that fails goes to BUILD/fuzz-crashes/NAME/. Prints executions and
# coverage per target; exits 1 when any target found a fault.
set -u
build=$1
seconds=$2
shift 2
names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for bin in "$build"/fuzz/fuzz_*; do names+=("$(basename "$bin" | sed 's/^fuzz_//')"); done
fi
faults=0
printf '%-18s %12s %8s %9s  %s\n' target executions edges features result
for name in "${names[@]}"; do
  bin=$build/fuzz/fuzz_$name
  corpus=$build/fuzz-corpus/$name
  crashes=$build/fuzz-crashes/$name
  log=$build/fuzz-$name.log
  mkdir -p "$corpus" "$crashes"
  "$bin" -max_total_time="$seconds" -print_final_stats=1 -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$crashes/" "$corpus" "tests/data/fuzz/$name" >"$log" 2>&1
  status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  coverage=$(grep -E '^#[0-9]+.*cov: [0-9]+ ft: [0-9]+' "$log" | tail -1)
  edges=$(echo "$coverage" | sed -E 's/.*cov: ([0-9]+).*/\1/')
  features=$(echo "$coverage" | sed -E 's/.*ft: ([0-9]+).*/\1/')
  result=ok
  if [ $status -ne 0 ]; then
    result="FAULT: see $log; once mended, add the input from $crashes/ to tests/data/fuzz/$name/ under a name that says what it caught (git ignores crash-*)"
    faults=$((faults + 1))
  fi
  printf '%-18s %12s %8s %9s  %s\n' "$name" "${executions:-?}" "${edges:-?}" "${features:-?}" "$result"
done
[ $faults -eq 0 ]
