// darvex_live_bench: the live-log and copy commands of DARVEX.EXE on the
// ten-million-event 1 GiB log, driven from another process as a user would.
//   - Save As of the loaded log: OK in the file dialog to the written copy,
//     and the program's peak memory around it, next to one CopyFileA of the
//     same file in this process;
//   - Log Settings, and Clear All Events with the copy asked for first, on the
//     log as a live PERN.EVT while EVTWRITER.EXE appends a record every
//     millisecond: OK on the last question or in the dialog to the program
//     idle again with its list (reloaded, for the clear).
//
//   darvex_live_bench [--reps N] DARVEX.EXE [LOG]
//
// LOG defaults to $DARVEX_BENCH_LOG, else /tmp/darvex_bench_1g.evt (made with
// BenchGenOptions() when missing); the live copies go to a folder beside it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "bench/bench_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/remote_window_win32.h"
#include "tests/win32/writer_process_win32.h"
#include "tools/log_writer.h"

namespace {

const char kQuestionCaption[] = "Confirmation message";

double OwnPeakMiB() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return double(counters.PeakWorkingSetSize) / kMiB;
}

// A u32 of the file's header: 40 recordCount, 36 recordAreaEnd.
uint32_t HeaderField(const char* path, uint32_t offset) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    uint8_t header[88] = {};
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, header, sizeof header, &got, nullptr);
        CloseHandle(file);
    }
    return got == sizeof header ? GetU32(header + offset) : 0;
}

LRESULT ListCount(HWND list) {
    DWORD_PTR count = 0;
    SendMessageTimeoutA(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, kBenchTimeoutMs, &count);
    return LRESULT(count);
}

// DARVEX.EXE with a log, once every row is listed.
struct Viewer {
    Program program = {};
    HWND main = nullptr, list = nullptr;
    bool Start(const char* exe, const char* log, uint32_t rows) {
        if (!StartProgram(exe, log, &program)) return false;
        main = WaitForProcessWindow(program.pi.dwProcessId, "DARVEX", 30000, 1);
        list = main != nullptr ? GetDlgItem(main, IDC_EVENT_LIST) : nullptr;
        const DWORD start = GetTickCount();
        while (list != nullptr && ListCount(list) != LRESULT(rows)) {
            if (GetTickCount() - start > kBenchTimeoutMs) return false;
            Sleep(5);
        }
        return list != nullptr;
    }
    ~Viewer() { CloseProgram(&program, main); }
    HWND Dialog(const char* title) const { return WaitForDialog(program.pi.dwProcessId, title, 30000); }
    // Types the path into the Save As dialog that is up; the dialog, or null.
    HWND NameCopy(const char* path) const {
        HWND dialog = Dialog("Save As");
        if (dialog == nullptr) return nullptr;
        HWND name = GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480);
        SendMessageA(name, WM_SETTEXT, 0, LPARAM(path));
        return dialog;
    }
    // Posts a command and answers the question box it asks.
    bool Ask(UINT command, int answer) const {
        PostMessageA(main, WM_COMMAND, command, 0);
        HWND box = Dialog(kQuestionCaption);
        if (box == nullptr) return false;
        PostMessageA(GetDlgItem(box, answer), BM_CLICK, 0, 0);
        while (IsWindow(box)) Sleep(1);   // the next question has the same caption
        return true;
    }
};

// Writes the file's dirty pages to the disk, so that the next timed write
// does not pay for the writeback of the one before.
void SyncFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    FlushFileBuffers(file);
    CloseHandle(file);
}

bool CopyLog(const char* from, const char* to, double* ms) {
    DeleteFileA(to);
    const double start = NowMs();
    const BOOL ok = CopyFileA(from, to, TRUE);
    *ms = NowMs() - start;
    SyncFile(to);
    return ok != 0;
}

