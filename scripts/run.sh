#!/usr/bin/env bash
# Installs what is missing, builds the two programs and starts the window. The tests and
# benchmarks are left to scripts/test.sh, which builds them into the same folder without
# building the programs again.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
echo "run: building pelloran and xcrtool into build/ (the first time takes about a minute on two cores)"
BUILD_TARGETS="pelloran xcrtool" bash scripts/build.sh build
# Without a display the program says so in one line and ends with status 1.
echo "run: starting build/app/pelloran"
exec ./build/app/pelloran
