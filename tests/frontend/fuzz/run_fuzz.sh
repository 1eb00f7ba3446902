#!/bin/sh
# Builds the front-end's libFuzzer target with clang (AddressSanitizer and UBSan) and runs it.
#   tests/frontend/fuzz/run_fuzz.sh [seconds]      (default 180)
# Crashes are written to tests/frontend/fuzz/regressions (keep them: the tests replay them).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
build=${KV_FUZZ_BUILD:-/tmp/kvtts-fuzz-build}
seconds=${1:-180}
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKV_FUZZ=ON -DKV_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link >/dev/null
cmake --build "$build" --target speak_step_fuzz -j2
corpus="$build/corpus"
mkdir -p "$corpus"
exec "$build/bin/speak_step_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=20 \
  -artifact_prefix="$here/regressions/" "$corpus" "$here/seeds" "$here/regressions"
