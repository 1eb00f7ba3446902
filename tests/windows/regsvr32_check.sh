#!/bin/sh
# regsvr32 writes exactly the engine's registration (reg query shows nothing else), and
# regsvr32 /u takes all of it away again. Runs in the Wine prefix of the test run.
dll=$1
fail() {
  echo "regsvr32_check: $*" >&2
  exit 1
}
command -v wine >/dev/null 2>&1 || fail "wine is missing (scripts/setup.sh windows installs it)"
clsid='{3FF7410B-A888-4A67-BAFC-55FAF3C5424D}'
list='HKLM\SOFTWARE\Voice\TextToSpeech\Engine'
# What reg query shows of a key; nothing when it is not there.
query() {
  found=$(wine reg query "$@" 2>/dev/null) || return 0
  printf '%s\n' "$found" | tr -d '\r' | sed '/^$/d'
}
engines() { query "$list" | grep ' REG_'; }

wine regsvr32 /s "$dll" || fail "regsvr32 failed"
path=$(wine winepath -w "$dll" | tr -d '\r')
expected="HKEY_CLASSES_ROOT\\CLSID\\$clsid
    (Default)    REG_SZ    KORVEN TTS Engine (Czech)
HKEY_CLASSES_ROOT\\CLSID\\$clsid\\InprocServer32
    (Default)    REG_SZ    $path
    ThreadingModel    REG_SZ    Apartment"
got=$(query "HKCR\\CLSID\\$clsid" /s)
[ "$got" = "$expected" ] || fail "the class is registered as
$got
instead of
$expected"
got=$(engines)
[ "$got" = "    KORVEN TTS Engine    REG_SZ    $clsid" ] || fail "the engine list holds
$got"

wine regsvr32 /s /u "$dll" || fail "regsvr32 /u failed"
got=$(query "HKCR\\CLSID\\$clsid" /s)
[ -z "$got" ] || fail "after regsvr32 /u the class is still there:
$got"
got=$(engines)
[ -z "$got" ] || fail "after regsvr32 /u the engine list holds
$got"
# Unregistering again changes nothing and still succeeds.
wine regsvr32 /s /u "$dll" || fail "a second regsvr32 /u failed"
exit 0
