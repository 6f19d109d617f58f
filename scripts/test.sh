#!/usr/bin/env bash
# Installs what is missing, builds, and runs every check: format, unit and GUI tests
# (offscreen, no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

echo "== format"
bash scripts/check-format.sh

echo "== build"
bash scripts/build.sh build

echo "== tests"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  ctest --test-dir build --output-on-failure -j"$(nproc)" --timeout 120

bash scripts/sanitizers.sh
bash scripts/fuzz.sh
