#!/usr/bin/env bash
# Installs what is missing, builds, and runs every check: format, unit and GUI tests
# (offscreen, no display needed), and the end-to-end tests on a private X server.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== format"
bash scripts/check-format.sh

echo "== build"
bash scripts/build.sh build

echo "== tests"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120 -LE e2e

echo "== end-to-end tests"
if command -v Xvfb >/dev/null && command -v openbox >/dev/null && command -v xdotool >/dev/null; then
  bash scripts/e2e.sh build
else
  echo "e2e: skipped, Xvfb, openbox or xdotool is missing (scripts/setup.sh installs them)"
fi

bash scripts/sanitizers.sh
bash scripts/fuzz.sh
