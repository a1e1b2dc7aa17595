#!/bin/bash
# qctool_apply.sh QCTOOL SOURCE_DIR: qctool apply on the example pair copies
# one change of one topic, after which that topic reads the same on both
# sides and no other topic changed; every bad argument exits 2 and leaves
# OUT as it was.
set -u
QCTOOL=$1
SRC=$2
WORK=$(mktemp -d)
trap 'chmod -R u+rw "$WORK"; rm -rf "$WORK"' EXIT
LATEST=$SRC/examples/Latest.qcp
HISTORY=$SRC/examples/History.qcp
. "$(dirname "$0")/check.sh"

class_of() {  # class_of LATEST HISTORY ID: the class compare prints for topic ID
  "$QCTOOL" compare "$1" "$2" | awk -F'\t' -v id="$3" '$2 == id { print $1 }'
}

# Getting Started (2) differs in one changed line: copied into Latest, its
# text is History's, and only its line of the file differs from Latest.
"$QCTOOL" apply "$LATEST" "$HISTORY" --topic 2 --change 1 --into latest -o "$WORK/out.qcp"
check "apply exits 0" [ $? -eq 0 ]
check "the topic then reads the same" [ "$(class_of "$WORK/out.qcp" "$HISTORY" 2)" = identical ]
others() { "$QCTOOL" compare "$1" "$2" | awk -F'\t' 'NF == 3 && $2 != 2 { print $1 }' | sort -u; }
check "every other topic of Latest is unchanged" [ "$(others "$LATEST" "$WORK/out.qcp")" = identical ]
check "only one line of the file changed" \
  [ "$(diff <(tr -d '\r' <"$LATEST") <(tr -d '\r' <"$WORK/out.qcp") | grep -c '^[<>]')" -le 2 ]

# Into History: History's file changes, and the topic again reads the same.
"$QCTOOL" apply "$LATEST" "$HISTORY" --topic 2 --change 1 --into history -o "$WORK/hist.qcp"
check "apply into history exits 0" [ $? -eq 0 ]
check "history then matches latest" [ "$(class_of "$LATEST" "$WORK/hist.qcp" 2)" = identical ]

# Bad arguments: status 2, a message, OUT as it was.
echo keep >"$WORK/kept"
bad() {  # bad ARGS...: exits 2 with a message, and WORK/kept is untouched
  "$QCTOOL" apply "$@" -o "$WORK/kept" 2>"$WORK/err"
  local status=$?
  [ $status -eq 2 ] && [ -s "$WORK/err" ] && [ "$(cat "$WORK/kept")" = keep ] && ! ls "$WORK" | grep -q '^kept.'
}
check "no such topic" bad "$LATEST" "$HISTORY" --topic 999 --change 1 --into latest
check "a topic without partner" bad "$LATEST" "$HISTORY" --topic 8 --change 1 --into latest
check "no such change" bad "$LATEST" "$HISTORY" --topic 2 --change 9 --into latest
check "an identical topic has no change" bad "$LATEST" "$HISTORY" --topic 1 --change 1 --into latest
check "change 0" bad "$LATEST" "$HISTORY" --topic 2 --change 0 --into latest
check "an unknown side" bad "$LATEST" "$HISTORY" --topic 2 --change 1 --into both
check "a missing file" bad "$WORK/none.qcp" "$HISTORY" --topic 2 --change 1 --into latest
echo "not a project" >"$WORK/broken.qcp"
check "a broken file" bad "$WORK/broken.qcp" "$HISTORY" --topic 2 --change 1 --into latest
if [ "$(id -u)" != 0 ]; then
  cp "$LATEST" "$WORK/locked.qcp" && chmod 000 "$WORK/locked.qcp"
  check "an unreadable file" bad "$WORK/locked.qcp" "$HISTORY" --topic 2 --change 1 --into latest
fi
check "no -o" bash -c '"$0" apply "$1" "$2" --topic 2 --change 1 --into latest 2>/dev/null; [ $? -eq 2 ]' \
  "$QCTOOL" "$LATEST" "$HISTORY"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
