#!/usr/bin/env bash
# Sets up, builds, and runs the main job: registers the built engine into the prefix (when no
# engine is registered there yet), lists its voices, and speaks a Czech sentence through the
# engine into a WAV file, and aloud where a sound card exists.
# Usage: scripts/run.sh [OUT.wav]   (default: out/dobry-den.wav)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh plain
out=${1:-out/dobry-den.wav}
mkdir -p "$(dirname "$out")"
if ! build/bin/kvtts --list-voices >/dev/null 2>&1; then
  build/bin/regsvr build/lib/kv_ttse.so
fi
build/bin/kvtts --list-voices
text="Dobrý den, jak se máte? Vlak jede v 8:15."
build/bin/kvtts -o "$out" "$text"
echo "Wrote $out"
if [ -e /dev/snd/pcmC0D0p ] || [ -e /dev/snd/controlC0 ]; then
  build/bin/kvtts --play "$text" || echo "(could not play aloud)"
fi
