#!/bin/sh
# Runs a program that shows a form under Xvfb, with a private session bus and accessibility
# bus, and lists every control of the form as a screen reader sees it; fails when a control
# that takes the keyboard focus has no accessible name.
#
# Usage: accessible_names.sh [--engine REGSVR ENGINE.so] PROGRAM [ARGS...]
#   --engine  registers the engine into a fresh temporary prefix first (for kvtts --dialog).
# Exit codes: 0 every control named, 1 a control without a name or no form found, 77 skipped
# (Xvfb is not installed).
set -eu
unset WAYLAND_DISPLAY
here=$(cd "$(dirname "$0")" && pwd)

if [ "${1:-}" = "--inside" ]; then
  shift
  /usr/libexec/at-spi-bus-launcher --launch-immediately &
  launcher=$!
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@" &
  program=$!
  status=0
  /usr/bin/python3 "$here/accessible_names.py" "$program" || status=$?
  kill "$program" "$launcher" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
  exit "$status"
fi

if ! command -v Xvfb >/dev/null; then
  echo "Xvfb is not installed: the accessibility check is skipped"
  exit 77
fi
if [ "${1:-}" = "--engine" ]; then
  KVTTS_PREFIX=$(mktemp -d)
  export KVTTS_PREFIX
  trap 'rm -rf "$KVTTS_PREFIX"' EXIT
  "$2" "$3" >/dev/null
  shift 3
fi
# Xvfb picks a free display itself (-displayfd): other X servers may be starting meanwhile.
# A server that goes away under the program (another one taking its display at the same
# moment) shows as "no form": such a run is tried again, up to three times.
check_once() {
  work=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.1
  done
  if [ ! -s "$work/display" ]; then
    cat "$work/xvfb.log"
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$work"
    echo "Xvfb did not start"
    return 1
  fi
  status=0
  DISPLAY=:$(head -n1 "$work/display") dbus-run-session -- "$0" --inside "$@" || status=$?
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$work"
  return "$status"
}
for attempt in 1 2 3; do
  status=0
  check_once "$@" || status=$?
  [ "$status" -eq 0 ] && exit 0
  echo "(attempt $attempt of 3 failed)"
done
exit "$status"
