#!/usr/bin/env bash
# Pictures of the Windows forms under docs/windows/, each set taken in a fresh Wine prefix on a
# virtual display:
#   {about,lexicon,general,general-voice,general-echo}.png  the engine's dialogs, as kvtts.exe
#       opens them through the registered engine;
#   installer-*.png  KV_TTS_INSTALL.EXE's four pages, with the SAPI runtime set up and the engine
#       installed, in the installer's picture mode (KV_TTS_INSTALL_SCREENSHOTS).
# Builds the Windows build first when it is missing.
# Usage: scripts/windows-screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win32}
for f in kvtts.exe kv_ttse.dll KV_TTS_INSTALL.EXE; do
  [ -e "$build/bin/$f" ] || { scripts/build-windows.sh build; break; }
done
if [ -z "${DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "windows-screenshots: xvfb-run is missing" >&2; exit 1; }
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
out=$PWD/docs/windows
mkdir -p "$out"
export WINEDEBUG=-all KVTTS_SOUND=silent
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

fresh_prefix() {  # fresh_prefix <name>
  [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null || true
  export WINEPREFIX=$work/$1 KVTTS_PREFIX=$work/$1-kvtts
  wineboot -i >/dev/null 2>&1
}

# The engine's dialogs. No window manager on the virtual display: Wine would wait for one on
# every window it hides or destroys, so its windows are left unmanaged.
fresh_prefix dialogs
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine regsvr32 /s "$build/bin/kv_ttse.dll"
printf 'ahoj=ahooj\r\nčeský=čéský\r\nkorven=korven\r\n' | iconv -f UTF-8 -t CP1250 \
  >"$build/bin/kv_ttse.dct"
picture() {  # picture <dialog> <file name>
  wine "$build/bin/kvtts.exe" --dialog "$1" --screenshot "$(wine winepath -w "$out/$2" | tr -d '\r')"
  echo "wrote $out/$2"
}
for dialog in about lexicon general; do picture "$dialog" "$dialog.png"; done
# The voice dialog's other pages: the page it opens on is a stored preference.
for page in Voice Echo; do
  wine reg add 'HKCU\SOFTWARE\KORVEN\TTS' /v PageControl_ActivePage /d "TabSheet$page" /f \
    >/dev/null 2>&1
  picture general "general-$(echo "$page" | tr '[:upper:]' '[:lower:]').png"
done

# The installer's pages.
fresh_prefix installer
exe=$PWD/$build/bin/KV_TTS_INSTALL.EXE
mkdir -p "$work/shots"
wine "$exe" --runtime >/dev/null && wine "$exe" --install >/dev/null
KV_TTS_INSTALL_SCREENSHOTS=$(wine winepath -w "$work/shots" | tr -d '\r') wine "$exe"
wineserver -w
ls "$work"/shots/installer-*.png >/dev/null 2>&1 || { echo "windows-screenshots: no installer pictures" >&2; exit 1; }
cp "$work"/shots/installer-*.png "$out"/
ls "$out"/installer-*.png
