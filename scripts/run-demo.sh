#!/usr/bin/env bash
# The main job: installs what is missing, builds, creates the demo
# installation (demo/) and opens ORTK41 in the host shell on the demo
# company database. An existing demo database is kept; --fresh recreates it.
# Without a display it runs the batch mode on the demo instead (the order
# list and the tree of the first line) and says how to open the window.
# Other arguments go to tamber-workcenter.
#   scripts/run-demo.sh [--fresh] [tamber-workcenter options]
set -euo pipefail
cd "$(dirname "$0")/.."

keep=--keep-database
args=()
for arg in "$@"; do
  if [ "$arg" = "--fresh" ]; then keep=; else args+=("$arg"); fi
done

scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build --target tamber-workcenter ORTK41C ortk-demo-db
scripts/make-demo.sh $keep build demo
# The shell finds demo/registry.reg beside its build by itself; named here
# so that a registry file of the user's own does not take its place.
export ORTK_REGISTRY_FILE="$PWD/demo/registry.reg"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo
  echo "No display found: the batch mode runs the same window offscreen and prints"
  echo "the order list and the document tree of its first line:"
  echo
  echo "  build/bin/tamber-workcenter ortk41 --user KV --company PRTest65 --database PRTest65 --tree 1"
  echo
  build/bin/tamber-workcenter ortk41 --user KV --company PRTest65 --database PRTest65 --tree 1
  cat <<MSG

To see the window, run this script again on a display (DISPLAY set), or
under a virtual one:

  xvfb-run -a scripts/run-demo.sh

'build/bin/tamber-workcenter ortk41 --help' lists the batch options.
MSG
  exit 0
fi
exec build/bin/tamber-workcenter --user KV --company PRTest65 --database PRTest65 ${args[@]+"${args[@]}"} --open ORTK41
