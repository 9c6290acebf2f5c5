#!/usr/bin/env bash
# Runs a command on Qt's xcb platform: on the X display in DISPLAY when one is
# set, otherwise on an X server of its own (Xvfb, 1280x1024, 24 bits) that is
# started for the command and stopped when it ends, also when it fails or is
# interrupted. The window journeys run this way (see CMakeLists.txt).
#   scripts/with-xvfb.sh COMMAND [ARGS...]
set -euo pipefail

export QT_QPA_PLATFORM=xcb
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "with-xvfb.sh: no DISPLAY and no Xvfb (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

folder=$(mktemp -d "${TMPDIR:-/tmp}/ortk-xvfb.XXXXXX")
xvfb_pid=
stop() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$folder"
}
trap stop EXIT
trap 'exit 130' INT TERM

# The server picks a free display itself and writes its number once it
# accepts connections, so that runs side by side never race for a display.
# It also ends when its last client goes (-terminate), so that a command
# killed together with this script (a CTest timeout) leaves no server behind.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -terminate 3>"$folder/display" 2>"$folder/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "$folder/display" ] && break
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with-xvfb.sh: Xvfb did not start:" >&2
    cat "$folder/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ ! -s "$folder/display" ]; then
  echo "with-xvfb.sh: Xvfb gave no display within 10 s" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$folder/display")"
status=0
"$@" || status=$?
exit "$status"
