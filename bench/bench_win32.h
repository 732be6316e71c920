// What the Wine benchmarks share: the clock, medians, host paths, and
// DARVEX.EXE started and watched from the bench's own process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

constexpr double kMiB = 1024.0 * 1024.0;
constexpr DWORD kBenchTimeoutMs = 300000;

// Milliseconds from the performance counter.
double NowMs();

struct Timing {
    double median;
    double minimum;
};
Timing Summarise(std::vector<double> samples);   // -1s when empty

// Host paths become drive Z: paths with backslashes.
void ToWindowsPath(const char* in, char out[MAX_PATH]);
uint64_t FileSize(const char* path);   // 0 when missing
// The baseline of a load: the file's bytes into one malloc'd block with one
// ReadFile; the milliseconds, or -1 when it failed.
double TimePlainRead(const char* path, uint64_t size);

struct Program {
    PROCESS_INFORMATION pi;
    bool started;
};
// DARVEX.EXE with the log (or none) on its command line.
bool StartProgram(const char* exe, const char* log, Program* p);
// Closes the main window and waits for the exit; the milliseconds it took.
double CloseProgram(Program* p, HWND main);

// Another process's peak working set and private memory, in MiB (-1 when
// unknown). Under Wine they come from its /proc status: PeakWorkingSetSize
// is VmHWM, the peak of its resident memory, and PagefileUsage its anonymous
// resident memory and swap. (PeakPagefileUsage is only the current figure
// again, and the virtual sizes count what Wine reserves, so neither is taken.)
void ReadProgramMemory(HANDLE process, double* peakMiB, double* privateMiB);

// A visible dialog (or box) of the process with that title, polled until timeoutMs.
HWND WaitForDialog(DWORD processId, const char* title, DWORD timeoutMs);
// Returns once the window's thread has handled everything sent before.
bool WaitIdle(HWND window);

// The benches' command line: [--reps N] DARVEX.EXE [LOG], with LOG from
// $DARVEX_BENCH_LOG or /tmp/darvex_bench_1g.evt when not given, both as
// Windows paths. The log is generated with BenchGenOptions() when missing.
// Returns 0, or the exit status after the message (2 usage, 1 no log).
struct BenchArguments {
    int reps;
    char exe[MAX_PATH];
    char log[MAX_PATH];
};
int ParseBenchArguments(int argc, char** argv, const char* program, int defaultReps, BenchArguments* out);
