#!/usr/bin/env bash
# Writes pictures of the engine's Windows forms, as kvtts.exe opens them through the engine
# under Wine, to docs/windows/{about,lexicon,general,general-voice,general-echo}.png: in a fresh
# Wine prefix on a virtual display, with the built engine registered. Needs the Windows build
# (scripts/build-windows.sh).
# Usage: scripts/windows-screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-win32}
out=$PWD/docs/windows
for f in "$build/bin/kvtts.exe" "$build/bin/kv_ttse.dll"; do
  [ -e "$f" ] || { echo "$f is missing: build first (scripts/build-windows.sh)" >&2; exit 1; }
done
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"; fi
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all KVTTS_SOUND=silent
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot -i >/dev/null 2>&1
# No window manager on the virtual display: Wine would wait for one on every window it
# hides or destroys. Its windows are left unmanaged instead.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wine regsvr32 /s "$build/bin/kv_ttse.dll"
printf 'ahoj=ahooj\r\nčeský=čéský\r\nkorven=korven\r\n' | iconv -f UTF-8 -t CP1250 \
  >"$build/bin/kv_ttse.dct"
mkdir -p "$out"
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
