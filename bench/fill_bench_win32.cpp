// darvex_fill_bench: DARVEX.EXE started with a ten-million-event log on its
// command line, timed from CreateProcess until its list holds every row, next
// to what the same steps cost in a process of their own: one ReadFile of the
// file, and the core's load with the program's own opener followed by the
// order and rows the program builds after it. Also takes the program's peak
// memory once the list is full, times the start-up with no log, and tries the
// list's scroll bar. Built for i686 it times the 32-bit release build.
//
//   darvex_fill_bench [--reps N] DARVEX.EXE [LOG]
//   darvex_fill_bench --child read|load LOG     (one figure, for the parent)
//
// A path starting with '/' is a host path and is taken as Wine's drive Z:.
// LOG defaults to $DARVEX_BENCH_LOG, else /tmp/darvex_bench_1g.evt; it is
// generated with BenchGenOptions() when missing. Figures are the median of
// the repetitions with the minimum beside it.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/ui_effects.h"
#include "bench/bench_win32.h"
#include "app/viewer_state.h"
#include "dialogs/event_detail.h"
#include "eventlist/filter.h"
#include "eventlist/ordering.h"
#include "logfile/loader.h"
#include "logfile/loader_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/remote_window_win32.h"
#include "tools/log_writer.h"

namespace {


struct CoreFigures {
    double load;     // LoadLog with the program's opener
    double arrange;  // the order and rows the program builds after a load
    uint32_t events;
    uint32_t rows;
    uint32_t bigRow;      // the first row whose data is dumped to the 65,535-byte cap
    double bigDetail;     // the texts Event Detail builds for it: description and Byte dump
    double firstDetail;   // the same for row 0, where Next over the end lands
    double filter;        // Information hidden: 1124's conditions, ApplyFilter and rows
    uint32_t filteredRows;
};

// The description and the Byte dump, the texts the Event Detail dialog sets.
double TimeDetailTexts(const EventEntry& e) {
    static char description[kShownDescriptionSize];
    static char dump[kWorkBufferSize];
    const double start = NowMs();
    CopyShownDescription(e.record, SingleByteCodePage(), description);
    FormatEventDump(e.record, kDumpByte, SingleByteCodePage(), dump);
    return NowMs() - start;
}

// What the program does behind Event Detail, Next over the end and Filter OK.
void TimeCoreDialogWork(ViewerState* state, CoreFigures* out) {
    EventTable& t = state->table;
    out->bigRow = 0;
    for (uint32_t r = 0; r < t.visibleCount; ++r) {
        if (RecordDataLength(t.visibleRows[r]->record) >= uint32_t(kMaxDumpBytes)) {
            out->bigRow = r;
            break;
        }
    }
    out->bigDetail = TimeDetailTexts(*t.visibleRows[out->bigRow]);
    out->firstDetail = TimeDetailTexts(*t.visibleRows[0]);
    UiEffects fx;
    ClearEffects(&fx);
    const double start = NowMs();
    state->conditions.informationType = 0;
    ApplyFilterCommand(state, &fx);
    out->filter = NowMs() - start;
    out->filteredRows = t.visibleCount;
}

// What the program's reload runs before it sets the list's count.
bool TimeCoreLoad(ViewerState* state, const char* path, CoreFigures* out) {
    ReleaseViewerState(state);
    InitViewerState(state);
    snprintf(state->file.path, sizeof state->file.path, "%s", path);
    CharUpperA(state->file.path);
    UiEffects fx;
    ClearEffects(&fx);
    double start = NowMs();
    const int result = LoadLog(state, Win32LogOpener(), &fx);
    out->load = NowMs() - start;
    if (result != 0) {
        fprintf(stderr, "darvex_fill_bench: LoadLog returned %d\n", result);
        return false;
    }
    ClearEffects(&fx);
    start = NowMs();
    state->sortOrder = 0;
    RequestOrder(state, RestoredOrder(0), 1, &fx);
    BuildVisibleRows(&state->table);
    out->arrange = NowMs() - start;
    out->events = state->table.loadedCount;
    out->rows = state->table.visibleCount;
    return true;
}

// Each of the in-process figures is taken in a fresh process, as the program
// gets one: a process that has just freed a gigabyte or two pays more for new
// memory under Wine than a new one does, and by varying amounts.
int RunChild(const char* what, const char* path) {
    const uint64_t size = FileSize(path);
    if (strcmp(what, "read") == 0) {
        const double ms = TimePlainRead(path, size);
        printf("%.3f\n", ms);
        return ms < 0 ? 1 : 0;
    }
    ViewerState* state = static_cast<ViewerState*>(calloc(1, sizeof(ViewerState)));
    InitViewerState(state);
    CoreFigures core = {};
    if (!TimeCoreLoad(state, path, &core)) return 1;
    TimeCoreDialogWork(state, &core);
    printf("%.3f %.3f %u %u %u %.3f %.3f %.3f %u\n", core.load, core.arrange, core.events, core.rows, core.bigRow,
           core.bigDetail, core.firstDetail, core.filter, core.filteredRows);
    return 0;
}

// Runs this program again as a child and returns what it printed.
bool RunSelf(const char* what, const char* log, char* output, DWORD size) {
    char self[MAX_PATH];
    if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0) return false;
    char line[3 * MAX_PATH];
    snprintf(line, sizeof line, "\"%s\" --child %s \"%s\"", self, what, log);
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return false;
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    const BOOL started = CreateProcessA(nullptr, line, nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(writeEnd);
    DWORD have = 0;
    if (started) {
        DWORD got = 0;
        while (have + 1 < size && ReadFile(readEnd, output + have, size - 1 - have, &got, nullptr) && got > 0) {
            have += got;
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    output[have] = '\0';
    CloseHandle(readEnd);
    return started && have > 0;
}

struct FillFigures {
    double window;      // CreateProcess to the visible main window
    double full;        // CreateProcess to LB_GETCOUNT == every event
    double close;       // WM_CLOSE to the process's end
    double peakMiB;     // the program's peak working set, the list full
    double privateMiB;  // its private memory then
    bool statusOk;
};

// The program's machine and whether it may use more than 2 GiB of address
// space, from its PE header.
bool ReadImageKind(const char* exe, WORD* machine, bool* largeAddressAware) {
    HANDLE file = CreateFileA(exe, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    uint8_t head[4096];
    DWORD got = 0;
    const BOOL ok = ReadFile(file, head, sizeof head, &got, nullptr);
    CloseHandle(file);
    IMAGE_DOS_HEADER dos;
    if (!ok || got < sizeof dos) return false;
    memcpy(&dos, head, sizeof dos);
    IMAGE_FILE_HEADER header;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew < 0 || DWORD(dos.e_lfanew) + 4 + sizeof header > got) {
        return false;
    }
    memcpy(&header, head + dos.e_lfanew + 4, sizeof header);
    *machine = header.Machine;
    *largeAddressAware = (header.Characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE) != 0;
    return true;
}

void ProbeScrollBar(HWND main, HWND list, uint32_t events);

// ---------------------------------------------------------------------------
// The dialogs of the full list, driven from here as a user would.

struct DialogFigures {
    double detail;   // command 116 on the row with 65,535 data bytes to its filled data view
    double next;     // OK on the question at the list's end to the first row shown
    double filter;   // OK in the Filter dialog (Information off) to the list refilled
};

bool WaitForSelection(HWND list, LRESULT row) {
    const DWORD start = GetTickCount();
    while (SendMessageA(list, LB_GETCURSEL, 0, 0) != row) {
        if (GetTickCount() - start > kBenchTimeoutMs) return false;
        Sleep(1);
    }
    return true;
}

bool TimeDialogs(DWORD processId, HWND main, HWND list, const CoreFigures& core, DialogFigures* out) {
    // Event Detail on the row whose data is dumped to the cap.
    SendMessageA(list, LB_SETCURSEL, core.bigRow, 0);
    double start = NowMs();
    PostMessageA(main, WM_COMMAND, IDM_VIEW_DETAIL, 0);
    HWND detail = WaitForDialog(processId, "Event Detail", kBenchTimeoutMs);
    if (detail == nullptr || !WaitIdle(detail)) return false;
    out->detail = NowMs() - start;

    // Next from the last row: the question, then OK and the first row.
    SendMessageA(list, LB_SETCURSEL, core.rows - 1, 0);
    PostMessageA(GetDlgItem(detail, IDC_DETAIL_NEXT), BM_CLICK, 0, 0);
    HWND question = WaitForDialog(processId, "Confirmation message", kBenchTimeoutMs);
    if (question == nullptr) return false;
    start = NowMs();
    PostMessageA(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    if (!WaitForSelection(list, 0) || !WaitIdle(detail)) return false;
    out->next = NowMs() - start;
    PostMessageA(GetDlgItem(detail, IDCANCEL), BM_CLICK, 0, 0);
    while (IsWindow(detail)) Sleep(1);

    // Filter: Information off, OK, every remaining row listed.
    PostMessageA(main, WM_COMMAND, IDM_VIEW_FILTER, 0);
    HWND filter = WaitForDialog(processId, "Filter", kBenchTimeoutMs);
    if (filter == nullptr) return false;
    SendMessageA(GetDlgItem(filter, IDC_FILTER_INFORMATION), BM_CLICK, 0, 0);
    start = NowMs();
    PostMessageA(GetDlgItem(filter, IDC_FILTER_OK), BM_CLICK, 0, 0);
    DWORD_PTR count = 0;
    const DWORD waitStart = GetTickCount();
    do {
        SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kBenchTimeoutMs, &count);
        if (count == core.filteredRows) break;
        Sleep(1);
    } while (GetTickCount() - waitStart < kBenchTimeoutMs);
    out->filter = NowMs() - start;
    return count == core.filteredRows;
}

// The list answers LB_GETCOUNT only between messages, so while the reload
// runs the query waits and comes back as soon as the list is filled.
bool TimeProgramFill(const char* exe, const char* log, const CoreFigures& core, FillFigures* out,
                     DialogFigures* dialogs, bool probeScroll) {
    const uint32_t events = core.events;
    Program p;
    const double start = NowMs();
    if (!StartProgram(exe, log, &p)) {
        fprintf(stderr, "darvex_fill_bench: cannot start %s (%lu)\n", exe, GetLastError());
        return false;
    }
    HWND main = WaitForProcessWindow(p.pi.dwProcessId, "DARVEX", 30000, 1);
    out->window = NowMs() - start;
    HWND list = main != nullptr ? GetDlgItem(main, IDC_EVENT_LIST) : nullptr;
    if (list == nullptr) {
        fprintf(stderr, "darvex_fill_bench: no main window or list\n");
        CloseProgram(&p, main);
        return false;
    }
    DWORD_PTR count = 0;
    const DWORD waitStart = GetTickCount();
    for (;;) {
        count = 0;
        SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kBenchTimeoutMs, &count);
        if (count == events) break;
        if (GetTickCount() - waitStart > kBenchTimeoutMs) break;
        Sleep(1);
    }
    out->full = NowMs() - start;
    char expected[64], status[512];
    snprintf(expected, sizeof expected, "Total number of Event%u", events);
    RemoteStatusText(p.pi.hProcess, GetDlgItem(main, IDC_STATUS_BAR), 0, status, sizeof status);
    out->statusOk = strcmp(status, expected) == 0;
    if (count != events || !out->statusOk) {
        fprintf(stderr, "darvex_fill_bench: the list holds %lu rows, status part 0 \"%s\"\n", (unsigned long)count,
                status);
    }
    ReadProgramMemory(p.pi.hProcess, &out->peakMiB, &out->privateMiB);
    if (probeScroll && count == events) ProbeScrollBar(main, list, events);
    const bool dialogsOk = count == events && TimeDialogs(p.pi.dwProcessId, main, list, core, dialogs);
    if (!dialogsOk) fprintf(stderr, "darvex_fill_bench: the dialogs did not answer as expected\n");
    out->close = CloseProgram(&p, main);
    return count == events && out->statusOk && dialogsOk;
}

double TimeStartup(const char* exe, double* idle) {
    Program p;
    const double start = NowMs();
    if (!StartProgram(exe, nullptr, &p)) return -1;
    HWND main = WaitForProcessWindow(p.pi.dwProcessId, "DARVEX", 30000, 1);
    const double ms = NowMs() - start;
    *idle = WaitForInputIdle(p.pi.hProcess, 30000) == 0 ? NowMs() - start : -1;
    CloseProgram(&p, main);
    return main != nullptr ? ms : -1;
}

// ---------------------------------------------------------------------------
// The scroll bar of the full list: what another process can read of it, and
// a drag of its thumb with the mouse.

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result);
    return LRESULT(result);
}

