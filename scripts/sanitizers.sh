#!/usr/bin/env bash
# Builds and runs the tests under sanitizers; any report fails the run.
#  - build-asan: every unit and GUI test under AddressSanitizer and UndefinedBehaviorSanitizer
#  - build-tsan: the archive core's tests (jobs on real worker threads) under ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

echo "== sanitizers: address + undefined"
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
mkdir -p build-asan
# Benchmarks and end-to-end tests are not run here, so they are not built either.
bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DXCR_BENCHMARKS=OFF -DXCR_E2E=OFF -DXCR_LAYER_CHECK=OFF \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > build-asan/build.log 2>&1 \
  || { tail -n 60 build-asan/build.log; exit 1; }
# The Debian package is made from release builds, so its lintian test is left out here.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 -E 'DemoArchiveIsCurrent|DebianPackage'

echo "== sanitizers: thread (archive core)"
flags="-fsanitize=thread"
mkdir -p build-tsan
bash scripts/build.sh build-tsan -DXCR_CORE_ONLY=ON -DXCR_BENCHMARKS=OFF -DXCR_LAYER_CHECK=OFF -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" > build-tsan/build.log 2>&1 \
  || { tail -n 60 build-tsan/build.log; exit 1; }
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j"$jobs" --timeout 300