// Save As from the loaded log: OK in the file dialog to the copy written.
bool TimeSaveAs(const Viewer& v, const char* copy, uint64_t expectedSize, double* ms, double* peakBefore,
                double* peakAfter) {
    double unused = 0;
    ReadProgramMemory(v.program.pi.hProcess, peakBefore, &unused);
    DeleteFileA(copy);
    PostMessageA(v.main, WM_COMMAND, IDM_FILE_SAVE_AS, 0);
    HWND dialog = v.NameCopy(copy);
    if (dialog == nullptr) return false;
    const double start = NowMs();
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    while (IsWindow(dialog)) Sleep(1);
    if (!WaitIdle(v.main)) return false;
    *ms = NowMs() - start;
    ReadProgramMemory(v.program.pi.hProcess, peakAfter, &unused);
    SyncFile(copy);
    return FileSize(copy) == expectedSize;
}

// Log Settings to the largest size: OK in the dialog to the program idle
// again; the writer must see the size at once.
bool TimeLogSettings(const Viewer& v, WriterProcess* writer, double* ms) {
    if (!v.Ask(IDM_FILE_LOG_SETTINGS, IDNO)) return false;
    HWND question = v.Dialog(kQuestionCaption);
    if (question == nullptr) return false;
    PostMessageA(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    HWND dialog = v.Dialog("Log Settings");
    if (dialog == nullptr) return false;
    SendMessageA(GetDlgItem(dialog, IDC_LOGSET_SIZE), WM_SETTEXT, 0, LPARAM("1048576"));
    const double start = NowMs();
    PostMessageA(GetDlgItem(dialog, IDC_LOGSET_OK), BM_CLICK, 0, 0);
    while (IsWindow(dialog)) Sleep(1);
    if (!WaitIdle(v.main)) return false;
    *ms = NowMs() - start;
    return AnswerValue(writer->Command("header"), "max") == 1073741824u;
}

// Clear with the copy asked for first (Yes, a name in the file dialog): OK on
// the last question to the reloaded list, which holds what the writer
// appended since. Under the component's mutex the whole live file is written
// again to the copy before the chain is emptied.
bool TimeClear(const Viewer& v, WriterProcess* writer, const char* copy, double* ms, LRESULT* rows) {
    DeleteFileA(copy);
    if (!v.Ask(IDM_FILE_CLEAR_ALL, IDYES)) return false;
    HWND dialog = v.NameCopy(copy);
    if (dialog == nullptr) return false;
    PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    HWND question = v.Dialog(kQuestionCaption);
    if (question == nullptr) return false;
    const double start = NowMs();
    PostMessageA(GetDlgItem(question, IDOK), BM_CLICK, 0, 0);
    while (IsWindow(question)) Sleep(1);
    if (!WaitIdle(v.main)) return false;
    *ms = NowMs() - start;
    *rows = ListCount(v.list);
    const uint32_t count = AnswerValue(writer->Command("header"), "count");
    return *rows < 100000 && count < 100000 && HeaderField(copy, 40) > 100000;
}

void PrintRow(const char* what, const std::vector<double>& samples, const char* note) {
    const Timing t = Summarise(samples);
    printf("| %s | %.0f ms (%.0f) | %s |\n", what, t.median, t.minimum, note);
}

}  // namespace