void DragThumb(HWND list, int x, int fromY, int toY) {
    SetCursorPos(x, fromY);
    Sleep(100);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Sleep(100);
    const int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        SetCursorPos(x, fromY + (toY - fromY) * i / steps);
        mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
        Sleep(30);
    }
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Sleep(200);
    SendTo(list, WM_NULL, 0, 0);
}

void ProbeScrollBar(HWND main, HWND list, uint32_t events) {
    printf("\nScroll bar of the %u-row list\n", events);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (GetScrollInfo(list, SB_VERT, &info)) {
        printf("  GetScrollInfo from this process: min %d, max %d, page %u, pos %d\n", info.nMin, info.nMax,
               info.nPage, info.nPos);
    } else {
        printf("  GetScrollInfo from this process: failed (%lu)\n", GetLastError());
    }
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    const bool haveBar = GetScrollBarInfo(list, OBJID_VSCROLL, &bar) != 0;
    if (haveBar) {
        printf("  GetScrollBarInfo: bar %ld..%ld, thumb %d..%d (pixels from the bar's top)\n", bar.rcScrollBar.top,
               bar.rcScrollBar.bottom, bar.xyThumbTop, bar.xyThumbBottom);
    } else {
        printf("  GetScrollBarInfo from this process: failed (%lu)\n", GetLastError());
    }

    SendTo(list, WM_VSCROLL, SB_BOTTOM, 0);
    const LRESULT bottomTop = SendTo(list, LB_GETTOPINDEX, 0, 0);
    SendTo(list, WM_VSCROLL, SB_TOP, 0);
    const LRESULT topTop = SendTo(list, LB_GETTOPINDEX, 0, 0);
    printf("  WM_VSCROLL SB_BOTTOM: top row %ld of %u; SB_TOP: top row %ld\n", long(bottomTop), events,
           long(topTop));

    // A drag of the thumb from the top to the middle of the bar, with the mouse.
    SetForegroundWindow(main);
    RECT r;
    GetWindowRect(list, &r);
    const int arrow = GetSystemMetrics(SM_CYVSCROLL);
    const int x = r.right - 1 - GetSystemMetrics(SM_CXVSCROLL) / 2;
    int thumbY = r.top + 1 + arrow + 4;
    int trackTop = r.top + 1 + arrow, trackBottom = r.bottom - 1 - arrow;
    if (haveBar) {
        thumbY = bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2;
        trackTop = bar.rcScrollBar.top + bar.dxyLineButton;
        trackBottom = bar.rcScrollBar.bottom - bar.dxyLineButton;
    }
    const int middle = (trackTop + trackBottom) / 2;
    DragThumb(list, x, thumbY, middle);
    const LRESULT dragged = SendTo(list, LB_GETTOPINDEX, 0, 0);
    printf("  mouse drag of the thumb from y %d to y %d (track %d..%d): top row %ld = %.1f%% of the rows\n", thumbY,
           middle, trackTop, trackBottom, long(dragged), 100.0 * double(dragged) / events);
    DragThumb(list, x, middle, trackBottom + 20);
    const LRESULT draggedEnd = SendTo(list, LB_GETTOPINDEX, 0, 0);
    printf("  drag on past the end of the track: top row %ld of %u\n", long(draggedEnd), events);
    fflush(stdout);
}

