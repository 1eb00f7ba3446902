#!/usr/bin/env bash
# The 32-bit Windows build: kv_ttse.dll and kvtts.exe in build-win32/bin/, cross-compiled with
# MinGW-w64 (cmake/mingw-i686.cmake). With "test" it then runs the Windows tests under Wine in
# a Wine prefix of their own, made for the run and removed after it; the sample comparison
# with Linux uses build/bin/kvtts when the Linux build is there (KV_LINUX_KVTTS names another).
# The tests that show forms run on a virtual display (xvfb-run) when there is no DISPLAY.
# Usage: scripts/build-windows.sh [build|test]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."

fail() {
  echo "build-windows: $*" >&2
  exit 1
}
command -v i686-w64-mingw32-g++-posix >/dev/null ||
  fail "i686-w64-mingw32-g++-posix is missing (scripts/setup.sh windows installs it)"
command -v i686-w64-mingw32-windres >/dev/null ||
  fail "i686-w64-mingw32-windres is missing (scripts/setup.sh windows installs it)"
[ -f /usr/src/googletest/CMakeLists.txt ] || fail "the GoogleTest sources are missing (libgtest-dev)"

# The dialogs' tests show their forms: without a display, on a virtual one, which the Wine
# prefix must know from its start.
if [ "${1:-build}" = test ] && [ -z "${DISPLAY:-}" ]; then
  command -v xvfb-run >/dev/null || fail "xvfb-run is missing (scripts/setup.sh windows installs it)"
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

linux_kvtts=${KV_LINUX_KVTTS:-$PWD/build/bin/kvtts}
args=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release)
command -v ccache >/dev/null &&
  args+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
[ -x "$linux_kvtts" ] && args+=(-DKV_LINUX_KVTTS="$linux_kvtts")
cmake -S . -B build-win32 "${args[@]}" >/dev/null
cmake --build build-win32 -j "$(nproc)"

case "${1:-build}" in
  build) ;;
  test)
    command -v wine >/dev/null || fail "wine is missing (scripts/setup.sh windows installs it)"
    [ -x "$linux_kvtts" ] ||
      fail "no Linux kvtts at $linux_kvtts to compare samples with (build Linux first)"
    WINEPREFIX=$(mktemp -d)
    export WINEPREFIX WINEDEBUG=-all KVTTS_SOUND=silent
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
    wineboot -i >/dev/null 2>&1 || fail "wineboot cannot make a Wine prefix"
    # No window manager on the virtual display: Wine would wait for one on every window it
    # hides or destroys. Its windows are left unmanaged instead.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    ctest --test-dir build-win32 --output-on-failure
    ;;
  *) echo "usage: $0 [build|test]" >&2; exit 2 ;;
esac
