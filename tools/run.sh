#!/usr/bin/env bash
# Installs what is needed, builds the 64-bit DARVEX.EXE and opens it under Wine
# on the bundled sample log (samples/PERN.EVT, a live-named log written by our
# generator). Extra arguments replace the log path.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ -z "${DISPLAY:-}" ]; then
  echo "run.sh: no display (DISPLAY is not set), so DARVEX cannot open a window here." >&2
  echo "        To build and run every test headless under Xvfb, use: tools/test.sh" >&2
  exit 2
fi

bash tools/install-deps.sh
cmake -S . -B build/run64 -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" -DDARVEX_TESTS=OFF >/dev/null
ninja -C build/run64 DARVEX.EXE >/dev/null

log=${1:-$root/samples/PERN.EVT}
export DARVEX_USE_DISPLAY=1
# shellcheck source=tools/wine-env.sh
. tools/wine-env.sh build/run64
exec "$WINELOADER" build/run64/DARVEX.EXE "$("$WINELOADER" winepath -w "$log")"
