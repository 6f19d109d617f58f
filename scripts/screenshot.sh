#!/usr/bin/env bash
# Writes docs/screenshot.png: the main window with the demo archive open and its bitmap
# previewed, taken by the end-to-end bitmap test once it has checked that state.
# Usage: screenshot.sh [BUILD_FOLDER]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mkdir -p docs
XCR_E2E_SCREENSHOT="$PWD/docs/screenshot.png" bash scripts/e2e.sh "$build" -R '^BitmapPreview\.'
echo "screenshot: docs/screenshot.png"
