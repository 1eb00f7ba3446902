#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then configures and
# builds. Usage: scripts/setup.sh [plain|asan|windows|all]   (default: plain)
# "all" also installs clang and its libFuzzer runtime for the fuzz smoke run of the tests, and
# what "windows" installs: the MinGW-w64 cross compiler and Wine (32-bit) for the Windows
# build and its tests, and a virtual display for the tests of its forms.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libsqlite3-dev sqlite3 libasound2-dev qt6-base-dev libx11-dev libsndfile1-dev libsoxr-dev
          fonts-dejavu-core help2man)
# The tests also need: clang and its libFuzzer runtime (fuzz smoke run), a private
# speech-dispatcher with its clients, an X server with an accessibility bus, and the package
# check (packaging/check_package.sh: dpkg-shlibdeps, lintian, man, hardening-check from
# devscripts), and flac to test piped FLAC.
if [ "${1:-plain}" = all ]; then
  packages+=(clang libclang-rt-14-dev speech-dispatcher python3-speechd xvfb xauth dbus
             at-spi2-core python3-pyatspi sox dpkg-dev lintian man-db devscripts flac)
fi
if [ "${1:-plain}" = all ] || [ "${1:-plain}" = windows ]; then
  packages+=(g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386 xvfb xauth)
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
    $SUDO dpkg --add-architecture i386  # wine32 is an i386 package
  fi
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  # A mirror caught in the middle of a sync serves indexes that do not match their Release
  # file: try again a few times, then go on with what could be read (an index that did not
  # come may not be needed; the install below says so when it is).
  for attempt in 1 2 3; do
    $SUDO apt-get update -qq -o Acquire::Retries=3 && break
    if [ "$attempt" = 3 ]; then
      echo "setup: the package lists stay incomplete; installing anyway" >&2
    else
      sleep 30
    fi
  done
  apt_install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$@" >/dev/null; }
  if ! apt_install "${missing[@]}"; then
    # The i386 lists may lag the amd64 ones (the mirror's sync again): the libraries both
    # architectures share then come at the i386 lists' versions.
    pins=$(scripts/i386_pins.sh "${missing[@]}") || exit 1
    echo "setup: with the i386 lists behind, installing at their versions: $pins"
    # shellcheck disable=SC2086 # one word per pin
    apt_install --allow-downgrades "${missing[@]}" $pins
  fi
fi

jobs=$(nproc)
build() {  # build <dir> <extra cmake args...>
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
case "${1:-plain}" in
  plain) build build ;;
  asan) build build-asan -DKV_SANITIZE=ON ;;
  windows) scripts/build-windows.sh build ;;
  all) build build && build build-asan -DKV_SANITIZE=ON && scripts/build-windows.sh build ;;
  *) echo "usage: $0 [plain|asan|windows|all]" >&2; exit 2 ;;
esac
