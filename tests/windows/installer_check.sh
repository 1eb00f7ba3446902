#!/bin/sh
# KV_TTS_INSTALL.EXE in a fresh Wine prefix of its own: it refuses to install without the SAPI
# runtime, installs (the files under C:\windows\Speech\kvs and the registration through the
# library's own export), kvtts.exe speaks through the installed library found in the registry,
# uninstalling is refused while another process has the library loaded, and uninstalling
# removes the library and its registration and keeps the dictionary.
#   installer_check.sh KV_TTS_INSTALL.EXE kvtts.exe hold_library.exe
exe=$1 kvtts=$2 hold=$3
fail() {
  echo "installer_check: $*" >&2
  exit 1
}
command -v wine >/dev/null 2>&1 || fail "wine is missing (scripts/setup.sh windows installs it)"
work=$(mktemp -d)
WINEPREFIX=$work/prefix
export WINEPREFIX WINEDEBUG=-all KVTTS_SOUND=silent KVTTS_PREFIX="$work/kvtts"
trap 'exec 3>&- 2>/dev/null; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
wineboot -i >/dev/null 2>&1 || fail "wineboot cannot make a Wine prefix"
kvs=$WINEPREFIX/drive_c/windows/Speech/kvs
clsid='{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}'
# The installer's output without the carriage returns of the console.
run() {
  wine "$exe" "$@" >"$work/out" 2>"$work/err"
  code=$?
  tr -d '\r' <"$work/out"
  return $code
}
registered() {
  wine reg query "HKCR\\CLSID\\$clsid\\InprocServer32" /ve >"$work/reg" 2>/dev/null &&
    tr -d '\r' <"$work/reg"
}

out=$(run --install) && fail "installed without the runtime: $out"
grep -q 'nelze momentálně nainstalovat' "$work/err" || fail "no runtime message: $(cat "$work/err")"
run --runtime >/dev/null || fail "--runtime failed: $(cat "$work/err")"
out=$(run --install) || fail "--install failed: $(cat "$work/err")"
echo "$out" | grep -q '^KORVEN TTS: Nainstalována verze [0-9.]*[0-9]$' || fail "--install says
$out"
for file in kv_ttse.dll kv_ttse.dct kv_ttse.inn; do
  [ -s "$kvs/$file" ] || fail "no $file in C:\\windows\\Speech\\kvs"
done
registered | grep -qi 'REG_SZ *C:\\windows\\Speech\\kvs\\kv_ttse.dll$' ||
  fail "the class is registered as: $(registered)"

wav=$(wine winepath -w "$work/out.wav" | tr -d '\r')
wine "$kvtts" -o "$wav" "Dobrý den, instalace proběhla." 2>"$work/err" ||
  fail "kvtts.exe cannot speak through the installed engine: $(cat "$work/err")"
[ "$(wc -c <"$work/out.wav")" -gt 22094 ] || fail "kvtts.exe wrote hardly any audio"

# A process holding the library: the uninstall is refused and changes nothing.
mkfifo "$work/hold"
wine "$hold" 'C:\windows\Speech\kvs\kv_ttse.dll' <"$work/hold" >"$work/held" &
exec 3>"$work/hold"
for _ in $(seq 100); do grep -q loaded "$work/held" && break; sleep 0.1; done
grep -q loaded "$work/held" || fail "the library could not be loaded to hold it"
out=$(run --uninstall) && fail "uninstalled while the library is loaded: $out"
grep -q 'nelze odinstalovat (asi je používán)' "$work/err" || fail "refusal says $(cat "$work/err")"
[ -f "$kvs/kv_ttse.dll" ] && [ -n "$(registered)" ] || fail "the refused uninstall changed things"
exec 3>&-
wait

out=$(run --uninstall) || fail "--uninstall failed: $(cat "$work/err")"
echo "$out" | grep -q '^KORVEN TTS: Nenainstalováno$' || fail "--uninstall says
$out"
[ ! -e "$kvs/kv_ttse.dll" ] || fail "the library is still there"
[ -f "$kvs/kv_ttse.dct" ] || fail "the dictionary went with the library"
[ -z "$(registered)" ] || fail "the class is still registered: $(registered)"
exit 0
