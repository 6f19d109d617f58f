#!/usr/bin/env bash
# Builds and runs the tests under sanitizers; any report fails the run.
#  - build-asan: every unit and GUI test under AddressSanitizer and UndefinedBehaviorSanitizer
#  - build-tsan: the archive core's tests (jobs on real worker threads) under ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

# Builds the folder $1 for debugging with the sanitizer flags $2 and any further CMake
# options. Benchmarks are not run here, so they are not built either; the layers are
# checked by the release build. A failed build shows the end of its log.
build_with() {
  local folder=$1 flags=$2
  shift 2
  mkdir -p "$folder"
  bash scripts/build.sh "$folder" -DCMAKE_BUILD_TYPE=Debug -DXCR_BENCHMARKS=OFF \
    -DXCR_LAYER_CHECK=OFF -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" "$@" \
    > "$folder/build.log" 2>&1 || { tail -n 60 "$folder/build.log"; exit 1; }
}

echo "== sanitizers: address + undefined"
# End-to-end tests are not run here either.
build_with build-asan "-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer" \
  -DXCR_E2E=OFF
# The Debian package is made from release builds, so its lintian test is left out here.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 -E 'DemoArchiveIsCurrent|DebianPackage'

echo "== sanitizers: thread (archive core)"
build_with build-tsan "-fsanitize=thread" -DXCR_CORE_ONLY=ON
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
  ctest --test-dir build-tsan --output-on-failure -j"$jobs" --timeout 300
