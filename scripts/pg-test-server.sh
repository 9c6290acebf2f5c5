#!/usr/bin/env bash
# A throw-away PostgreSQL server for the tests: its own data folder, loopback
# only, a free port, a password-protected role "ortk".
#
#   scripts/pg-test-server.sh start FOLDER   initdb into FOLDER/data, start, and
#                                            write FOLDER/env (ORTK_TEST_PG=...)
#   scripts/pg-test-server.sh stop FOLDER    stop the server (no error when it
#                                            is not running) and remove FOLDER
#
# The server binaries refuse to run as root; as root the server runs as the
# "postgres" user the Debian package creates.
set -euo pipefail

command="${1:-}"
folder="${2:-}"
if [ -z "$command" ] || [ -z "$folder" ]; then
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
fi

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -1 || true)
if [ -z "$bindir" ] || [ ! -x "$bindir/pg_ctl" ]; then
  echo "$0: no PostgreSQL server installed (scripts/install-deps.sh installs it)" >&2
  exit 1
fi

as_owner=()
if [ "$(id -u)" -eq 0 ]; then
  as_owner=(runuser -u postgres --)
fi

case "$command" in
start)
  mkdir -p "$folder"
  folder=$(realpath "$folder")
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$folder"; fi
  password="ortk-$(date +%s%N | sha256sum | head -c 16)"
  printf '%s\n' "$password" > "$folder/password"
  if [ "$(id -u)" -eq 0 ]; then chown postgres "$folder/password"; fi
  "${as_owner[@]}" "$bindir/initdb" -D "$folder/data" -U ortk --pwfile="$folder/password" \
      --auth=scram-sha-256 --encoding=UTF8 --locale=C >"$folder/initdb.log" 2>&1 \
    || { cat "$folder/initdb.log" >&2; exit 1; }
  # A port nobody listens on.
  port=""
  for candidate in $(seq 54330 54429); do
    if ! (exec 3<>"/dev/tcp/127.0.0.1/$candidate") 2>/dev/null; then port=$candidate; break; fi
  done
  [ -n "$port" ] || { echo "$0: no free port" >&2; exit 1; }
  "${as_owner[@]}" "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "-p $port -k $folder -c listen_addresses=127.0.0.1 -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
      start >/dev/null \
    || { cat "$folder/server.log" >&2; exit 1; }
  echo "ORTK_TEST_PG='host=127.0.0.1 port=$port user=ortk password=$password dbname=postgres'" > "$folder/env"
  echo "PostgreSQL test server on 127.0.0.1:$port (data in $folder/data)"
  ;;
stop)
  if [ -d "$folder/data" ]; then
    "${as_owner[@]}" "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf "$folder"
  ;;
*)
  echo "usage: $0 start|stop FOLDER" >&2
  exit 2
  ;;
esac
