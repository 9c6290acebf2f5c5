#!/usr/bin/env bash
# The main job: installs what is missing, builds, creates the demo
# installation (demo/) and opens ORTK41 in the host shell on the demo
# company database. Extra arguments go to tamber-workcenter.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -G Ninja
cmake --build build
scripts/make-demo.sh build demo
export ORTK_REGISTRY_FILE="$PWD/demo/registry.reg"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat <<MSG
No display found, so the window cannot be shown here. Headless, the batch
mode runs the same window offscreen and prints the order list and a tree:

  export ORTK_REGISTRY_FILE=$PWD/demo/registry.reg
  build/bin/tamber-workcenter ortk41 --user KV --company PRTest65 --database PRTest65 --tree 1

or run this script again with a display (DISPLAY set, or under xvfb-run).
MSG
  exit 0
fi
exec build/bin/tamber-workcenter --user KV --company PRTest65 --database PRTest65 "$@" --open ORTK41
