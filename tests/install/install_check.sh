#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and
# a package see there: every file in its place, the desktop entry and the
# metainfo valid, the MIME type known by glob and by content, the man pages
# free of warnings and covering every qctool command, and both programs
# starting from the prefix.
# usage: install_check.sh BUILD_DIR PROJECT_VERSION
set -uo pipefail
build=$1
version=$2
id=org.quillcrafter.JourneymanDiff
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1; then
  cat "$prefix.log" >&2
  rm -f "$prefix.log"
  echo "FAIL: cmake --install" >&2
  exit 1
fi
rm -f "$prefix.log"
share=$prefix/share

for f in bin/QuillcrafterJourneymanDiff bin/qctool \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/mime/packages/$id.xml \
  share/icons/hicolor/scalable/apps/$id.svg share/man/man1/qctool.1 share/man/man1/QuillcrafterJourneymanDiff.1; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for size in 16 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ ! -f "$png" ]; then
    fail "not installed: icon ${size}x${size}"
  else
    # Width and height are the big-endian words at bytes 16 and 20 of a PNG.
    read -r w0 w1 w2 w3 h0 h1 h2 h3 < <(od -An -tu1 -j16 -N8 "$png")
    width=$(((w0 << 24) | (w1 << 16) | (w2 << 8) | w3))
    height=$(((h0 << 24) | (h1 << 16) | (h2 << 8) | h3))
    [ "$width.$height" = "$size.$size" ] || fail "icon ${size}x${size} is ${width}x${height}"
  fi
done

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

# The MIME database built from the installed type must know *.qcp by name
# and a project file by its first line.
if XDG_DATA_DIRS=$share update-mime-database "$share/mime" 2>&1 | grep .; then fail "update-mime-database reported problems"; fi
grep -q "application/x-quillcrafter-project:\*\.qcp" "$share/mime/globs2" 2>/dev/null || fail "glob *.qcp missing"
grep -aq "application/x-quillcrafter-project" "$share/mime/magic" 2>/dev/null || fail "magic missing"
grep -q "application/x-quillcrafter-project" "$share/applications/$id.desktop" || fail "desktop entry lacks the MIME type"

for page in "$share"/man/man1/*.1; do
  warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1)
  [ -z "$warnings" ] || fail "man page $(basename "$page"): $warnings"
done

# The programs run from the prefix, without a display.
unset DISPLAY WAYLAND_DISPLAY
help=$("$prefix/bin/qctool" --help) || fail "qctool --help exited with $?"
commands=$(printf '%s\n' "$help" | sed -n 's/^  \([a-z0-9]*\) .*/\1/p')
[ -n "$commands" ] || fail "qctool --help lists no command: $help"
for command in $commands; do
  grep -q "^\.BI \"$command " "$share/man/man1/qctool.1" || fail "qctool.1 does not describe '$command'"
done
out=$("$prefix/bin/QuillcrafterJourneymanDiff" --version) || fail "--version exited with $?"
case "$out" in
  *" v$version "*) ;;
  *) fail "--version prints '$out', the build is version $version" ;;
esac

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "install checks passed"
