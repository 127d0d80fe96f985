#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test through CTest: a normal build with warnings as
# errors (the end-to-end run of the real program under Xvfb included), the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the core's suite (the concurrency tests included)
# under ThreadSanitizer; then clang-tidy over the program's sources and each fuzzer for a bounded time.
# Exits non-zero on any failure. CORVELLE_QUICK=1 runs only the first build and its tests.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp

build() {  # build DIR [cmake options...]
  local dir=$1
  shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVELLE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

echo "== release build and tests"
build build
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

if [[ ${CORVELLE_QUICK:-0} != 1 ]]; then
  echo "== address and undefined-behaviour sanitizers"
  build build-asan "-DCORVELLE_SANITIZE=address;undefined"
  ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

  echo "== thread sanitizer (core)"
  build build-tsan -DCORVELLE_SANITIZE=thread -DCORVELLE_CORE_ONLY=ON
  ctest --test-dir build-tsan --output-on-failure -j "$jobs" --timeout 600

  echo "== clang-tidy"
  ./scripts/run-clang-tidy.sh build

  echo "== fuzzers, ${CORVELLE_FUZZ_SECONDS:-45} s each"
  ./scripts/run-fuzzers.sh "${CORVELLE_FUZZ_SECONDS:-45}"
fi
