#!/bin/bash
# Screenshots of the Event Detail dialog and the About box on the bundled
# sample PERN.EVT, in English and in Japanese, for the documentation:
#   tools/dialog_screenshots.sh [BUILD_DIR]     (default build/win64)
# writes docs/dialog_detail_en.png, docs/dialog_detail_ja.png,
# docs/dialog_about_en.png and docs/dialog_about_ja.png. Runs DARVEX.EXE under
# Wine on an Xvfb display of its own (see wine-env.sh); a small driver built
# here opens the dialog as the user would (Enter on a row, Help > About) and
# reports where it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
exe="$build/DARVEX.EXE"
[ -x "$exe" ] || { echo "dialog_screenshots: $exe is missing; build it first" >&2; exit 1; }

. "$root/tools/wine-env.sh" "$build"

work="$build/screenshots"
mkdir -p "$work" "$root/docs"
cp "$root/samples/PERN.EVT" "$work/PERN.EVT"

# The driver has the program's architecture, so the same Wine runs both.
cxx=i686-w64-mingw32-g++
file "$exe" | grep -q x86-64 && cxx=x86_64-w64-mingw32-g++
cat > "$work/dialog_driver.cpp" <<'EOF'
// dialog_driver detail ROW NEXTS | about: opens the dialog in the running
// DARVEX (on ROW, then presses Next NEXTS times) and prints its window
// rectangle as an ImageMagick geometry.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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
    if (strcmp(argv[1], "detail") == 0) {
        HWND list = GetDlgItem(main, 4095);
        SendMessageA(list, LB_SETCURSEL, WPARAM(argc > 2 ? atoi(argv[2]) : 0), 0);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
    } else {
        PostMessageA(main, WM_COMMAND, 130, 0);
    }
    for (int i = 0; i < 200 && !g_found; ++i) {
        Sleep(100);
        EnumWindows(Match, 0);
    }
    if (!g_found) return 1;
    for (int i = argc > 3 ? atoi(argv[3]) : 0; i > 0; --i) SendMessageA(GetDlgItem(g_found, 535), BM_CLICK, 0, 0);
    Sleep(1000);
    RECT r;
    GetWindowRect(g_found, &r);
    printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}
EOF
"$cxx" -O1 -static -o "$work/dialog_driver.exe" "$work/dialog_driver.cpp"

shoot() {
    local locale=$1 what=$2 row=$3 nexts=$4 out=$5
    LC_ALL=$locale LANG=$locale wine "$exe" "Z:${work//\//\\}\\PERN.EVT" >/dev/null 2>&1 &
    local pid=$!
    local geometry
    geometry=$(LC_ALL=$locale LANG=$locale wine "$work/dialog_driver.exe" "$what" "$row" "$nexts" 2>/dev/null | tr -d '\r')
    import -window root -crop "$geometry" +repage "$out"
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    sleep 1
}

# Row 27 has a four-line description, row 11 a Japanese one; both are reached
# with Next, as the views look after a step.
shoot C.UTF-8 detail 25 2 "$root/docs/dialog_detail_en.png"
shoot ja_JP.UTF-8 detail 10 1 "$root/docs/dialog_detail_ja.png"
shoot C.UTF-8 about 0 0 "$root/docs/dialog_about_en.png"
shoot ja_JP.UTF-8 about 0 0 "$root/docs/dialog_about_ja.png"
echo "dialog_screenshots: docs/dialog_detail_en.png docs/dialog_detail_ja.png docs/dialog_about_en.png docs/dialog_about_ja.png"
