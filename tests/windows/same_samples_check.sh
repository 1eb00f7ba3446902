#!/bin/sh
# kvtts.exe under Wine writes the very samples that the Linux kvtts writes for the same text,
# voice and seed: all three voices, inline tags and numbers.
#   same_samples_check.sh kv_ttse.dll kvtts.exe LINUX_BUILD/bin/kvtts
dll=$1 exe=$2 linux=$3
fail() {
  echo "same_samples_check: $*" >&2
  exit 1
}
command -v wine >/dev/null 2>&1 || fail "wine is missing (scripts/setup.sh windows installs it)"
bin=$(dirname "$linux")
[ -x "$linux" ] && [ -x "$bin/regsvr" ] || fail "no Linux kvtts and regsvr in $bin"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export KVTTS_PREFIX="$work/prefix" KVTTS_SOUND=silent
"$bin/regsvr" "$bin/../lib/kv_ttse.so" >/dev/null || fail "cannot register the Linux engine"
wine regsvr32 /s "$dll" || fail "regsvr32 failed"
out=$(wine winepath -w "$work/windows.wav" | tr -d '\r')

seed=11
for voice in DAVLa DAVLuska DAVL; do
  for text in "Dobrý den, jak se máte?" \
    "Dne 24. 12. 2023 stálo 1 250 Kč, tedy o 15 % víc." \
    'Pomalu \spd=60\ a teď \pit=150\ vysoko \mrk=7\ a konec.'; do
    seed=$((seed + 1))
    KVTTS_SEED=$seed "$linux" -v "$voice" -o "$work/linux.wav" "$text" 2>"$work/err" ||
      fail "Linux kvtts failed for $voice: $(cat "$work/err")"
    KVTTS_SEED=$seed wine "$exe" -v "$voice" -o "$out" "$text" 2>"$work/err" ||
      fail "kvtts.exe failed for $voice: $(cat "$work/err")"
    [ "$(wc -c <"$work/windows.wav")" -gt 22094 ] || fail "$voice, \"$text\": hardly any audio"
    cmp -s "$work/linux.wav" "$work/windows.wav" ||
      fail "$voice, \"$text\": the samples differ ($(cmp "$work/linux.wav" "$work/windows.wav"))"
  done
done
exit 0
