#!/usr/bin/env bash
# Builds every libFuzzer target in tests/fuzz (clang, -fsanitize=fuzzer,address,undefined) and
# runs each for SECONDS, at most `nproc` at a time (KV_FUZZ_JOBS overrides), each with its
# seeds and dictionary. A slow unit (libFuzzer's slow-unit-*) is only reported, not kept.
#   tests/fuzz/run_all.sh [SECONDS] [TARGET...]       (default 60 s, every target)
# New inputs stay in the corpus folder of each target, <corpus>/<target>, and the next run
# starts from them: the build folder is KV_FUZZ_BUILD (default build-fuzz), the corpus folder
# KV_FUZZ_CORPUS (default <build>/corpus; name one that outlives the build folder to keep the
# corpus). A crash (also a timeout, a leak or running out of memory) is left in
# tests/fuzz/<target>/regressions with the command that reproduces it; keep it there: the
# ordinary tests replay it. At the end a table per target. Exit status 1 when any target
# crashed.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${KV_FUZZ_BUILD:-$root/build-fuzz}
case $build in /*) ;; *) build=$root/$build ;; esac
corpus=${KV_FUZZ_CORPUS:-$build/corpus}
case $corpus in /*) ;; *) corpus=$root/$corpus ;; esac
seconds=${1:-60}
shift || true
jobs=${KV_FUZZ_JOBS:-$(nproc)}
# The time one input may take (25 s) grows with the targets that share each core: more jobs
# than cores would otherwise report slow machines as hangs.
timeout=$((25 * ((jobs + $(nproc) - 1) / $(nproc))))

# Per-target limits: the longest input, and the time one input may take.
max_len() {
  case $1 in
    wave_unit) echo 16384 ;;
    text_data) echo 512 ;;
    character) echo 2048 ;;
    *) echo 4096 ;;
  esac
}

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for dir in "$here"/*/; do
    name=$(basename "$dir")
    ls "$dir"/*_fuzz.cpp >/dev/null 2>&1 && targets+=("$name")
  done
fi

echo "== building ${targets[*]} in $build"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DKV_FUZZ=ON -DKV_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache >/dev/null || exit 2
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}" >"$build/build.log" 2>&1 || {
  tail -40 "$build/build.log"
  exit 2
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
mkdir -p "$build/logs"
stamp="$build/logs/.started"
touch "$stamp"

run_target() {
  local t=$1 dict
  mkdir -p "$corpus/$t" "$here/$t/regressions"
  dict=$(ls "$here/$t"/*.dict 2>/dev/null | head -1)
  # A prefix of its own, removed afterwards: libFuzzer ends without the program's clean-up.
  local prefix
  prefix=$(mktemp -d "$([ -d /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")/kvtts-fuzz-$t-XXXXXX")
  # The processor time the target had (user+system) is kept beside its log: with more targets
  # than cores, SECONDS of wall time is less than SECONDS of fuzzing.
  local TIMEFORMAT=%U+%S
  { time KVTTS_PREFIX=$prefix "$build/bin/fuzz_$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" \
    -timeout="$timeout" -rss_limit_mb=2048 -print_final_stats=1 ${dict:+-dict="$dict"} \
    -artifact_prefix="$here/$t/regressions/" \
    "$corpus/$t" "$here/$t/seeds" "$here/$t/regressions" >"$build/logs/$t.log" 2>&1
  echo "$?" >"$build/logs/$t.status"; } 2>"$build/logs/$t.cpu"
  rm -rf "$prefix"
  # A slow unit is no fault: it goes to the logs, where the table points at it.
  find "$here/$t/regressions" -name 'slow-unit-*' -newer "$stamp" -exec mv -t "$build/logs/" {} +
}

echo "== fuzzing each target for $seconds s, $jobs at a time"
start=$(date +%s)
for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
  echo "   $t"
  run_target "$t" &
done
wait
echo "== done in $(($(date +%s) - start)) s"

status=0
printf '\n%-16s %8s %10s %12s %8s %8s %8s %10s %8s\n' target cpu-s execs/s execs cov ft corpus bytes \
  crashes
for t in "${targets[@]}"; do
  log="$build/logs/$t.log"
  last=$(grep -E '^#[0-9]+' "$log" | grep 'cov:' | tail -1)
  field() { sed -n "s/.*$1: \([0-9]*\).*/\1/p" <<<"$last"; }
  stat() { sed -n "s/^stat::$1: *\([0-9]*\).*/\1/p" "$log" | tail -1; }
  found=$(find "$here/$t/regressions" -type f -newer "$stamp" | wc -l)
  files=$(find "$corpus/$t" -type f | wc -l)
  bytes=$(du -sb "$corpus/$t" | cut -f1)
  cpu=$(awk -F+ '{ printf "%d", $1 + $2 }' "$build/logs/$t.cpu" 2>/dev/null)
  printf '%-16s %8s %10s %12s %8s %8s %8s %10s %8s\n' "$t" "$cpu" "$(stat average_exec_per_sec)" \
    "$(stat number_of_executed_units)" "$(field cov)" "$(field ft)" "$files" "$bytes" "$found"
  if [ "$found" -gt 0 ] || [ "$(cat "$build/logs/$t.status")" != 0 ]; then
    status=1
    find "$here/$t/regressions" -type f -newer "$stamp" | while read -r input; do
      echo "   reproduce: $build/bin/fuzz_$t ${input#"$root"/}"
    done
    echo "   log: $log"
  fi
  grep -o 'slow-unit-[0-9a-f]*' "$log" | sort -u | while read -r unit; do
    echo "   slow unit: $build/logs/$unit"
  done
done
exit $status
