#!/usr/bin/env bash
# Builds the benchmarks and runs the order tracking window against plain
# SQLite on the 100,000-line demo database: the unconditioned order list and
# the expansion of the heaviest order line, each beside the same statements
# run directly on SQLite, with their ratio.
#   scripts/bench.sh [BUILD_DIR] [benchmark options]   (BUILD_DIR defaults to build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
shift || true
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target tamber_order_window_bench simplesql_bench ORTK41C
export QT_QPA_PLATFORM=offscreen
exec "$build/bin/tamber_order_window_bench" --orders 100000 "$@"
