#!/usr/bin/env bash
# Installs every Debian 12 package that the build, the tests and the run command need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
sudo_cmd=""
[ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
pkgs=(cmake g++ ninja-build googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
      g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
      wine wine64 xvfb xauth imagemagick cups printer-driver-cups-pdf poppler-utils fonts-ipafont-gothic fonts-vlgothic
      locales python3 fonts-wine man-db groff-base bsdextrautils dpkg-dev libsqlite3-dev sqlite3)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
updated=0
if [ ${#missing[@]} -gt 0 ]; then
  $sudo_cmd apt-get update -qq
  updated=1
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
# The 32-bit release build runs under the 32-bit Wine loader, which lives in the
# i386 architecture, and prints through the i386 CUPS client library (without
# it 32-bit Wine finds no printer). A mirror without i386 leaves the 32-bit
# Wine tests skipped (tools/test.sh says so); it never stops the rest of the set-up.
missing32=()
for p in wine32:i386 libcups2:i386; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing32+=("$p")
done
if [ ${#missing32[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo_cmd dpkg --add-architecture i386
    updated=0
  fi
  [ "$updated" -eq 1 ] || $sudo_cmd apt-get update -qq || true
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing32[@]}" >/dev/null ||
    echo "install-deps.sh: ${missing32[*]} could not be installed; the 32-bit Wine tests will be skipped or fail to print." >&2
fi
# Wine reads the Japanese code page only when the locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
  $sudo_cmd sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  $sudo_cmd locale-gen >/dev/null
fi
