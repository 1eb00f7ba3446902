#!/bin/sh
# Every format, on both of kvtts's paths, fails on a full disk (/dev/full) with exit code 1 and
# the system's reason naming the file, never a silent success; and FLAC written to a pipe
# passes `flac -t` (a stream gets no header rewrite at its end).
#
# Usage: full_disk.sh REGSVR ENGINE.so KVTTS
# Exit codes: 0 all held, 1 a check failed.
set -u
regsvr=$1 engine=$2 kvtts=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KVTTS_PREFIX="$work/prefix" KVTTS_SOUND=silent
# libvorbis/libogg leak their stream state when a header write fails inside libsndfile; the
# sanitizer build is to judge our own code here, not those libraries' failure paths.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
"$regsvr" "$engine" >/dev/null || exit 1
failed=0
fail() {
  echo "FAIL: $*"
  failed=1
}

for path in "" --local; do
  for format in wav flac ogg opus mp3; do
    what="kvtts $path --format $format"
    "$kvtts" $path --format "$format" -o /dev/full "Dobrý den." 2>"$work/err"
    code=$?
    [ "$code" -eq 1 ] || fail "$what -o /dev/full exits $code"
    grep -q "/dev/full.*No space left on device" "$work/err" ||
      fail "$what -o /dev/full says: $(cat "$work/err")"
    "$kvtts" $path --format "$format" --stdout "Dobrý den." >/dev/full 2>"$work/err"
    code=$?
    [ "$code" -eq 1 ] || fail "$what --stdout >/dev/full exits $code"
    grep -q "No space left on device" "$work/err" ||
      fail "$what --stdout >/dev/full says: $(cat "$work/err")"
  done
done

if command -v flac >/dev/null; then
  for path in "" --local; do
    "$kvtts" $path --stdout --format flac "Dobrý den" | cat >"$work/piped.flac"
    flac -s -t "$work/piped.flac" 2>"$work/err" || fail "kvtts $path piped FLAC: $(cat "$work/err")"
  done
else
  fail "flac is not installed (scripts/setup.sh all installs it)"
fi
[ "$failed" -eq 0 ] && echo "every format reports a full disk; piped FLAC is whole"
exit "$failed"
