#!/usr/bin/env bash
# Pictures of KV_TTS_INSTALL.EXE's four pages, docs/windows/installer-*.png: taken under Xvfb
# in a fresh Wine prefix where the SAPI runtime is set up and the engine installed, with the
# installer's picture mode (KV_TTS_INSTALL_SCREENSHOTS). Builds the Windows build first when
# the program is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=$PWD/build-win32/bin/KV_TTS_INSTALL.EXE
[ -f "$exe" ] || scripts/build-windows.sh build
command -v xvfb-run >/dev/null || { echo "windows-screenshots: xvfb-run is missing" >&2; exit 1; }
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all KVTTS_SOUND=silent KVTTS_PREFIX=$work/kvtts
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
mkdir -p "$work/shots"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  wineboot -i >/dev/null 2>&1
  wine "$0" --runtime >/dev/null && wine "$0" --install >/dev/null
  KV_TTS_INSTALL_SCREENSHOTS=$(wine winepath -w "$1" | tr -d "\r") wine "$0"
  wineserver -w' "$exe" "$work/shots"
ls "$work"/shots/installer-*.png >/dev/null 2>&1 || { echo "windows-screenshots: no pictures" >&2; exit 1; }
mkdir -p docs/windows
cp "$work"/shots/installer-*.png docs/windows/
ls docs/windows/installer-*.png
