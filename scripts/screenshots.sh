#!/usr/bin/env bash
# Writes pictures of the engine's four dialogs, as kvtts opens them through the engine, to
# docs/screenshots/{about,lexicon,general,translate}.png: offscreen, in a fresh temporary prefix
# with the built engine registered. Needs a build (cmake --build build).
# Usage: scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
out=docs/screenshots
for f in "$build/bin/kvtts" "$build/bin/regsvr" "$build/lib/kv_ttse.so" "$build/lib/kv_ttsdlg.so"; do
  [ -e "$f" ] || { echo "$f is missing: build first (cmake --build $build)" >&2; exit 1; }
done
KVTTS_PREFIX=$(mktemp -d)
export KVTTS_PREFIX KVTTS_SOUND=silent QT_QPA_PLATFORM=offscreen
trap 'rm -rf "$KVTTS_PREFIX"' EXIT
"$build/bin/regsvr" "$build/lib/kv_ttse.so" >/dev/null
mkdir -p "$out"
for dialog in about lexicon general translate; do
  "$build/bin/kvtts" --dialog "$dialog" --screenshot "$out/$dialog.png"
  echo "wrote $out/$dialog.png"
done
