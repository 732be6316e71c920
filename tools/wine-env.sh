# Source this file to run Windows programs of a build tree under Wine:
#   . tools/wine-env.sh BUILD_DIR
#   "$WINELOADER" PROGRAM.EXE ...
# It picks the Wine loader of the tree's architecture (tools/wine-loader.sh;
# the build writes win32 or win64 into BUILD_DIR/wine-arch), keeps a Wine
# prefix of that architecture inside the build tree, silences Wine's debug
# output, gives Wine an X display (an Xvfb started here when none is set) and
# keeps one wineserver running so that each program starts quickly. Returns 1,
# saying why, when this machine has no loader for the tree.

darvex_build_dir=${1:-${DARVEX_BUILD_DIR:-$PWD}}
darvex_build_dir=$(cd "$darvex_build_dir" && pwd)
darvex_tools_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
darvex_wine_arch=win64
[ -f "$darvex_build_dir/wine-arch" ] && read -r darvex_wine_arch < "$darvex_build_dir/wine-arch"
if ! WINELOADER=$(bash "$darvex_tools_dir/wine-loader.sh" "$darvex_wine_arch"); then
    echo "wine-env.sh: cannot run the programs of $darvex_build_dir" >&2
    return 1
fi
export WINELOADER
# The wineserver makes a new prefix 64-bit unless told otherwise, whichever
# loader asked; a 32-bit loader then finds no kernel32.dll in it.
export WINEARCH=$darvex_wine_arch
export WINEPREFIX="$darvex_build_dir/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# Programs linked against the mingw runtime DLLs find them where Debian keeps them.
if [ "$darvex_wine_arch" = win32 ]; then darvex_mingw=i686-w64-mingw32; else darvex_mingw=x86_64-w64-mingw32; fi
export WINEPATH="Z:\\usr\\lib\\gcc\\$darvex_mingw\\12-posix;Z:\\usr\\$darvex_mingw\\lib"

# A prefix of the other architecture (left by an older script) is made anew;
# the display and the lock of wine-run.sh stay.
if [ -f "$WINEPREFIX/system.reg" ] && ! grep -qx "#arch=$darvex_wine_arch" "$WINEPREFIX/system.reg"; then
    wineserver -k >/dev/null 2>&1 || true
    find "$WINEPREFIX" -mindepth 1 -maxdepth 1 ! -name .darvex-lock ! -name .xvfb -exec rm -rf {} +
fi

# Wine's own fonts (Marlett draws the caption buttons; MS Sans Serif, Tahoma,
# the System font) come with fonts-wine in /usr/share/wine/fonts, but Debian
# 12's Wine 8 looks for them in "<data dir>\../fonts", a path its file layer
# refuses, so a prefix would have none of them and fall back to other fonts.
# Windows keeps its fonts in windows\Fonts, which Wine reads in every process:
# each prefix gets links there, made before Wine's first start in it.
darvex_wine_fonts=${DARVEX_WINE_FONTS:-/usr/share/wine/fonts}
if [ -d "$darvex_wine_fonts" ]; then
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    for darvex_font in "$darvex_wine_fonts"/*; do
        [ -e "$WINEPREFIX/drive_c/windows/Fonts/${darvex_font##*/}" ] ||
            ln -s "$darvex_font" "$WINEPREFIX/drive_c/windows/Fonts/"
    done
fi

darvex_start_xvfb() {
    local n
    for n in $(seq 90 199); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
            setsid nohup Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
            echo "$! :$n" > "$WINEPREFIX/.xvfb"
            local i
            for i in $(seq 1 50); do
                [ -e "/tmp/.X11-unix/X$n" ] && break
                sleep 0.1
            done
            export DISPLAY=":$n"
            return 0
        fi
    done
    return 1
}

# The display of this prefix's Xvfb, while it still runs; else a new one.
# A caller's own DISPLAY is used only when DARVEX_USE_DISPLAY is set.
if [ -z "${DARVEX_USE_DISPLAY:-}" ]; then
    darvex_xvfb_pid= darvex_xvfb_display=
    [ -f "$WINEPREFIX/.xvfb" ] && read -r darvex_xvfb_pid darvex_xvfb_display < "$WINEPREFIX/.xvfb"
    if [ -n "$darvex_xvfb_pid" ] && kill -0 "$darvex_xvfb_pid" 2>/dev/null; then
        export DISPLAY="$darvex_xvfb_display"
    else
        darvex_start_xvfb
    fi
fi

# One persistent server per prefix; starting it twice is harmless. When this
# call started it, boot the session here too: Wine's background processes
# (services, devices) then hold /dev/null, not the output pipe of whichever
# test would otherwise start them and keep its runner waiting for the end.
if wineserver -p >/dev/null 2>&1 < /dev/null; then
    "$WINELOADER" wineboot >/dev/null 2>&1 < /dev/null || true
fi

# Without a window manager a managed window waits for one on every close.
if [ ! -f "$WINEPREFIX/.darvex-unmanaged" ]; then
    "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
        touch "$WINEPREFIX/.darvex-unmanaged"
fi

# Wine's Tahoma, the font of captions, menus and status bars, has no Japanese
# glyphs; under code page 932 Wine links it to "MS UI Gothic" for them, which
# this machine lacks. IPA P Gothic (fonts-ipafont-gothic) stands in for it; the
# target is the family's Japanese name, the one Wine knows it by under 932.
if [ ! -f "$WINEPREFIX/.darvex-ui-gothic" ]; then
    LC_ALL=C.UTF-8 "$WINELOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'MS UI Gothic' /t REG_SZ /d 'IPA Pゴシック' /f >/dev/null 2>&1 &&
        touch "$WINEPREFIX/.darvex-ui-gothic"
fi
# Printed Japanese is set in MS Gothic, which this machine lacks too. VL
# Gothic (fonts-vlgothic) stands in for it: its glyphs carry Unicode names,
# so the PDF a print job becomes can be read back as text (IPA Gothic's
# glyph names are not Unicode names, and its printed text reads as nothing).
if [ ! -f "$WINEPREFIX/.darvex-ms-gothic" ]; then
    darvex_substituted=1
    for darvex_face in 'MS Gothic' 'ＭＳ ゴシック'; do
        LC_ALL=C.UTF-8 "$WINELOADER" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v "$darvex_face" /t REG_SZ /d 'VL Gothic' /f >/dev/null 2>&1 || darvex_substituted=0
    done
    if [ "$darvex_substituted" = 1 ]; then touch "$WINEPREFIX/.darvex-ms-gothic"; fi
fi
