#!/usr/bin/env bash
# Builds (Release) and runs every benchmark, printing the figures that bench/README.md keeps.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j "$(nproc)"

echo "== one real-size page: convert, cut and parse (bench_pipeline)"
"$build/bench/bench_pipeline" --benchmark_min_time=1
echo "== analysis of 15 funds, 20 ms latency per request (bench_analysis)"
"$build/bench/bench_analysis" 20 15
echo "== refill of 1,000 rows (bench_refill, offscreen)"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_refill"
echo "== cold start to the first shown window (Xvfb)"
python3 bench/cold_start.py "$build" 10
echo "== peak memory after an analysis of every fund the sample site serves (Xvfb)"
python3 tests/e2e/e2e_run.py "$build" . "$build/bench-artifacts" --all-funds | grep -E "peak|E2E"
