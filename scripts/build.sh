#!/usr/bin/env bash
# Configures and builds one build folder: build.sh FOLDER [cmake options...]
# BUILD_TARGETS, when set, names the targets to build instead of all.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$1
shift
mkdir -p "$folder"
cmake -S . -B "$folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > "$folder/configure.log" 2>&1 \
  || { cat "$folder/configure.log"; exit 1; }
targets=()
for target in ${BUILD_TARGETS:-}; do
  targets+=(--target "$target")
done
cmake --build "$folder" "${targets[@]}" -- -j"$(nproc)"
