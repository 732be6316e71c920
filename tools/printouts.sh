#!/bin/bash
# Printouts for the documentation, in English and in Japanese, on the bundled
# sample PERN.EVT: the list as File, Print prints it and one event as the
# Event Detail's Print button prints it:
#   tools/printouts.sh [BUILD_DIR]     (default build/win64)
# writes docs/printout_{list,event}_{en,ja}.png, the first page of each job.
# The jobs go to a real queue: a private CUPS server whose cups-pdf printer
# writes each job as a PDF (cups-pdf-server.sh, in BUILD_DIR/printouts/cups),
# which pdftoppm renders. DARVEX.EXE runs under Wine on an Xvfb display of its
# own (see wine-env.sh); a small driver built here prints as the user would.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
exe="$build/DARVEX.EXE"
[ -x "$exe" ] || { echo "printouts: $exe is missing; build it first" >&2; exit 1; }
for tool in pdftoppm convert; do
    command -v "$tool" >/dev/null || { echo "printouts: $tool is missing" >&2; exit 1; }
done

work="$build/printouts"
cups="$work/cups"
mkdir -p "$work" "$root/docs"

# The queue first: Wine's print spooler asks CUPS_SERVER when a process starts.
bash "$root/tools/cups-pdf-server.sh" start "$cups" >/dev/null
export CUPS_SERVER="$cups/cups.sock"
finish() {
    bash "$root/tools/cups-pdf-server.sh" stop "$cups" || true
    bash "$root/tools/wine-stop.sh" "$build" || true
}
trap finish EXIT

. "$root/tools/wine-env.sh" "$build"

# The printed title names the log's path: a short one on the prefix's drive C.
mkdir -p "$WINEPREFIX/drive_c/LOG"
cp "$root/samples/PERN.EVT" "$WINEPREFIX/drive_c/LOG/PERN.EVT"

# The driver has the program's architecture, so the same Wine runs both.
cxx=i686-w64-mingw32-g++
file "$exe" | grep -q x86-64 && cxx=x86_64-w64-mingw32-g++
cat > "$work/print_driver.cpp" <<'EOF'
// print_driver list | event ROW | close: in the running DARVEX, prints the
// list (File, Print, OK in the print dialog), or opens the Event Detail on
// ROW and prints it with its Print button, or closes the Event Detail and the
// program. Returns once the print dialog is gone; the job then runs.
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static DWORD g_pid;
static HWND g_except, g_found;

static BOOL CALLBACK Match(HWND w, LPARAM) {
    DWORD pid = 0;
    char cls[16] = "";
    GetWindowThreadProcessId(w, &pid);
    GetClassNameA(w, cls, sizeof cls);
    if (pid == g_pid && w != g_except && IsWindowVisible(w) && strcmp(cls, "#32770") == 0) {
        g_found = w;
        return FALSE;
    }
    return TRUE;
}

// A dialog of the program other than except, waited for up to 20 s.
static HWND Dialog(HWND except) {
    g_except = except;
    g_found = nullptr;
    for (int i = 0; i < 200 && !g_found; ++i) {
        EnumWindows(Match, 0);
        if (!g_found) Sleep(100);
    }
    return g_found;
}

static bool AnswerPrintDialog(HWND except) {
    HWND dialog = Dialog(except);
    if (!dialog || !GetDlgItem(dialog, IDOK)) return false;
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    for (int i = 0; i < 200 && IsWindow(dialog); ++i) Sleep(50);
    return !IsWindow(dialog);
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
    if (strcmp(argv[1], "list") == 0) {
        PostMessageA(main, WM_COMMAND, 104, 0);   // File, Print
        return AnswerPrintDialog(nullptr) ? 0 : 1;
    }
    if (strcmp(argv[1], "event") == 0 && argc > 2) {
        SendMessageA(GetDlgItem(main, 4095), LB_SETCURSEL, WPARAM(atoi(argv[2])), 0);
        PostMessageA(main, WM_COMMAND, 116, 0);   // View, Detail
        HWND detail = Dialog(nullptr);
        if (!detail) return 1;
        Sleep(500);
        PostMessageA(detail, WM_COMMAND, 537, 0);   // the Print button
        return AnswerPrintDialog(detail) ? 0 : 1;
    }
    if (strcmp(argv[1], "close") == 0) {
        if (HWND detail = Dialog(nullptr)) {
            PostMessageA(detail, WM_COMMAND, IDCANCEL, 0);
            for (int i = 0; i < 100 && IsWindow(detail); ++i) Sleep(50);
        }
        PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    return 2;
}
EOF
"$cxx" -O1 -static -o "$work/print_driver.exe" "$work/print_driver.cpp"

# The one PDF in the queue's folder that is not in the list $1, once whole.
new_pdf() {
    local before=$1 f
    for _ in $(seq 600); do
        for f in "$cups"/pdf/*.pdf; do
            [ -f "$f" ] || continue
            grep -qxF "$f" <<<"$before" && continue
            tail -c 32 "$f" | grep -q '%%EOF' && { echo "$f"; return 0; }
        done
        sleep 0.1
    done
    echo "printouts: no PDF came from the queue" >&2
    return 1
}

# print_page LOCALE OUT DRIVER ARGUMENTS: the driver prints, the queue writes the
# PDF, its first page becomes OUT, trimmed to the printed text and a margin.
print_page() {
    local locale=$1 out=$2
    shift 2
    local before pdf
    before=$(ls "$cups"/pdf/*.pdf 2>/dev/null || true)
    LC_ALL=$locale LANG=$locale "$WINELOADER" "$work/print_driver.exe" "$@" >/dev/null 2>&1 ||
        { echo "printouts: the driver could not print ($*)" >&2; return 1; }
    pdf=$(new_pdf "$before")
    pdftoppm -png -r 100 -f 1 -l 1 -singlefile "$pdf" "$work/page"
    convert "$work/page.png" -trim +repage -bordercolor white -border 24 -colorspace Gray -depth 4 "$out"
}

for lang in en ja; do
    locale=C.UTF-8
    # Rows with a five-line description and data without line-end bytes
    # (the dump's character column shows such a byte as it is, and the
    # view and the printout start a new line there).
    row=166      # 225 bytes of data
    if [ "$lang" = ja ]; then
        locale=ja_JP.UTF-8
        row=165  # a Japanese description, 192 bytes of data
    fi
    LC_ALL=$locale LANG=$locale "$WINELOADER" "$exe" 'C:\LOG\PERN.EVT' >/dev/null 2>&1 &
    pid=$!
    print_page "$locale" "$root/docs/printout_list_$lang.png" list
    print_page "$locale" "$root/docs/printout_event_$lang.png" event "$row"
    LC_ALL=$locale LANG=$locale "$WINELOADER" "$work/print_driver.exe" close >/dev/null 2>&1 || true
    for _ in $(seq 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
done
ls -l "$root"/docs/printout_{list,event}_{en,ja}.png | awk '{print "printouts:", $5, $NF}'