void PrintRow(const char* what, Timing t, const char* note) {
    printf("| %s | %.0f ms (%.0f) | %s |\n", what, t.median, t.minimum, note);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "--child") == 0) return RunChild(argv[2], argv[3]);

    BenchArguments args;
    if (int status = ParseBenchArguments(argc, argv, "darvex_fill_bench", 5, &args)) return status;
    const int reps = args.reps;
    const char* exe = args.exe;
    const char* log = args.log;
    const uint64_t fileSize = FileSize(log);
    WORD machine = 0;
    bool largeAddressAware = false;
    if (!ReadImageKind(exe, &machine, &largeAddressAware)) {
        fprintf(stderr, "darvex_fill_bench: %s is no Windows program\n", exe);
        return 1;
    }
    const char* kind = machine == IMAGE_FILE_MACHINE_I386    ? "32-bit (i386)"
                       : machine == IMAGE_FILE_MACHINE_AMD64 ? "64-bit (x86-64)"
                                                             : "of another machine";
    printf("Program %s, %s%s\nLog %s, %llu bytes; %d repetitions, median (min) in ms\n", exe, kind,
           largeAddressAware ? ", large-address-aware" : "", log, (unsigned long long)fileSize, reps);
    fflush(stdout);
    // Warm the page cache: every side then copies from it.
    if (TimePlainRead(log, fileSize) < 0) {
        fprintf(stderr, "darvex_fill_bench: cannot read %s\n", log);
        return 1;
    }

    std::vector<double> startWindow, startIdle;
    for (int i = 0; i < reps; ++i) {
        double idle = -1;
        const double ms = TimeStartup(exe, &idle);
        if (ms < 0) {
            fprintf(stderr, "darvex_fill_bench: DARVEX.EXE showed no main window\n");
            return 1;
        }
        startWindow.push_back(ms);
        if (idle >= 0) startIdle.push_back(idle);
        printf("  start-up, no log: main window %.0f ms, input idle %.0f ms\n", ms, idle);
        fflush(stdout);
    }

    std::vector<double> reads, loads, arranges, cores, windows, fulls, afterWindow, closes, peaks, privates;
    std::vector<double> coreDetails, coreFirsts, coreFilters, details, nexts, filters;
    uint32_t events = 0, rows = 0;
    bool allFilled = true;
    for (int i = 0; i < reps; ++i) {
        char output[256];
        double read = -1;
        CoreFigures core = {};
        if (!RunSelf("read", log, output, sizeof output) || sscanf(output, "%lf", &read) != 1 || read < 0 ||
            !RunSelf("load", log, output, sizeof output) ||
            sscanf(output, "%lf %lf %u %u %u %lf %lf %lf %u", &core.load, &core.arrange, &core.events, &core.rows,
                   &core.bigRow, &core.bigDetail, &core.firstDetail, &core.filter, &core.filteredRows) != 9) {
            fprintf(stderr, "darvex_fill_bench: the read or the load failed in the child\n");
            return 1;
        }
        events = core.events;
        rows = core.rows;
        FillFigures fill = {};
        DialogFigures dialog = {};
        const bool filled = TimeProgramFill(exe, log, core, &fill, &dialog, i == reps - 1);
        allFilled = allFilled && filled;
        reads.push_back(read);
        loads.push_back(core.load);
        arranges.push_back(core.arrange);
        cores.push_back(core.load + core.arrange);
        windows.push_back(fill.window);
        fulls.push_back(fill.full);
        afterWindow.push_back(fill.full - fill.window);
        if (fill.close >= 0) closes.push_back(fill.close);
        if (fill.peakMiB >= 0) peaks.push_back(fill.peakMiB);
        if (fill.privateMiB >= 0) privates.push_back(fill.privateMiB);
        coreDetails.push_back(core.bigDetail);
        coreFirsts.push_back(core.firstDetail);
        coreFilters.push_back(core.filter);
        details.push_back(dialog.detail);
        nexts.push_back(dialog.next);
        filters.push_back(dialog.filter);
        printf("  run %d: ReadFile %.0f | LoadLog %.0f + order and rows %.0f | DARVEX.EXE window %.0f, "
               "all %u rows %.0f (%s), peak working set %.0f MiB, private %.0f MiB, close %.0f\n",
               i + 1, read, core.load, core.arrange, fill.window, events, fill.full, filled ? "ok" : "NOT FILLED",
               fill.peakMiB, fill.privateMiB, fill.close);
        printf("          Detail %.0f (core %.3f) | Next over the end %.0f (core %.3f) | Filter OK %.0f (core %.0f, "
               "%u rows)\n",
               dialog.detail, core.bigDetail, dialog.next, core.firstDetail, dialog.filter, core.filter,
               core.filteredRows);
        fflush(stdout);
    }

    const Timing read = Summarise(reads), load = Summarise(loads), arrange = Summarise(arranges);
    const Timing core = Summarise(cores), window = Summarise(windows), full = Summarise(fulls);
    const Timing after = Summarise(afterWindow), close = Summarise(closes);
    const Timing start = Summarise(startWindow), idle = Summarise(startIdle);
    const Timing peak = Summarise(peaks), privateMemory = Summarise(privates);
    char note[160];
    printf("\n%u events, %u rows, %llu bytes\n\n", events, rows, (unsigned long long)fileSize);
    printf("| What | Median (min) | Note |\n|---|---:|---|\n");
    PrintRow("DARVEX.EXE, no log: CreateProcess to main window", start, "");
    PrintRow("DARVEX.EXE, no log: CreateProcess to input idle", idle, "");
    PrintRow("one ReadFile of the log (CreateFileA + malloc)", read, "");
    snprintf(note, sizeof note, "%.2fx the read", load.median / read.median);
    PrintRow("LoadLog, Win32 opener", load, note);
    PrintRow("order 112 and visible rows after it", arrange, "what the reload runs next");
    snprintf(note, sizeof note, "%.2fx the read", core.median / read.median);
    PrintRow("the core's part of the reload (sum)", core, note);
    PrintRow("DARVEX.EXE with the log: CreateProcess to main window", window, "");
    snprintf(note, sizeof note, "%.2fx the core's load, %.2fx load + order and rows, %.2fx the read",
             full.median / load.median, full.median / core.median, full.median / read.median);
    PrintRow("DARVEX.EXE with the log: CreateProcess to every row listed", full, note);
    snprintf(note, sizeof note, "%.2fx the core's part", after.median / core.median);
    PrintRow("  of which after the main window showed", after, note);
    PrintRow("DARVEX.EXE: WM_CLOSE to the end of the process", close, "");
    printf("| DARVEX.EXE with every row listed: peak working set | %.0f MiB (%.0f) | %.1f bytes per event "
           "beyond the log's size |\n",
           peak.median, peak.minimum, (peak.median * kMiB - double(fileSize)) / events);
    printf("| DARVEX.EXE with every row listed: private memory | %.0f MiB (%.0f) | |\n", privateMemory.median,
           privateMemory.minimum);
    snprintf(note, sizeof note, "the core's description and Byte dump: %.3f ms", Summarise(coreDetails).median);
    PrintRow("Event Detail on an event with 65,535 data bytes: command to its filled view", Summarise(details), note);
    snprintf(note, sizeof note, "the core's texts of row 0: %.3f ms", Summarise(coreFirsts).median);
    PrintRow("Event Detail, Next over the list's end: OK to row 0 shown", Summarise(nexts), note);
    snprintf(note, sizeof note, "the core's filter and rows: %.0f ms", Summarise(coreFilters).median);
    PrintRow("Filter OK, Information hidden: OK to every remaining row listed", Summarise(filters), note);
    printf("\nThe list is filled in %.2fx the core's load (bar 1.2x): %s\n", full.median / load.median,
           full.median <= 1.2 * load.median ? "within" : "not within");
    return allFilled ? 0 : 3;
}
