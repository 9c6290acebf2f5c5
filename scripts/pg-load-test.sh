#!/usr/bin/env bash
# Load test of a company database shared on PostgreSQL: 16 batch runs of
# `tamber-workcenter ortk41 --tree all`, each with a different condition,
# at once against one PostgreSQL database on loopback. Every run must print
# exactly what the same run prints alone, and what it prints on the SQLite
# demo database; the time of each concurrent run is printed beside its
# single-run time.
#
#   scripts/pg-load-test.sh [BUILD_DIR] [ORDERS]
#
# BUILD_DIR (default build) must hold tamber-workcenter, ortk-demo-db,
# ortk-encode-password and ORTK41C.so. ORDERS (default 2000) order lines are
# added to the demo data. The server named by ORTK_TEST_PG (a libpq
# connection string of a role that may create databases) is used when set;
# otherwise the script starts its own (scripts/pg-test-server.sh) and stops
# it at the end. CONDITIONS may name a file of 16 lines, each the condition
# options of one run (default: the half-month order-date ranges of January
# to August 2025, where the added order lines fall).
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
orders="${2:-2000}"
runs=16
work=$(mktemp -d /tmp/ortk-load.XXXXXX)
own_server=""
cleanup() {
  if [ -n "$own_server" ]; then scripts/pg-test-server.sh stop "$own_server"; fi
  rm -rf "$work"
}
trap cleanup EXIT

for tool in tamber-workcenter ortk-demo-db ortk-encode-password ORTK41C.so; do
  [ -e "$build/bin/$tool" ] || { echo "$0: $build/bin/$tool is missing (build first)" >&2; exit 1; }
done

if [ -z "${ORTK_TEST_PG:-}" ]; then
  own_server=$(mktemp -d /tmp/ortk-load-pg.XXXXXX)
  scripts/pg-test-server.sh start "$own_server"
  set -a; source "$own_server/env"; set +a
fi

# host, port, user and password of the connection string
declare -A pg=()
for pair in $ORTK_TEST_PG; do pg[${pair%%=*}]=$(printf '%s' "${pair#*=}" | tr -d "'"); done
admin="$ORTK_TEST_PG"
load_db=ortk_load_$$
psql "$admin" -X -q -v ON_ERROR_STOP=1 \
  -c "DROP DATABASE IF EXISTS $load_db WITH (FORCE)" \
  -c "CREATE DATABASE $load_db TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'"
trap 'psql "$admin" -X -q -c "DROP DATABASE IF EXISTS $load_db WITH (FORCE)" >/dev/null 2>&1 || true; cleanup' EXIT
"$build/bin/ortk-demo-db" --postgres "$admin dbname=$load_db" --company PRTest65 --orders "$orders"

# Two installations: the SQLite demo, and a copy whose server settings name
# the PostgreSQL database (password stored encoded).
scripts/make-demo.sh "$build" "$work/sqlite" "$orders" >/dev/null
cp -r "$work/sqlite" "$work/pg"
sed -i "s|$work/sqlite/|$work/pg/|g" "$work/pg/registry.reg"
password=$(printf '%s\n' "${pg[password]:-}" | "$build/bin/ortk-encode-password")
cat > "$work/pg/server/CorvaneS.ini" <<INI
[DBE Setting]
Alias=Tamber
DatabaseType=POSTGRESQL
DatabaseName=PRTest65
ServerName=${pg[host]:-127.0.0.1}:${pg[port]:-5432}/$load_db
UserName=${pg[user]:-}
Password=$password
TimeOut=30

[Server Information]
ComputerName=127.0.0.1
ServerPort=211
INI

conditions=()
if [ -n "${CONDITIONS:-}" ]; then
  mapfile -t conditions < "$CONDITIONS"
else
  for i in $(seq 0 $((runs - 1))); do
    month=$((i / 2 + 1)); half=$((i % 2))
    last=(31 28 31 30 31 30 31 31)
    from=$(printf '2025%02d%02d' "$month" $((half ? 16 : 1)))
    to=$(printf '2025%02d%02d' "$month" $((half ? ${last[$((month - 1))]} : 15)))
    conditions+=("--order-date $from..$to")
  done
fi
[ "${#conditions[@]}" -ge "$runs" ] || { echo "$0: $runs conditions needed" >&2; exit 1; }

export QT_QPA_PLATFORM=offscreen
run() {  # installation, condition index, output file; prints seconds, leaves the exit status in FILE.rc
  local start end status=0
  start=$(date +%s.%N)
  # shellcheck disable=SC2086
  ORTK_REGISTRY_FILE="$work/$1/registry.reg" "$build/bin/tamber-workcenter" ortk41 \
    --user KV --company PRTest65 --database PRTest65 ${conditions[$2]} --tree all >"$3" 2>"$3.err" || status=$?
  end=$(date +%s.%N)
  echo "$status" > "$3.rc"
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

mkdir -p "$work/out"
declare -a alone=()
for i in $(seq 0 $((runs - 1))); do
  run sqlite "$i" "$work/out/sqlite.$i" >/dev/null
  alone[$i]=$(run pg "$i" "$work/out/alone.$i")
done
start=$(date +%s.%N)
for i in $(seq 0 $((runs - 1))); do
  (run pg "$i" "$work/out/together.$i" > "$work/out/time.$i") &
done
wait
wall=$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.3f", b - a }')

failed=0
printf '%-4s %-32s %7s %10s %12s  %s\n' run condition lines alone_s together_s result
for i in $(seq 0 $((runs - 1))); do
  result=same
  if ! cmp -s "$work/out/alone.$i" "$work/out/together.$i"; then result="DIFFERS from the run alone"; failed=1; fi
  if ! cmp -s "$work/out/alone.$i" "$work/out/sqlite.$i"; then result="$result; DIFFERS from SQLite"; failed=1; fi
  for kind in sqlite alone together; do
    status=$(cat "$work/out/$kind.$i.rc")
    if [ "$status" != 0 ]; then
      result="$result; $kind run FAILED with status $status ($(head -c 200 "$work/out/$kind.$i.err"))"; failed=1
    fi
  done
  if [ ! -s "$work/out/alone.$i" ]; then result="$result; NO OUTPUT"; failed=1; fi
  printf '%-4s %-32s %7s %10.3f %12.3f  %s\n' "$i" "${conditions[$i]}" "$(wc -l < "$work/out/alone.$i")" \
    "${alone[$i]}" "$(cat "$work/out/time.$i")" "$result"
done
echo "16 concurrent runs took ${wall} s of wall time; $orders added order lines"
exit "$failed"
