# Source this file to run Windows programs of a build tree under Wine:
#   . tools/wine-env.sh BUILD_DIR
# It keeps a Wine prefix inside the build tree, silences Wine's debug output,
# gives Wine an X display (an Xvfb started here when none is set) and keeps
# one wineserver running so that each program starts quickly.

darvex_build_dir=${1:-${DARVEX_BUILD_DIR:-$PWD}}
darvex_build_dir=$(cd "$darvex_build_dir" && pwd)
export WINEPREFIX="$darvex_build_dir/wineprefix"
export WINEDEBUG=-all
# No Mono or Gecko installers: nothing here needs them.
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
# Programs linked against the mingw runtime DLLs find them where Debian keeps them
# (64-bit only: there is no 32-bit Wine here).
export WINEPATH="Z:\\usr\\lib\\gcc\\x86_64-w64-mingw32\\12-posix;Z:\\usr\\x86_64-w64-mingw32\\lib"

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
    wine wineboot >/dev/null 2>&1 < /dev/null || true
fi

# Without a window manager a managed window waits for one on every close.
if [ ! -f "$WINEPREFIX/.darvex-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
        touch "$WINEPREFIX/.darvex-unmanaged"
fi

