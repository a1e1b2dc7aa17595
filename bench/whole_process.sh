#!/usr/bin/env bash
# Whole-process figures against the machine's own pace:
#   qctool compare of two generated 20,000-topic projects vs sha1sum of both,
#   qctool resave of one vs sha1sum of it, and qctool diff vs GNU diff on
#   10,000 and 200,000 lines with 1 % changed.
# Each time is the best of five runs (wall clock); peak memory comes from
# /usr/bin/time when it is installed.
# usage: whole_process.sh QCTOOL GEN_PROJECT_PAIR DIFF_TEXTS WORKDIR
set -euo pipefail
qctool=$(realpath "$1") gen=$(realpath "$2") texts=$(realpath "$3") work=$4
mkdir -p "$work"
cd "$work"
[[ -s latest.qcp && -s history.qcp ]] || "$gen" 20000 latest.qcp history.qcp
[[ -s a10k.txt && -s b10k.txt ]] || "$texts" a10k.txt b10k.txt
if [[ ! -s a200k.txt || ! -s b200k.txt ]]; then
  # Deterministic: every hundredth line differs.
  awk 'BEGIN { for (i = 0; i < 200000; ++i) print "line " i " of the text, with its words " (i * 7919) % 100003 }' >a200k.txt
  awk '{ if (NR % 100 == 37) print $0 " changed"; else print }' a200k.txt >b200k.txt
fi

# best SECONDS of five runs of the command (output discarded)
best() {
  local best=999999 start end t
  for _ in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    t=$(((end - start) / 1000))
    ((t < best)) && best=$t
  done
  awk -v us="$best" 'BEGIN { printf "%.3f", us / 1e6 }'
}
peak() {
  if [[ -x /usr/bin/time ]]; then
    /usr/bin/time -f "%M" "$@" 2>&1 >/dev/null | tail -1 | awk '{ printf "%.0f MB", $1 / 1024 }'
  else
    echo "n/a"
  fi
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

size=$(($(stat -c %s latest.qcp) + $(stat -c %s history.qcp)))
compare=$(best "$qctool" compare latest.qcp history.qcp)
sha2=$(best sha1sum latest.qcp history.qcp)
resave=$(best "$qctool" resave latest.qcp resaved.qcp)
sha1=$(best sha1sum latest.qcp)
printf '%-44s %8s s  (sha1sum of both %s s, x%s; peak %s for %.0f MB of files)\n' \
  "qctool compare, 2 x 20,000 topics" "$compare" "$sha2" "$(ratio "$compare" "$sha2")" \
  "$(peak "$qctool" compare latest.qcp history.qcp)" "$(awk -v s="$size" 'BEGIN { print s / 1048576 }')"
printf '%-44s %8s s  (sha1sum %s s, x%s)\n' "qctool resave, 20,000 topics" "$resave" "$sha1" \
  "$(ratio "$resave" "$sha1")"
for n in 10k 200k; do
  ours=$(best "$qctool" diff "a$n.txt" "b$n.txt")
  if command -v diff >/dev/null; then
    gnu=$(best diff "a$n.txt" "b$n.txt")
  else
    gnu=0
  fi
  printf '%-44s %8s s  (GNU diff %s s, x%s)\n' "qctool diff, $n lines" "$ours" "$gnu" "$(ratio "$ours" "$gnu")"
done
