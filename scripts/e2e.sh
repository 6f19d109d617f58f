#!/usr/bin/env bash
# Runs the end-to-end tests (ctest label e2e) against the built program on a private X
# server with a small window manager; both are stopped on every way out.
# Usage: e2e.sh [BUILD_FOLDER [CTEST_OPTIONS...]]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true

work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
stop() {
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# Waits up to five seconds for a command to succeed.
wait_for() {
  for _ in $(seq 100); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.05
  done
  echo "e2e: gave up waiting for: $*" >&2
  return 1
}

# The server picks a free display itself and writes its number to file descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
  3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_for test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
wait_for xdpyinfo
# A plain desktop colour, so that the half-tone shadow shows in screenshots.
display -window root -size 16x16 "xc:#5f87af" || true

wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
wait_for wm_ready

echo "e2e: display $DISPLAY"
export XCR_E2E=1
ctest --test-dir "$build" -L e2e --output-on-failure --timeout 120 "$@"
