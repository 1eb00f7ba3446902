#!/bin/sh
# One fresh prefix: install with the installer, speak through the installed engine (and open
# its dictionary editor), uninstall; the prefix ends as it began but for the word lists.
#   install_speak_uninstall.sh BIN_DIR
set -eu
bin=$1
KVTTS_PREFIX=$(mktemp -d)
export KVTTS_PREFIX KVTTS_SOUND=silent QT_QPA_PLATFORM=offscreen
trap 'rm -rf "$KVTTS_PREFIX"' EXIT
kvs=$KVTTS_PREFIX/windows/Speech/kvs

"$bin/kv_tts_install" --runtime >/dev/null
"$bin/kv_tts_install" --status >/dev/null  # with the runtime there, writes the voice defaults
machine() {  # the machine's hives; the user's settings (dialog placement) may change
  "$bin/kvreg" export HKEY_LOCAL_MACHINE
  "$bin/kvreg" export HKEY_CLASSES_ROOT | grep -v '^\[HKEY_CLASSES_ROOT\\CLSID\]$' | cat -s
}
machine >"$KVTTS_PREFIX/before.reg"
"$bin/kv_tts_install" --install | grep -q "Nainstalována verze 1.1.1.73"

# The engine loaded is the installed one.
LD_DEBUG=files "$bin/kvtts" -o "$KVTTS_PREFIX/out.wav" "Dobrý den." 2>"$KVTTS_PREFIX/ld.log"
grep -q "file=$kvs/kv_ttse.so " "$KVTTS_PREFIX/ld.log"
! grep -q "file=$bin/../lib/kv_ttse.so" "$KVTTS_PREFIX/ld.log"
test "$(stat -c %s "$KVTTS_PREFIX/out.wav")" -gt 10000
# Its dictionary editor opens from the module beside it. (The toolkit's font caches live until
# the end, which a leak-checking build would report.)
ASAN_OPTIONS=detect_leaks=0 "$bin/kvtts" --dialog lexicon --screenshot "$KVTTS_PREFIX/slovnik.png" >/dev/null 2>&1
test -s "$KVTTS_PREFIX/slovnik.png"

"$bin/kv_tts_install" --uninstall | grep -q "Nenainstalováno"
# Only the (empty) CLSID key that every class lives under stays behind (left out above).
machine >"$KVTTS_PREFIX/after.reg"
diff "$KVTTS_PREFIX/before.reg" "$KVTTS_PREFIX/after.reg"
test "$(ls "$kvs" | tr '\n' ' ')" = "kv_ttse.dct kv_ttse.inn "
echo "install, speak, uninstall: ok"
