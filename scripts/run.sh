#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run: no display found (DISPLAY and WAYLAND_DISPLAY are unset); the program needs a desktop to show its window." >&2
  exit 1
fi
exec ./build/app/pelloran
