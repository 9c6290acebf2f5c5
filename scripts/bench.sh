#!/usr/bin/env bash
# Builds the benchmarks and runs them on the 100,000-line demo database:
#  - the order tracking window against plain SQLite: the unconditioned order
#    list, the first expansion of heavy order lines never expanded before (a
#    different line each iteration) and the repeated expansion of the
#    heaviest line, each beside the same statements prepared and run
#    directly on SQLite, with their ratio;
#  - the export of about 1,000 listed order lines through the window beside
#    its statements run directly on SQLite plus its cells written with
#    libxlsxwriter alone, with the ratio and the peak resident memory of both;
#    then the export of the whole unconditioned list: its time, peak resident
#    memory and the longest wait between two steps of the progress window;
#  - 10,000 rows added one by one to a selection panel that keeps its list
#    sorted and without duplicates, against its limit of half a second.
#   scripts/bench.sh [BUILD_DIR] [benchmark options]   (BUILD_DIR defaults to build)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
shift || true
cmake -S . -B "$build" -G Ninja
cmake --build "$build" --target tamber_order_window_bench tamber_export_bench simplesql_bench selectpanel_bench ORTK41C
export QT_QPA_PLATFORM=offscreen
"$build/bin/tamber_order_window_bench" --orders 100000 "$@"
"$build/bin/selectpanel_bench" "$@"
exec "$build/bin/tamber_export_bench" --orders 100000 --lines 1000 "$@"
