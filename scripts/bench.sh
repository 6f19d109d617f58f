#!/usr/bin/env bash
# Builds an optimised tree and runs every benchmark (or those whose name matches $1).
# Benchmarks write seeded synthetic archives to the temporary folder and delete them.
set -euo pipefail
cd "$(dirname "$0")/.."
filter=${1:-}
bash scripts/setup.sh
# The build's own chatter is dropped; a failure still shows why and stops here.
bash scripts/build.sh build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DXCR_BENCHMARKS=ON \
  > build-bench-output.log 2>&1 \
  || { tail -40 build-bench-output.log; exit 1; }
# Work files go under the build folder, on the same file system as the project.
export TMPDIR=${TMPDIR:-$PWD/build-bench/tmp}
mkdir -p "$TMPDIR"
for bench in build-bench/bench/*; do
  [ -x "$bench" ] && [ -f "$bench" ] || continue
  name=$(basename "$bench")
  [[ -z "$filter" || "$name" == *"$filter"* ]] || continue
  echo "== $name"
  "$bench"
done
