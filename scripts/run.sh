#!/usr/bin/env bash
# Sets up, builds, and runs the main job: writes the factory voice settings into the prefix
# and renders a word built in code to a WAV file with each of the three voices.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh plain
out=${1:-out}
mkdir -p "$out"
build/bin/kvsynth-demo "$out"
build/bin/kvreg export 'HKEY_LOCAL_MACHINE\SOFTWARE\Voice\TextToSpeech\Engine\KV_TTS'
