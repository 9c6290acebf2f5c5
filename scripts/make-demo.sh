#!/usr/bin/env bash
# Creates the demo installation from a build: a client folder with its
# settings and the module in its work folder, a server folder with its
# settings and the demo company database, and the registry file that points
# at both.
#   scripts/make-demo.sh [--keep-database] [BUILD_DIR] [DEMO_DIR] [ORDERS]
# The demo company database is written anew unless --keep-database is given
# and one exists already.
set -euo pipefail
cd "$(dirname "$0")/.."
keep=0
if [ "${1:-}" = "--keep-database" ]; then
  keep=1
  shift
fi
build=$(realpath "${1:-build}")
demo=$(realpath -m "${2:-demo}")
orders="${3:-0}"

# c_data: where the export dialog proposes to write ORTK41.xlsx.
mkdir -p "$demo/client/C_PKG" "$demo/client/c_data" "$demo/server/Data"
cp "$build/bin/ORTK41C.so" "$demo/client/C_PKG/"
# Language packages of the module's windows (English under code page 437).
cp -r packages/MultiLanguage "$demo/client/"

cat > "$demo/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\KVX\\Corvane]
"ClientPath"="$demo/client/"
"ServerPath"="$demo/server/"
"ProfileType"="0"
REG

cat > "$demo/client/CorvaneC.ini" <<INI
[Client Components]
LangType=CHS

[CodePage]
DBCodePage=936

[Server Information]
ComputerName=127.0.0.1
ServerPort=211

[WorkDLLPath]
Programs=C_PKG
INI

cat > "$demo/server/CorvaneS.ini" <<INI
[DBE Setting]
Alias=Tamber
DatabaseType=SQLITE
DatabaseName=PRTest65
ServerName=Data
UserName=
Password=
TimeOut=30

[Server Information]
ComputerName=127.0.0.1
ServerPort=211
INI

# An attached document of an item, for the document viewer.
mkdir -p "$demo/server/Documents/INVMB"
printf '齿轮减速箱 GB-200 装配说明\n' > "$demo/server/Documents/INVMB/GB-200.txt"

database="$demo/server/Data/PRTest65.db"
if [ "$keep" = 1 ] && [ -f "$database" ]; then
  echo "Keeping the demo database $database (scripts/run-demo.sh --fresh writes it anew)"
else
  rm -f "$database"
  "$build/bin/ortk-demo-db" --out "$database" --company PRTest65 --orders "$orders"
fi
echo "Demo installation in $demo (registry file $demo/registry.reg)"
