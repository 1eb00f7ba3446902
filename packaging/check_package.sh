#!/usr/bin/env bash
# Builds the Debian package and checks it: its metadata and contents, lintian, hardening-check,
# the manual pages, and speaking from a throwaway root that the package is unpacked into
# (dpkg -x) with a fresh prefix, where the first use registers the packaged engine and the
# user's dictionary is kept in the prefix.
#   packaging/check_package.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
fail() { echo "check_package: $*" >&2; exit 1; }

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null
rm -f "$build"/kvtts_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(echo "$build"/kvtts_*_amd64.deb)
[ -f "$deb" ] || fail "no kvtts_<version>_amd64.deb in $build"
echo "== $deb"

info=$(dpkg-deb -I "$deb")
for field in "Package: kvtts" "Architecture: amd64" "Depends: .*libc6" "Depends: .*libsqlite3-0" \
             "Depends: .*libasound2" "Depends: .*libsndfile1" "Suggests: speech-dispatcher"; do
  grep -q "^ $field" <<<"$info" || fail "control lacks '$field'"
done
contents=$(dpkg-deb -c "$deb")
for file in usr/bin/kvtts usr/bin/kvreg usr/bin/regsvr usr/bin/kv_tts_install \
            usr/lib/speech-dispatcher-modules/sd_kvtts \
            usr/lib/x86_64-linux-gnu/kvtts/kv_ttse.so usr/lib/x86_64-linux-gnu/kvtts/kv_ttse.dct \
            usr/lib/x86_64-linux-gnu/kvtts/kv_ttsdlg.so \
            usr/lib/x86_64-linux-gnu/kvtts/libkvplatform.so \
            etc/speech-dispatcher/modules/kvtts.conf usr/share/kvtts/speechd-kvtts.conf \
            usr/share/doc/kvtts/README.md usr/share/doc/kvtts/copyright \
            usr/share/man/man1/kvtts.1.gz usr/share/man/man1/kvreg.1.gz \
            usr/share/man/man1/regsvr.1.gz usr/share/man/man1/sd_kvtts.1.gz \
            usr/share/man/man1/kv_tts_install.1.gz; do
  grep -q " \./$file\$" <<<"$contents" || fail "the package lacks /$file"
done
echo "control and contents: ok"

if ! tags=$(lintian --fail-on error,warning "$deb" 2>&1); then
  grep -v "running with root privileges" <<<"$tags" >&2
  fail "lintian found errors or warnings"
fi
echo "lintian: ok"

root=$(mktemp -d /tmp/kvtts-root.XXXXXX)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
# Every program and library is built with the distribution's hardening flags. Control flow
# protection is not asked for (Debian 12's start files lack it, so no program can have it). A
# program whose every fortifiable call the compiler proved safe has "only unprotected
# functions" (the check names it a failure, lintian no longer does): every other check holds.
command -v hardening-check >/dev/null || fail "hardening-check is missing (package devscripts)"
for binary in $(find "$root" -type f \( -perm -u+x -o -name '*.so*' \) -exec sh -c \
                  'head -c 4 "$1" | grep -q ELF && echo "$1"' _ {} \;); do
  report=$(hardening-check --nocfprotection "$binary" 2>&1) && continue
  grep -q "Fortify Source functions: no, only unprotected functions found" <<<"$report" &&
    hardening-check --nocfprotection --nofortify "$binary" >/dev/null 2>&1 ||
    fail "hardening-check ${binary#"$root"}: $report"
done
echo "hardening-check: ok"
lib=$root/usr/lib/x86_64-linux-gnu/kvtts
rows=$(grep -c = "$lib/kv_ttse.dct" || true)
[ "$rows" -eq 11 ] || fail "the shipped dictionary has $rows rows, not 11"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
page() { LC_ALL=C.UTF-8 MANWIDTH=100 man -l "$root/usr/share/man/man1/$1.1.gz" 2>/dev/null; }
grep -q 'kvtts "Dobrý den"' <<<"$(page kv_tts_install)" || fail "kv_tts_install(1) lost its UTF-8"
grep -q '^SYNOPSIS' <<<"$(page regsvr)" || fail "regsvr(1) has no SYNOPSIS"
grep -q '^ *"Name"=dword:0000000a$' <<<"$(page kvreg)" || fail "kvreg(1)'s REGEDIT4 list is garbled"
kvtts_page=$(page kvtts)
grep -q 'alsa:DEVICE' <<<"$kvtts_page" || fail "kvtts(1) leaves out alsa:DEVICE"
if grep -q 'register it with' <<<"$kvtts_page"; then fail "kvtts(1) says to register by hand"; fi
echo "manual pages: ok"

