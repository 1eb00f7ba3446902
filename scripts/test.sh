#!/usr/bin/env bash
# Sets up, builds (plain and AddressSanitizer+UBSan), runs a short fuzz smoke run of every
# reader of outside bytes (libFuzzer, clang: KV_FUZZ_SECONDS each, default 30, two at a time),
# then every test in both builds, then builds and checks the Debian package, then the 32-bit
# Windows build and its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh all
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
echo "== fuzz smoke run of every reader of outside bytes"
KV_FUZZ_BUILD=build-fuzz KV_FUZZ_JOBS=${KV_FUZZ_JOBS:-2} tests/fuzz/run_all.sh "${KV_FUZZ_SECONDS:-30}" ||
  status=1
for dir in build build-asan; do
  echo "== tests in $dir"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" || status=1
done
echo "== the Debian package"
packaging/check_package.sh build || status=1
echo "== Windows build and tests"
scripts/build-windows.sh test || status=1
exit $status
