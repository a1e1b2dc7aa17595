#!/bin/bash
# qctool_io.sh QCTOOL SOURCE_DIR: every subcommand reads inputs that have no
# size, checks its writes to standard output, and saving never replaces a
# pipe or a device. Devices are this script's own, made in its temporary
# folder: the system's /dev nodes are only ever written through a shell
# redirection, never named as a save target.
set -u
QCTOOL=$1
SRC=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
. "$(dirname "$0")/check.sh"

same_output() {  # same_output ARGS...: the command on files and on /dev/stdin print the same
  local file=${!#}
  local args=("${@:1:$#-1}")
  "$QCTOOL" "${args[@]}" "$file" >"$WORK/from-file" 2>&1 &&
    cat "$file" | "$QCTOOL" "${args[@]}" /dev/stdin >"$WORK/from-pipe" 2>&1 &&
    [ -s "$WORK/from-file" ] && cmp -s "$WORK/from-file" "$WORK/from-pipe"
}

RTF=$SRC/tests/data/rtf-samples/p01-lo-odt-character-formatting.rtf
CPP=$SRC/tests/data/cplusplus/sample.src
LATEST=$SRC/examples/Latest.qcp
HISTORY=$SRC/examples/History.qcp

# Inputs without a size are read to their end.
check "rtf2text from a pipe" same_output rtf2text "$RTF"
check "highlight from a pipe" same_output highlight cplusplus "$CPP"
check "diff from a pipe" same_output diff "$CPP" "$CPP"
check "compare from a pipe" same_output compare "$HISTORY" "$LATEST"
check "highlight of a /proc file" bash -c '"$0" highlight cplusplus /proc/self/status | grep -q "Name"' "$QCTOOL"

# A failed write to standard output is an error with exit status 1.
full_fails() {
  "$QCTOOL" "$@" >/dev/full 2>"$WORK/err"
  [ $? -eq 1 ] && [ "$(cat "$WORK/err")" = "qctool: Cannot write to standard output: No space left on device" ]
}
check "rtf2text > /dev/full" full_fails rtf2text "$RTF"
check "highlight > /dev/full" full_fails highlight cplusplus "$CPP"
check "diff > /dev/full" full_fails diff "$CPP" "$CPP"
check "compare > /dev/full" full_fails compare "$LATEST" "$HISTORY"
check "--help > /dev/full" full_fails --help

# A reader that closes early ends the output quietly and with status 0,
# with or without SIGPIPE, for output of any size.
for i in $(seq 1 20000); do echo "int value$i = $i; // a line of the long source"; done >"$WORK/long.cpp"
quiet_when_closed() {
  (trap '' PIPE; "$QCTOOL" highlight cplusplus "$WORK/long.cpp" 2>"$WORK/err-ignored" | head -c 10 >/dev/null)
  "$QCTOOL" highlight cplusplus "$WORK/long.cpp" 2>"$WORK/err-default" | head -c 10 >/dev/null
  local status=${PIPESTATUS[0]}
  "$QCTOOL" resave "$LATEST" /dev/stdout 2>"$WORK/err-resave" | head -c 10 >/dev/null
  local resaved=${PIPESTATUS[0]}
  [ ! -s "$WORK/err-ignored" ] && [ ! -s "$WORK/err-default" ] && [ ! -s "$WORK/err-resave" ] &&
    [ "$status" -eq 0 ] && [ "$resaved" -eq 0 ]
}
check "closed pipe is quiet" quiet_when_closed

# Standard output named as the file to save is written as it is open:
# appended to a log, never truncated or replaced.
appended_to_log() {
  echo "first line of the log" >"$WORK/build.log"
  "$QCTOOL" resave "$LATEST" /dev/stdout >>"$WORK/build.log" &&
    "$QCTOOL" resave "$LATEST" - >>"$WORK/build.log" &&
    [ "$(head -1 "$WORK/build.log")" = "first line of the log" ] &&
    [ "$(stat -c %s "$WORK/build.log")" -eq $((22 + 2 * $(stat -c %s "$LATEST"))) ]
}
check "resave to /dev/stdout appends to a log" appended_to_log

# A long valid name is saved; the temporary beside it has a name that fits.
long_name() {
  local name
  name=$WORK/$(printf 'n%.0s' $(seq 1 250))
  "$QCTOOL" resave "$LATEST" "$name" && cmp -s "$name" "$LATEST" && rm "$name"
}
check "resave to a 250-character name" long_name

# Endless input after a valid header, and endless input of other kinds, is
# refused at once with a message naming the line.
header_then_zeros() {
  # The header of a version-14 file is 39 lines; the topic count follows.
  local header=40
  head -n 39 "$LATEST" >"$WORK/header.qcp"
  cat "$WORK/header.qcp" /dev/zero | timeout 120 "$QCTOOL" resave /dev/stdin "$WORK/out.qcp" 2>"$WORK/err"
  [ "${PIPESTATUS[1]}" -eq 1 ] && grep -q "^qctool: Line $header is longer than 4096 bytes while reading the topic count$" "$WORK/err" &&
    [ ! -e "$WORK/out.qcp" ] &&
    timeout 120 "$QCTOOL" rtf2text /dev/zero >/dev/null 2>"$WORK/err"
  [ $? -eq 1 ] && grep -q "It holds more than 268435456 bytes" "$WORK/err"
}
check "endless input after a valid header" header_then_zeros

# Data after the end of the project is named on standard error, with its size.
trailing_warned() {
  { cat "$LATEST"; printf 'left over\r\n'; } >"$WORK/trailing.qcp"
  "$QCTOOL" resave "$WORK/trailing.qcp" "$WORK/out.qcp" 2>"$WORK/err" && cmp -s "$WORK/out.qcp" "$LATEST" &&
    [ "$(cat "$WORK/err")" = "qctool: $WORK/trailing.qcp: 11 bytes after the end of the project are not read (a save drops them)" ]
}
check "resave warns about trailing data" trailing_warned

# diff tells that the text after a NUL byte takes no part.
printf 'one\r\ntwo\rthree\nfour\0five\n' >"$WORK/nul.txt"
printf 'one\r\ntwo\rthree\nfour\n' >"$WORK/plain.txt"
nul_warned() {
  "$QCTOOL" diff "$WORK/nul.txt" "$WORK/plain.txt" >/dev/null 2>"$WORK/err" &&
    [ "$(cat "$WORK/err")" = "$WORK/nul.txt: text after the NUL byte at line 4 is not compared" ] &&
    "$QCTOOL" diff "$WORK/plain.txt" "$WORK/plain.txt" >/dev/null 2>"$WORK/err" && [ ! -s "$WORK/err" ]
}
check "diff warns about a NUL" nul_warned

# Endless input that is no project file is refused at once (the time limit
# only keeps a regression from hanging the run).
endless_refused() {
  timeout 120 "$QCTOOL" compare /dev/zero "$HISTORY" >/dev/null 2>"$WORK/err"
  [ $? -eq 1 ] && [ "$(cat "$WORK/err")" = "qctool: Missing Quillcrafter Identifier, not a Quillcrafter File" ]
}
check "compare /dev/zero" endless_refused

# resave writes through a named pipe and leaves it a pipe.
mkfifo "$WORK/pipe"
through_pipe() {
  cat "$WORK/pipe" >"$WORK/received" &
  local reader=$!
  # A save finds the reader only once it holds the pipe open.
  local tries
  for tries in $(seq 1 300); do
    for fd in /proc/$reader/fd/*; do [ "$(readlink "$fd")" = "$WORK/pipe" ] && break 2; done
    sleep 0.1
  done
  "$QCTOOL" resave "$LATEST" "$WORK/pipe"
  local status=$?
  [ -p "$WORK/pipe" ] || kill $reader  # a replaced pipe would keep the reader waiting
  wait $reader
  [ $status -eq 0 ] && [ -p "$WORK/pipe" ] && cmp -s "$WORK/received" "$LATEST"
}
check "resave into a named pipe" through_pipe

# A link that only the system can follow (as /dev/stdout to a pipe) is
# written through and stays a link; this one is the script's own.
ln -s /proc/self/fd/1 "$WORK/stdout-link"
through_fd_link() {
  "$QCTOOL" resave "$LATEST" "$WORK/stdout-link" | cmp -s - "$LATEST" && [ -L "$WORK/stdout-link" ]
}
check "resave through a link to a pipe" through_fd_link

# A dangling link is an error naming what is missing; the link stays.
ln -s "$WORK/nowhere/gone.qcp" "$WORK/dangling.qcp"
dangling_refused() {
  "$QCTOOL" resave "$LATEST" "$WORK/dangling.qcp" 2>"$WORK/err"
  [ $? -eq 1 ] && [ -L "$WORK/dangling.qcp" ] && grep -q "points to \"$WORK/nowhere/gone.qcp\", which does not exist" "$WORK/err"
}
check "resave to a dangling link" dangling_refused

# A full device of this script's own: the save fails and the node stays.
if [ "$(id -u)" = 0 ] && mknod "$WORK/full" c 1 7 2>/dev/null; then
  full_device() {
    "$QCTOOL" resave "$LATEST" "$WORK/full" 2>"$WORK/err"
    [ $? -eq 1 ] && [ -c "$WORK/full" ] &&
      [ "$(cat "$WORK/err")" = "qctool: Cannot write file \"$WORK/full\". No space left on device" ]
  }
  check "resave to a full device" full_device
else
  echo "skipped: resave to a full device (making a device node needs root)"
fi

echo "qctool_io: $passed passed, $failed failed"
[ $failed -eq 0 ]
