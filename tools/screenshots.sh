#!/bin/bash
# Screenshots of the main window on the bundled sample PERN.EVT, in English and in
# Japanese, for the documentation:
#   tools/screenshots.sh [BUILD_DIR]     (default build/win64)
# writes docs/darvex_en.png and docs/darvex_ja.png. Runs DARVEX.EXE under Wine
# on an Xvfb display of its own (see wine-env.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
exe="$build/DARVEX.EXE"
[ -x "$exe" ] || { echo "screenshots: $exe is missing; build it first" >&2; exit 1; }

. "$root/tools/wine-env.sh" "$build"

sample_dir="$build/screenshots"
mkdir -p "$sample_dir" "$root/docs"
cp "$root/samples/PERN.EVT" "$sample_dir/PERN.EVT"

shoot() {
    local locale=$1 out=$2
    LC_ALL=$locale LANG=$locale "$WINELOADER" "$exe" "Z:${sample_dir//\//\\}\\PERN.EVT" >/dev/null 2>&1 &
    local pid=$!
    sleep 4
    # The unmanaged window sits at the top left at its start-up size.
    import -window root -crop 652x438+0+0 +repage "$out"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sleep 1
}

shoot C.UTF-8 "$root/docs/darvex_en.png"
shoot ja_JP.UTF-8 "$root/docs/darvex_ja.png"
echo "screenshots: $root/docs/darvex_en.png $root/docs/darvex_ja.png"
