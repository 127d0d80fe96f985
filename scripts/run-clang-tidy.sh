#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the program's own sources (not the tests),
# using the compile commands of a configured build folder. Any finding fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
mapfile -t files < <(ls collect/*.cpp view/*.cpp export/*.cpp app/*.cpp)
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${files[@]/#/$PWD/}" >"$build/clang-tidy.log" 2>&1 || true
if grep -E "(warning|error): " "$build/clang-tidy.log" | grep -v "^Error while processing" >/dev/null; then
  grep -E -A3 "(warning|error): " "$build/clang-tidy.log" | head -80
  echo "clang-tidy: findings above (full log: $build/clang-tidy.log)"
  exit 1
fi
echo "clang-tidy: no findings in ${#files[@]} files"
