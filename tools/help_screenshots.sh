#!/bin/bash
# Screenshots of the help viewer open on the Event Detail topic, in English
# and in Japanese, as the user reaches it (Event Detail, Help):
#   tools/help_screenshots.sh [BUILD_DIR]     (default build/win64)
# writes docs/help_event_detail_{en,ja}.png. The English run uses DARVEX.EXE
# beside the English DARVEX.HLP; the Japanese run uses the Japanese
# distribution in BUILD_DIR/ja under LC_ALL=ja_JP.UTF-8.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
[ -f "$build/DARVEX.HLP" ] && [ -f "$build/ja/DARVEX.HLP" ] ||
    { echo "help_screenshots: build $build first (its help files are missing)" >&2; exit 1; }
work="$build/help-screenshots"
mkdir -p "$work"
cxx=i686-w64-mingw32-gcc
file "$build/DARVEX.EXE" | grep -q x86-64 && cxx=x86_64-w64-mingw32-gcc
cat > "$work/help_driver.c" <<'DRIVER'
/* In the running DARVEX: Event Detail on the sixth row, its Help button;
   the viewer is placed at 40,40 in 640 x 520 and its rectangle printed as
   an ImageMagick geometry. */
#include <windows.h>
#include <stdio.h>

int main(void) {
    HWND main = NULL, dialog = NULL, viewer = NULL;
    RECT r;
    int i;
    for (i = 0; i < 100 && (main = FindWindowA("DARVEX", NULL)) == NULL; ++i) Sleep(100);
    SendMessageA(GetDlgItem(main, 4095), LB_SETCURSEL, 5, 0);
    PostMessageA(main, WM_COMMAND, 116, 0);
    for (i = 0; i < 100 && (dialog = FindWindowA("#32770", NULL)) == NULL; ++i) Sleep(100);
    SendMessageA(GetDlgItem(dialog, 536), BM_CLICK, 0, 0);
    for (i = 0; i < 100 && (viewer = FindWindowA("MS_WINHELP", NULL)) == NULL; ++i) Sleep(100);
    Sleep(1500);
    SetWindowPos(viewer, HWND_TOP, 40, 40, 640, 520, SWP_SHOWWINDOW);
    Sleep(1000);
    GetWindowRect(viewer, &r);
    printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return viewer == NULL;
}
DRIVER
"$cxx" -O1 -o "$work/help_driver.exe" "$work/help_driver.c"

for lang in en ja; do
    exe="$build/DARVEX.EXE"
    if [ "$lang" = ja ]; then export LC_ALL=ja_JP.UTF-8; exe="$build/ja/DARVEX.EXE"; else unset LC_ALL; fi
    . "$root/tools/wine-env.sh" "$build"
    wineserver -k 2>/dev/null || true
    . "$root/tools/wine-env.sh" "$build"
    "$WINELOADER" "$exe" "Z:${root//\//\\}\\samples\\PERN.EVT" &
    geometry=$("$WINELOADER" "$work/help_driver.exe" | tr -d '\r')
    import -display "$DISPLAY" -window root -crop "$geometry" +repage "$root/docs/help_event_detail_$lang.png"
    wineserver -k 2>/dev/null || true
    wait || true
done
bash "$root/tools/wine-stop.sh" "$build"
echo "help_screenshots: docs/help_event_detail_en.png and docs/help_event_detail_ja.png"
