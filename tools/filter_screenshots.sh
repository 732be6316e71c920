#!/bin/bash
# Screenshots of the Filter dialog over the bundled sample PERN.EVT, in English
# and in Japanese, for the documentation:
#   tools/filter_screenshots.sh [BUILD_DIR]     (default build/win64)
# writes docs/dialog_filter_en.png and docs/dialog_filter_ja.png. Runs
# DARVEX.EXE under Wine on an Xvfb display of its own (see wine-env.sh) and
# opens the dialog from the keyboard (Alt+V, T), pressed through the XTEST
# extension of the display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
exe="$build/DARVEX.EXE"
[ -x "$exe" ] || { echo "filter_screenshots: $exe is missing; build it first" >&2; exit 1; }

. "$root/tools/wine-env.sh" "$build"

sample_dir="$build/screenshots"
mkdir -p "$sample_dir" "$root/docs"
cp "$root/samples/PERN.EVT" "$sample_dir/PERN.EVT"

# Presses each key (an X keysym name, "Alt_L+v" for a chord) on the display.
press_keys() {
    python3 - "$@" <<'EOF'
import ctypes, sys, time
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XStringToKeysym.restype = ctypes.c_ulong
x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x11.XFlush.argtypes = [ctypes.c_void_p]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("filter_screenshots: cannot open the display")
for chord in sys.argv[1:]:
    codes = [x11.XKeysymToKeycode(display, x11.XStringToKeysym(k.encode())) for k in chord.split("+")]
    for c in codes:
        xtst.XTestFakeKeyEvent(display, c, 1, 0)
    for c in reversed(codes):
        xtst.XTestFakeKeyEvent(display, c, 0, 0)
    x11.XFlush(display)
    time.sleep(0.5)
EOF
}

shoot() {
    local locale=$1 out=$2
    LC_ALL=$locale LANG=$locale wine "$exe" "Z:${sample_dir//\//\\}\\PERN.EVT" >/dev/null 2>&1 &
    local pid=$!
    sleep 4
    press_keys Alt_L+v t
    sleep 2
    # The unmanaged main window sits at the top left at its start-up size; the
    # dialog is centred over it.
    import -window root -crop 652x438+0+0 +repage "$out"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sleep 1
}

shoot C.UTF-8 "$root/docs/dialog_filter_en.png"
shoot ja_JP.UTF-8 "$root/docs/dialog_filter_ja.png"
echo "filter_screenshots: $root/docs/dialog_filter_en.png $root/docs/dialog_filter_ja.png"
