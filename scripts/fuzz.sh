#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on a copy of
# its seed corpus. Any crash, leak, timeout or out-of-memory fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-20}
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all"
mkdir -p build-fuzz
CC=clang CXX=clang++ BUILD_TARGETS="fuzz_directory fuzz_bmp_header fuzz_markup fuzz_journal fuzz_patch" \
  bash scripts/build.sh build-fuzz -DXCR_FUZZ=ON -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" > build-fuzz/build.log 2>&1 || { tail -n 40 build-fuzz/build.log; exit 1; }
for target in build-fuzz/fuzz/fuzz_*; do
  name=$(basename "$target")
  seeds=fuzz/corpus/${name#fuzz_}
  work=$(mktemp -d)
  cp -r "$seeds/." "$work/"
  echo "fuzz: $name for ${seconds}s"
  if ! "$target" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -malloc_limit_mb=256 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/$name-" "$work" > "build-fuzz/$name.log" 2>&1; then
    tail -n 40 "build-fuzz/$name.log"
    rm -rf "$work"
    echo "fuzz: $name found a fault" >&2
    exit 1
  fi
  grep -E "stat::number_of_executed_units" "build-fuzz/$name.log" || true
  rm -rf "$work"
done
echo "fuzz: clean"
