#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test and run,
# skipping those already present. Safe to run again.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  qt6-translations-l10n      # Qt's own dialog and button texts in Chinese (loaded by the interface code page)
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  libpugixml-dev
  libopencc-dev opencc
  libxlsxwriter-dev zlib1g-dev
  fonts-wqy-microhei
  xvfb xauth                 # the X server of the window journeys (scripts/with-xvfb.sh)
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  clang libclang-rt-dev
  python3-openpyxl libreoffice-calc-nogui
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