int main(int argc, char** argv) {
    BenchArguments args;
    if (int status = ParseBenchArguments(argc, argv, "darvex_live_bench", 3, &args)) return status;
    const int reps = args.reps;
    const char* exe = args.exe;
    const char* log = args.log;
    const std::string folder = std::string(log) + ".live";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string live = folder + "\\PERN.EVT", copy = folder + "\\COPY.EVT";
    const uint64_t size = FileSize(log);
    const uint32_t events = HeaderField(log, 40);
    const uint64_t copySize = HeaderField(log, 36);   // the header and the record area: recordAreaEnd bytes
    printf("Log %s, %llu bytes, %u events; %d repetitions, median (min) in ms\n", log, (unsigned long long)size,
           events, reps);
    fflush(stdout);

    std::vector<double> copies, saves, settings, clears, reads;
    double ownPeakBefore = OwnPeakMiB(), ownPeakAfter = 0, programPeakBefore = 0, programPeakAfter = 0;
    LRESULT rowsAfterClear = -1;
    uint32_t appended = 0;   // the writer's count when it stopped: its appends since the clear
    bool ok = true;
    for (int i = 0; i < reps && ok; ++i) {
        double liveCopyMs = 0, readMs = 0, copyMs = 0, saveMs = 0, settingsMs = 0, clearMs = 0;
        const char* step = "the copy";
        auto next = [&](const char* name, bool done) {
            if (ok && !done) fprintf(stderr, "darvex_live_bench: run %d: %s did not go as expected\n", i + 1, step);
            ok = ok && done;
            step = name;
        };
        next("the program's start", CopyLog(log, live.c_str(), &liveCopyMs));
        Viewer viewer;
        next("Save As", ok && viewer.Start(exe, live.c_str(), events));
        next("CopyFileA",
             ok && TimeSaveAs(viewer, copy.c_str(), copySize, &saveMs, &programPeakBefore, &programPeakAfter));
        DeleteFileA(copy.c_str());
        // The baseline in the same state: the log in the page cache, nothing waiting to be written.
        next("the writer's start", ok && CopyLog(live.c_str(), copy.c_str(), &copyMs));
        if (i == 0) ownPeakAfter = OwnPeakMiB();   // before the first plain read takes a gigabyte
        DeleteFileA(copy.c_str());
        WriterProcess writer;
        next("Log Settings", ok && writer.Start("pern", live) != "" && writer.Command("run 1") == "running");
        next("Clear", ok && TimeLogSettings(viewer, &writer, &settingsMs));
        next("", ok && TimeClear(viewer, &writer, copy.c_str(), &clearMs, &rowsAfterClear));
        SyncFile(copy.c_str());
        DeleteFileA(copy.c_str());
        appended = AnswerValue(writer.Command("stop"), "count");
        // What the clear's reload costs once the writer has appended: one read of the whole file.
        readMs = TimePlainRead(live.c_str(), size);
        if (!ok) break;
        copies.push_back(copyMs);
        saves.push_back(saveMs);
        settings.push_back(settingsMs);
        clears.push_back(clearMs);
        reads.push_back(readMs);
        printf("  run %d: CopyFileA %.0f | Save As %.0f (peak %.0f -> %.0f MiB) | Log Settings %.0f | Clear %.0f "
               "(%ld rows after; %u events when the writer stopped) | one ReadFile %.0f\n",
               i + 1, copyMs, saveMs, programPeakBefore, programPeakAfter, settingsMs, clearMs, long(rowsAfterClear),
               appended, readMs);
        fflush(stdout);
    }
    DeleteFileA(live.c_str());
    RemoveDirectoryA(folder.c_str());
    if (!ok) return 3;

    char note[160];
    printf("\n| What | Median (min) | Note |\n|---|---:|---|\n");
    snprintf(note, sizeof note, "this process's peak working set %.0f -> %.0f MiB", ownPeakBefore, ownPeakAfter);
    PrintRow("one CopyFileA of the 1 GiB log", copies, note);
    snprintf(note, sizeof note, "%.2fx CopyFileA; DARVEX.EXE's peak working set %.0f MiB before, %.0f MiB after",
             Summarise(saves).median / Summarise(copies).median, programPeakBefore, programPeakAfter);
    PrintRow("Save As: OK in the file dialog to the copy written", saves, note);
    PrintRow("Log Settings, EVTWRITER appending every ms: OK to the program idle", settings,
             "the writer reads the new size at once");
    PrintRow("Clear All Events with the copy first, EVTWRITER appending every ms: OK to the reloaded list", clears,
             "the live file copied whole under the component's mutex, then the chain emptied and reloaded");
    PrintRow("one ReadFile of the 1 GiB log (CreateFileA + malloc)", reads, "what any reload of the area costs");
    return 0;
}
