#!/bin/bash
# Screenshots for the documentation, in English and in Japanese, on the
# bundled sample PERN.EVT: the main window and the Event Detail, Find, Filter,
# About and Log Settings dialogs:
#   tools/screenshots.sh [BUILD_DIR]     (default build/win64)
# writes docs/darvex_{en,ja}.png and docs/dialog_{detail,find,filter,about,logsettings}_{en,ja}.png.
# Runs DARVEX.EXE under Wine on an Xvfb display of its own (see wine-env.sh);
# a small driver built here opens each dialog as the user would and reports
# where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
exe="$build/DARVEX.EXE"
[ -x "$exe" ] || { echo "screenshots: $exe is missing; build it first" >&2; exit 1; }

. "$root/tools/wine-env.sh" "$build"

work="$build/screenshots"
mkdir -p "$work" "$root/docs"
cp "$root/samples/PERN.EVT" "$work/PERN.EVT"

# The driver has the program's architecture, so the same Wine runs both.
cxx=i686-w64-mingw32-g++
file "$exe" | grep -q x86-64 && cxx=x86_64-w64-mingw32-g++
cat > "$work/dialog_driver.cpp" <<'EOF'
// dialog_driver detail ROW NEXTS | about | find TEXT | filter | logsettings:
// opens the dialog in the running DARVEX as the user would (Detail on ROW,
// then Next NEXTS times; Find with TEXT typed; Log Settings past its two
// questions, No and OK) and prints its window rectangle as an ImageMagick
// geometry.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <initializer_list>

static DWORD g_pid;
static HWND g_found;

static BOOL CALLBACK Match(HWND w, LPARAM) {
    DWORD pid = 0;
    char cls[16] = "";
    GetWindowThreadProcessId(w, &pid);
    GetClassNameA(w, cls, sizeof cls);
    if (pid == g_pid && IsWindowVisible(w) && strcmp(cls, "#32770") == 0) {
        g_found = w;
        return FALSE;
    }
    return TRUE;
}

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    HWND main = nullptr;
    char title[300] = "";
    for (int i = 0; i < 200 && strlen(title) <= 7; ++i) {   // "DARVEX " and a path: the log is in
        Sleep(100);
        main = FindWindowA("DARVEX", nullptr);
        if (main) GetWindowTextA(main, title, sizeof title);
    }
    if (!main) return 1;
    GetWindowThreadProcessId(main, &g_pid);
    const bool detail = strcmp(argv[1], "detail") == 0;
    if (detail) {
        HWND list = GetDlgItem(main, 4095);
        SendMessageA(list, LB_SETCURSEL, WPARAM(argc > 2 ? atoi(argv[2]) : 0), 0);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
    } else {
        const bool logSettings = strcmp(argv[1], "logsettings") == 0;
        const WPARAM command = strcmp(argv[1], "find") == 0     ? 115
                               : strcmp(argv[1], "filter") == 0 ? 111
                               : logSettings                    ? 103
                                                                : 130;
        PostMessageA(main, WM_COMMAND, command, 0);
        for (int answer : {logSettings ? IDNO : 0, logSettings ? IDOK : 0}) {
            if (answer == 0) break;
            for (int i = 0; i < 200 && !g_found; ++i) {
                Sleep(100);
                EnumWindows(Match, 0);
            }
            if (!g_found) return 1;
            // A box without that button (an error box) stays: give up on it.
            PostMessageA(GetDlgItem(g_found, answer), BM_CLICK, 0, 0);
            for (int i = 0; i < 100 && IsWindow(g_found); ++i) Sleep(50);
            if (IsWindow(g_found)) return 1;
            g_found = nullptr;
        }
    }
    for (int i = 0; i < 200 && !g_found; ++i) {
        Sleep(100);
        EnumWindows(Match, 0);
    }
    if (!g_found) return 1;
    for (int i = detail && argc > 3 ? atoi(argv[3]) : 0; i > 0; --i) {
        SendMessageA(GetDlgItem(g_found, 535), BM_CLICK, 0, 0);
    }
    if (strcmp(argv[1], "find") == 0 && argc > 2) SetDlgItemTextA(g_found, 404, argv[2]);
    Sleep(1000);
    RECT r;
    GetWindowRect(g_found, &r);
    printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}
EOF
"$cxx" -O1 -static -o "$work/dialog_driver.exe" "$work/dialog_driver.cpp"

# shoot LOCALE OUT [DRIVER ARGUMENTS]: without arguments the main window,
# which sits unmanaged at the top left at its start-up size.
shoot() {
    local locale=$1 out=$2
    shift 2
    LC_ALL=$locale LANG=$locale "$WINELOADER" "$exe" "Z:${work//\//\\}\\PERN.EVT" >/dev/null 2>&1 &
    local pid=$!
    local geometry=652x438+0+0
    if [ $# -gt 0 ]; then
        geometry=$(LC_ALL=$locale LANG=$locale "$WINELOADER" "$work/dialog_driver.exe" "$@" 2>/dev/null | tr -d '\r')
    else
        sleep 4
    fi
    import -window root -crop "$geometry" +repage "$out"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sleep 1
}

for lang in en ja; do
    locale=C.UTF-8
    [ "$lang" = ja ] && locale=ja_JP.UTF-8
    shoot "$locale" "$root/docs/darvex_$lang.png"
    # Row 27 has a four-line description, row 11 a Japanese one; both are
    # reached with Next, as the views look after a step.
    if [ "$lang" = en ]; then
        shoot "$locale" "$root/docs/dialog_detail_$lang.png" detail 25 2
    else
        shoot "$locale" "$root/docs/dialog_detail_$lang.png" detail 10 1
    fi
    shoot "$locale" "$root/docs/dialog_find_$lang.png" find error
    shoot "$locale" "$root/docs/dialog_filter_$lang.png" filter
    shoot "$locale" "$root/docs/dialog_about_$lang.png" about
    shoot "$locale" "$root/docs/dialog_logsettings_$lang.png" logsettings
done
echo "screenshots: docs/darvex_{en,ja}.png docs/dialog_{detail,find,filter,about,logsettings}_{en,ja}.png"