# A fresh prefix: the first use registers the packaged engine; the audio goes into a file.
export KVTTS_PREFIX=$root/prefix KVTTS_SOUND=capture:$root/dobry-den.wav
"$root/usr/bin/kvtts" "Dobrý den" || fail "kvtts from the unpacked root failed"
bytes=$(stat -c %s "$root/dobry-den.wav")
[ "$bytes" -gt $((44 + 22050)) ] || fail "kvtts spoke only $bytes bytes"
echo "kvtts \"Dobrý den\" from the unpacked root: $bytes bytes of audio"
"$root/usr/bin/kvtts" -o "$root/dobry-den.opus" "Dobrý den" || fail "kvtts wrote no Opus file"
echo "kvtts -o dobry-den.opus from the unpacked root: $(stat -c %s "$root/dobry-den.opus") bytes"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/kvtts" --dialog about --screenshot "$root/about.png" \
  2>/dev/null || fail "the engine's dialogs do not open from the unpacked root"
[ -s "$root/about.png" ] || fail "the about form wrote no picture"
echo "kvtts --dialog about from the unpacked root: ok"

# The user's dictionary is a copy in the prefix (the installed folder is not the user's), and
# the engine speaks with the user's rows; nothing is written beside the installed files.
copy=$KVTTS_PREFIX/virtual-store$lib/kv_ttse.dct
[ -f "$copy" ] || fail "the engine made no per-user dictionary at $copy"
before=$("$root/usr/bin/kvtts" --stdout zzz | wc -c)
printf 'zzz=dobr\xfd den, dobr\xfd den\r\n' >>"$copy"
after=$("$root/usr/bin/kvtts" --stdout zzz | wc -c)
[ "$after" -gt $((before + 22050)) ] || fail "the engine ignored the user's dictionary"
"$root/usr/bin/kvtts" --local -o "$root/local.wav" "Dobrý den" || fail "kvtts --local failed"
[ ! -e "$root/usr/bin/kvtts.dct" ] || fail "kvtts --local wrote beside the installed program"
cmp -s "$lib/kv_ttse.dct" <(dpkg-deb --fsys-tarfile "$deb" |
  tar -xO ./usr/lib/x86_64-linux-gnu/kvtts/kv_ttse.dct) || fail "the shipped dictionary changed"
echo "the user's dictionary in the prefix: ok"
# The first use registered the engine; once unregistered, it stays so.
"$root/usr/bin/regsvr" -u "$lib/kv_ttse.so" >/dev/null || fail "regsvr -u failed"
if "$root/usr/bin/kvtts" --list-voices >/dev/null 2>&1; then
  fail "kvtts registered the engine again after regsvr -u"
fi
echo "regsvr -u holds: ok"
rm -rf "$KVTTS_PREFIX"; mkdir -p "$KVTTS_PREFIX"
reply=$(printf 'INIT\nLIST VOICES\nQUIT\n' | "$root/usr/lib/speech-dispatcher-modules/sd_kvtts")
grep -q "^299 OK LOADED SUCCESSFULLY" <<<"$reply" || fail "sd_kvtts did not start: $reply"
grep -q "^200-DAVLuska" <<<"$reply" || fail "sd_kvtts lists no voices: $reply"
echo "sd_kvtts from the unpacked root: ok"

# speech-dispatcher finds the packaged module by itself (a configuration with no AddModule line,
# as Debian ships it) and, with the documented line, speaks Czech through it.
if command -v speech-dispatcher >/dev/null && command -v spd-say >/dev/null; then
  sd=$root/speechd
  mkdir -p "$sd/conf/modules" "$sd/run" "$sd/log" "$sd/home/.local/share"
  chmod 700 "$sd/run"
  echo default_driver=null >"$sd/home/.libao"
  cp "$root/etc/speech-dispatcher/modules/kvtts.conf" "$sd/conf/modules/"
  { printf 'LogDir "%s/log"\nAudioOutputMethod "libao"\n' "$sd"
    grep -v '^#' "$root/usr/share/kvtts/speechd-kvtts.conf"; } >"$sd/conf/speechd.conf"
  export KVTTS_SOUND=capture:$sd/spoken.wav SPEECHD_ADDRESS=unix_socket:$sd/run/speechd.sock
  (cd "$sd" && HOME=$sd/home XDG_RUNTIME_DIR=$sd/run exec speech-dispatcher -s -t 0 \
     -C "$sd/conf" -S "$sd/run/speechd.sock" -m "$root/usr/lib/speech-dispatcher-modules" \
     2>/dev/null) &
  server=$!
  for _ in $(seq 100); do [ -S "$sd/run/speechd.sock" ] && break; sleep 0.1; done
  timeout 30 spd-say -w -l cs "Dobrý den" || { kill "$server"; fail "spd-say failed"; }
  kill "$server"; wait "$server" || true
  bytes=$(stat -c %s "$sd/spoken.wav" 2>/dev/null || echo 0)
  [ "$bytes" -gt $((44 + 22050)) ] || fail "speech-dispatcher spoke only $bytes bytes"
  echo "spd-say -l cs \"Dobrý den\" through the packaged module: $bytes bytes of audio"
else
  echo "speech-dispatcher is not installed: its check is skipped"
fi
