#include "bench/bench_win32.h"

#include "tools/log_writer.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct DialogSearch {
    DWORD processId;
    const char* title;
    HWND found;
};

// A named CALLBACK function, since a lambda has the default calling
// convention, which on i686 is not EnumWindows' stdcall.
BOOL CALLBACK MatchDialog(HWND window, LPARAM context) {
    DialogSearch* s = reinterpret_cast<DialogSearch*>(context);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[16] = "", text[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    GetWindowTextA(window, text, sizeof text);
    if (pid == s->processId && IsWindowVisible(window) && strcmp(cls, "#32770") == 0 &&
        strcmp(text, s->title) == 0) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

double NowMs() {
    static double ticksPerMs;
    if (ticksPerMs == 0) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        ticksPerMs = double(frequency.QuadPart) / 1000.0;
    }
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / ticksPerMs;
}

Timing Summarise(std::vector<double> samples) {
    if (samples.empty()) return Timing{-1, -1};
    std::sort(samples.begin(), samples.end());
    return Timing{samples[samples.size() / 2], samples[0]};
}

// Host paths become drive Z: paths with backslashes.
void ToWindowsPath(const char* in, char out[MAX_PATH]) {
    snprintf(out, MAX_PATH, "%s%s", in[0] == '/' ? "Z:" : "", in);
    for (char* p = out; *p; ++p) {
        if (*p == '/') *p = '\\';
    }
}

uint64_t FileSize(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return 0;
    return (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool StartProgram(const char* exe, const char* log, Program* p) {
    char line[2 * MAX_PATH + 8];
    if (log != nullptr) {
        snprintf(line, sizeof line, "\"%s\" \"%s\"", exe, log);
    } else {
        snprintf(line, sizeof line, "\"%s\"", exe);
    }
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    ZeroMemory(&p->pi, sizeof p->pi);
    p->started = CreateProcessA(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p->pi) != 0;
    return p->started;
}

double CloseProgram(Program* p, HWND main) {
    if (!p->started) return -1;
    const double start = NowMs();
    if (main != nullptr) PostMessageA(main, WM_CLOSE, 0, 0);
    double ms = -1;
    if (WaitForSingleObject(p->pi.hProcess, 60000) == WAIT_OBJECT_0) {
        ms = NowMs() - start;
    } else {
        TerminateProcess(p->pi.hProcess, 1);
        WaitForSingleObject(p->pi.hProcess, 10000);
    }
    CloseHandle(p->pi.hThread);
    CloseHandle(p->pi.hProcess);
    p->started = false;
    return ms;
}

void ReadProgramMemory(HANDLE process, double* peakMiB, double* privateMiB) {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    *peakMiB = *privateMiB = -1;
    if (GetProcessMemoryInfo(process, &counters, sizeof counters)) {
        *peakMiB = double(counters.PeakWorkingSetSize) / kMiB;
        *privateMiB = double(counters.PagefileUsage) / kMiB;
    }
}

HWND WaitForDialog(DWORD processId, const char* title, DWORD timeoutMs) {
    DialogSearch search = {processId, title, nullptr};
    const DWORD start = GetTickCount();
    do {
        EnumWindows(MatchDialog, LPARAM(&search));
        if (search.found != nullptr) return search.found;
        Sleep(1);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool WaitIdle(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, kBenchTimeoutMs, &result) != 0;
}

double TimePlainRead(const char* path, uint64_t size) {
    const double start = NowMs();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    uint8_t* buffer = static_cast<uint8_t*>(malloc(size_t(size)));
    DWORD got = 0;
    const BOOL ok = buffer != nullptr && ReadFile(file, buffer, DWORD(size), &got, nullptr);
    CloseHandle(file);
    double ms = NowMs() - start;
    if (!ok || got != size) ms = -1;
    free(buffer);
    return ms;
}

int ParseBenchArguments(int argc, char** argv, const char* program, int defaultReps, BenchArguments* out) {
    out->reps = defaultReps;
    const char* exeArg = nullptr;
    const char* logArg = getenv("DARVEX_BENCH_LOG");
    bool logGiven = false;
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
            out->reps = std::max(1, atoi(argv[++i]));
        } else if (argv[i][0] == '-') {
            exeArg = nullptr;
            break;
        } else if (exeArg == nullptr) {
            exeArg = argv[i];
        } else if (!logGiven) {
            logArg = argv[i];
            logGiven = true;
        }
    }
    if (exeArg == nullptr) {
        fprintf(stderr, "usage: %s [--reps N] DARVEX.EXE [LOG]\n", program);
        return 2;
    }
    if (logArg == nullptr || logArg[0] == '\0') logArg = "/tmp/darvex_bench_1g.evt";
    ToWindowsPath(exeArg, out->exe);
    ToWindowsPath(logArg, out->log);
    if (FileSize(out->log) != 0) return 0;
    printf("Generating %s with BenchGenOptions() ...\n", out->log);
    fflush(stdout);
    GenResult result = {};
    if (!GenerateLog(BenchGenOptions(), out->log, &result)) {
        fprintf(stderr, "%s: cannot generate %s: %s\n", program, out->log, result.error ? result.error : "?");
        return 1;
    }
    return 0;
}
