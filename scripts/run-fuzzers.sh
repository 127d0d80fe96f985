#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time (seconds, default 60).
# The seed corpus in fuzz/corpus/ is copied first, so a run never changes the repository.
# A crash, a leak, an out-of-memory or a time-out of one input fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCORVELLE_FUZZ=ON -DCORVELLE_CORE_ONLY=ON \
  "-DCORVELLE_SANITIZE=address;undefined;fuzzer-no-link" >/dev/null
cmake --build "$build" -j "$(nproc)"

work=$build/corpus-work
rm -rf "$work"
status=0
for fuzzer in "$build"/fuzz/fuzz_*; do
  [[ -x $fuzzer ]] || continue
  name=$(basename "$fuzzer")
  mkdir -p "$work/$name" "$build/artifacts/$name"
  cp -r "fuzz/corpus/${name#fuzz_}/." "$work/$name/" 2>/dev/null || true
  echo "== $name for ${seconds}s"
  if ! "$fuzzer" "$work/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$build/artifacts/$name/" -print_final_stats=1 >"$build/$name.log" 2>&1; then
    echo "FAILED: $name (see $build/$name.log and $build/artifacts/$name/)"
    tail -40 "$build/$name.log"
    status=1
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" "$build/$name.log" | tail -2
  fi
done
exit $status
