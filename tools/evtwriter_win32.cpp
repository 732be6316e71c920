// EVTWRITER.EXE: a stand-in for one of the four writing components, for the
// live-log tests and benchmarks. Like a component it keeps the log file, the
// source's named mapping with its view and the named mutex for its whole
// life, and changes the file only through the view while it holds the mutex.
// It reads one command a line from standard input and answers each with one
// line on standard output, flushed at once, so a driver on pipes can wait.
//
//   EVTWRITER --source pern|tolva|boraxlin|kestram --file PATH
//             [--create AREA_BYTES] [--max-log-size BYTES]
//
// With --create it first writes a new empty log: the source's magic, a zeroed
// record area of AREA_BYTES, maxLogSize BYTES (65536), computer "SIMWRITER".
// It prints "ready count=C" once it holds the file, the mapping and the mutex;
// a failure to do so ends it with code 1 (bad arguments: code 2). Commands
// and their answers:
//
//   append N      N records, each under the mutex:
//                 "appended N count=C oldest=O writer=W"
//   hold          takes the mutex and keeps it: "held"
//   release       gives one hold back: "released"
//   header        "header count=C oldest=O writer=W max=M end=E saved=S
//                 conditions=HEX", read from the view now; HEX is bytes 68..87
//                 as 40 upper-case hex digits
//   verify        compares the record area and the header bytes DARVEX never
//                 writes with what this writer wrote: "verify ok" or
//                 "verify differs at OFFSET"
//   run MS        appends one record every MS milliseconds in the background:
//                 "running"
//   stop          ends the run: "stopped count=C"
//   exit-holding  takes the mutex, answers "exiting" and ends at once with
//                 code 3 without releasing it: its next waiter gets WAIT_ABANDONED
//   quit          (or the end of the input) releases everything: "bye", code 0
//
// Anything that fails answers one line starting "error ". Records are
// "Simulated event N" counted from 1 by each process, types 1, 2, 4 in turn,
// the source's first module, one second apart from 2024/01/01 00:00:00.
#include <windows.h>
#undef SetComputerName   // <windows.h>'s macro would rename log_writer's setter

#include <fcntl.h>
#include <io.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "tools/chain_append.h"
#include "tools/log_writer.h"

namespace {

// A command that waits longer than this for the mutex answers an error
// instead of hanging its driver.
constexpr DWORD kMutexWaitMs = 30000;

const char* const kSourceNames[kLogSourceCount] = {"pern", "tolva", "boraxlin", "kestram"};
const uint32_t kSourceModuleCodes[kLogSourceCount] = {0, 2, 4, 6};
const uint16_t kCycledTypes[3] = {kTypeError, kTypeWarning, kTypeInformation};

// Header bytes that only the writer changes; DARVEX may write the others
// (maxLogSize 32..35, recordCount 40..43, 60..87), and the record area is the
// writer's alone.
const struct {
    uint32_t from, to;
} kWriterHeaderBytes[] = {{0, 32}, {36, 40}, {44, 60}};

struct Writer {
    int source;
    HANDLE file;
    HANDLE mapping;
    HANDLE mutex;
    uint8_t* view;
    size_t size;
    std::vector<uint8_t> shadow;   // the file as this writer last left it
    uint32_t newest;               // offset of the newest record while the log has any
    uint32_t sequence;             // records appended by this process
    CRITICAL_SECTION lock;         // the fields above, between the command and run threads
    int held;                      // `hold`s not yet released
    HANDLE stopEvent;
    HANDLE runThread;
    DWORD runIntervalMs;
    const char* runError;
};

Writer g_writer;

__attribute__((format(printf, 1, 2))) void Answer(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    putchar('\n');
    fflush(stdout);
}

int Fail(const char* what, const char* path) {
    fprintf(stderr, "EVTWRITER: %s: %s (error %lu)\n", what, path, GetLastError());
    return 1;
}

int Usage(const char* problem) {
    fprintf(stderr,
            "EVTWRITER: %s\n"
            "usage: EVTWRITER --source pern|tolva|boraxlin|kestram --file PATH "
            "[--create AREA_BYTES] [--max-log-size BYTES]\n",
            problem);
    return 2;
}

// WAIT_ABANDONED also hands the mutex over: a holder that died does not stop the writer.
// With a stop event the wait is unlimited and ends early when the event is set.
bool TakeMutex(HANDLE stopEvent) {
    DWORD r;
    if (stopEvent == nullptr) {
        r = WaitForSingleObject(g_writer.mutex, kMutexWaitMs);
    } else {
        const HANDLE handles[2] = {stopEvent, g_writer.mutex};
        r = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (r == WAIT_OBJECT_0) return false;
        r = r == WAIT_OBJECT_0 + 1 ? WAIT_OBJECT_0 : r == WAIT_ABANDONED_0 + 1 ? WAIT_ABANDONED : r;
    }
    return r == WAIT_OBJECT_0 || r == WAIT_ABANDONED;
}

// Record n: "Simulated event n", types 1, 2, 4 in turn, the source's module,
// one second after record n - 1 from 2024/01/01 00:00:00, 4 to 10 data bytes.
RecordSpec SimulatedRecord(uint32_t n, char* text, size_t textSize, uint8_t data[10]) {
    snprintf(text, textSize, "Simulated event %u", n);
    for (uint32_t i = 0; i < 10; ++i) data[i] = uint8_t(n >> (8 * (i % 4)));
    RecordSpec r;
    r.text = text;
    r.type = kCycledTypes[(n - 1) % 3];
    r.moduleCode = kSourceModuleCodes[g_writer.source];
    r.timeStamp = RecordTimeAfter(MakeRecordTime(2024, 1, 1, 0, 0, 0), n - 1);
    r.data = data;
    r.dataByteCount = 4 + n % 4 * 2;
    return r;
}

// One record, with the mutex already held. The shadow first takes the header
// fields DARVEX may have written (after a Clear the chain starts again at
// 88), then receives the same append as the view.
bool AppendOne() {
    Writer& w = g_writer;
    EnterCriticalSection(&w.lock);
    memcpy(&w.shadow[kOffsetMaxLogSize], w.view + kOffsetMaxLogSize, 4);
    memcpy(&w.shadow[kOffsetRecordCount], w.view + kOffsetRecordCount, 4);
    memcpy(&w.shadow[kOffsetOldestOffset], w.view + kOffsetOldestOffset, kHeaderSize - kOffsetOldestOffset);
    char text[40];
    uint8_t data[10];
    const RecordSpec r = SimulatedRecord(w.sequence + 1, text, sizeof text, data);
    uint32_t newest = w.newest, shadowNewest = w.newest;
    const bool ok = AppendRecord(w.view, w.size, &newest, r) != 0;
    if (ok) {
        AppendRecord(w.shadow.data(), w.shadow.size(), &shadowNewest, r);
        w.newest = newest;
        ++w.sequence;
    }
    LeaveCriticalSection(&w.lock);
    return ok;
}

struct HeaderNumbers {
    uint32_t count, oldest, writer, max, end, saved;
};

HeaderNumbers ReadHeaderNumbers() {
    EnterCriticalSection(&g_writer.lock);
    const uint8_t* h = g_writer.view;
    const HeaderNumbers n = {GetU32(h + kOffsetRecordCount), GetU32(h + kOffsetOldestOffset),
                             GetU32(h + kOffsetWriterOffset), GetU32(h + kOffsetMaxLogSize),
                             GetU32(h + kOffsetRecordAreaEnd), GetU16(h + kOffsetConditionsSaved)};
    LeaveCriticalSection(&g_writer.lock);
    return n;
}

void OnAppend(const char* argument) {
    char* end = nullptr;
    const unsigned long count = strtoul(argument, &end, 10);
    if (end == argument || *end != '\0' || count == 0) return Answer("error append needs a count");
    for (unsigned long k = 0; k < count; ++k) {
        if (!TakeMutex(nullptr)) return Answer("error mutex wait failed after %lu appended", k);
        const bool ok = AppendOne();
        ReleaseMutex(g_writer.mutex);
        if (!ok) return Answer("error record does not fit after %lu appended", k);
    }
    const HeaderNumbers n = ReadHeaderNumbers();
    Answer("appended %lu count=%u oldest=%u writer=%u", count, n.count, n.oldest, n.writer);
}

void OnHeader(const char*) {
    EnterCriticalSection(&g_writer.lock);
    char hex[2 * kConditionsSize + 1];
    for (uint32_t i = 0; i < kConditionsSize; ++i) {
        snprintf(hex + 2 * i, 3, "%02X", g_writer.view[kConditionsOffset + i]);
    }
    LeaveCriticalSection(&g_writer.lock);
    const HeaderNumbers n = ReadHeaderNumbers();
    Answer("header count=%u oldest=%u writer=%u max=%u end=%u saved=%u conditions=%s", n.count, n.oldest,
           n.writer, n.max, n.end, n.saved, hex);
}

// The first byte at or after from, before to, where the view and the shadow differ; to when none.
size_t FirstDifference(size_t from, size_t to) {
    const uint8_t* a = g_writer.view;
    const uint8_t* b = g_writer.shadow.data();
    if (memcmp(a + from, b + from, to - from) == 0) return to;
    while (a[from] == b[from]) ++from;
    return from;
}

void OnVerify(const char*) {
    EnterCriticalSection(&g_writer.lock);
    size_t at = SIZE_MAX;
    for (const auto& range : kWriterHeaderBytes) {
        const size_t d = FirstDifference(range.from, range.to);
        if (d != range.to) {
            at = d;
            break;
        }
    }
    if (at == SIZE_MAX) {
        const size_t d = FirstDifference(kHeaderSize, g_writer.size);
        if (d != g_writer.size) at = d;
    }
    LeaveCriticalSection(&g_writer.lock);
    if (at == SIZE_MAX) return Answer("verify ok");
    Answer("verify differs at %u", uint32_t(at));
}

DWORD WINAPI RunAppends(LPVOID) {
    Writer& w = g_writer;
    while (WaitForSingleObject(w.stopEvent, w.runIntervalMs) == WAIT_TIMEOUT) {
        if (!TakeMutex(w.stopEvent)) break;
        const bool ok = AppendOne();
        ReleaseMutex(w.mutex);
        if (!ok) {
            w.runError = "record does not fit";
            break;
        }
    }
    return 0;
}

void OnRun(const char* argument) {
    char* end = nullptr;
    const unsigned long ms = strtoul(argument, &end, 10);
    if (end == argument || *end != '\0' || ms == 0) return Answer("error run needs milliseconds");
    if (g_writer.runThread != nullptr) return Answer("error already running");
    g_writer.runIntervalMs = DWORD(ms);
    g_writer.runError = nullptr;
    ResetEvent(g_writer.stopEvent);
    g_writer.runThread = CreateThread(nullptr, 0, RunAppends, nullptr, 0, nullptr);
    if (g_writer.runThread == nullptr) return Answer("error cannot start the run thread");
    Answer("running");
}

void StopRun() {
    if (g_writer.runThread == nullptr) return;
    SetEvent(g_writer.stopEvent);
    WaitForSingleObject(g_writer.runThread, INFINITE);
    CloseHandle(g_writer.runThread);
    g_writer.runThread = nullptr;
}

void OnStop(const char*) {
    StopRun();
    if (g_writer.runError != nullptr) return Answer("error %s", g_writer.runError);
    Answer("stopped count=%u", ReadHeaderNumbers().count);
}

void OnHold(const char*) {
    if (!TakeMutex(nullptr)) return Answer("error mutex wait failed");
    ++g_writer.held;
    Answer("held");
}

void OnRelease(const char*) {
    if (g_writer.held == 0) return Answer("error not held");
    ReleaseMutex(g_writer.mutex);
    --g_writer.held;
    Answer("released");
}

// Ends the process holding the mutex, so that its next waiter gets WAIT_ABANDONED.
void OnExitHolding(const char*) {
    if (!TakeMutex(nullptr)) return Answer("error mutex wait failed");
    Answer("exiting");
    ExitProcess(3);
}

void Close() {
    StopRun();
    for (; g_writer.held > 0; --g_writer.held) ReleaseMutex(g_writer.mutex);
    UnmapViewOfFile(g_writer.view);
    CloseHandle(g_writer.mapping);
    CloseHandle(g_writer.file);
    CloseHandle(g_writer.mutex);
    CloseHandle(g_writer.stopEvent);
}

void OnQuit(const char*) {}

const struct {
    const char* name;
    void (*run)(const char* argument);
} kCommands[] = {
    {"append", OnAppend}, {"hold", OnHold}, {"release", OnRelease},
    {"header", OnHeader}, {"verify", OnVerify}, {"run", OnRun},
    {"stop", OnStop}, {"exit-holding", OnExitHolding}, {"quit", OnQuit},
};

// Reads commands until quit or the end of the input.
void CommandLoop() {
    char line[256];
    while (fgets(line, sizeof line, stdin) != nullptr) {
        line[strcspn(line, "\r\n")] = '\0';
        char* argument = strchr(line, ' ');
        if (argument != nullptr) *argument++ = '\0';
        if (argument == nullptr) argument = line + strlen(line);
        bool known = false;
        for (const auto& command : kCommands) {
            if (strcmp(line, command.name) != 0) continue;
            if (command.run == OnQuit) return;
            command.run(argument);
            known = true;
        }
        if (!known) Answer("error unknown command %s", line);
    }
}

struct Arguments {
    int source = -1;
    const char* path = nullptr;
    uint32_t createArea = 0;       // 0: open the existing file
    uint32_t maxLogSize = 65536;
    bool maxLogSizeGiven = false;
};

bool ParseNumber(const char* text, uint32_t* value) {
    char* end = nullptr;
    const unsigned long long v = strtoull(text, &end, 10);
    if (end == text || *end != '\0' || v == 0 || v > 0xFFFFFFFFull - kHeaderSize) return false;
    *value = uint32_t(v);
    return true;
}

int ParseArguments(int argc, char** argv, Arguments* a) {
    for (int i = 1; i < argc; i += 2) {
        const char* option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (value == nullptr) return Usage("an option lacks its value");
        if (strcmp(option, "--source") == 0) {
            for (int s = 0; s < kLogSourceCount; ++s) {
                if (strcmp(value, kSourceNames[s]) == 0) a->source = s;
            }
            if (a->source < 0) return Usage("unknown source");
        } else if (strcmp(option, "--file") == 0) {
            a->path = value;
        } else if (strcmp(option, "--create") == 0) {
            if (!ParseNumber(value, &a->createArea)) return Usage("bad --create size");
        } else if (strcmp(option, "--max-log-size") == 0) {
            if (!ParseNumber(value, &a->maxLogSize)) return Usage("bad --max-log-size");
            a->maxLogSizeGiven = true;
        } else {
            return Usage("unknown option");
        }
    }
    if (a->source < 0 || a->path == nullptr) return Usage("--source and --file are needed");
    if (a->maxLogSizeGiven && a->createArea == 0) return Usage("--max-log-size needs --create");
    return 0;
}

int CreateEmptyLog(const Arguments& a) {
    LogImage image;
    InitLogImage(&image, a.source, kHeaderSize + a.createArea);
    SetComputerName(&image, "SIMWRITER");
    SetMaxLogSize(&image, a.maxLogSize);
    return WriteLogImage(image, a.path) ? 0 : Fail("cannot create", a.path);
}

// Opens the file, the named mapping, its view and the named mutex, and takes
// the state of the chain from the file.
int OpenLog(const Arguments& a) {
    Writer& w = g_writer;
    const LogSource& source = kLogSources[a.source];
    w.source = a.source;
    w.file = CreateFileA(a.path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (w.file == INVALID_HANDLE_VALUE) return Fail("cannot open", a.path);
    const DWORD size = GetFileSize(w.file, nullptr);
    if (size == INVALID_FILE_SIZE || size < kHeaderSize) return Fail("not an event log", a.path);
    w.size = size;
    w.mapping = CreateFileMappingA(w.file, nullptr, PAGE_READWRITE, 0, 0, source.mappingName);
    if (w.mapping == nullptr) return Fail("cannot create the mapping", source.mappingName);
    w.view = static_cast<uint8_t*>(MapViewOfFile(w.mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (w.view == nullptr) return Fail("cannot map the view", source.mappingName);
    const uint32_t end = GetU32(w.view + kOffsetRecordAreaEnd);
    if (!IsKnownMagic(w.view) || end < kHeaderSize || end > size) return Fail("not an event log", a.path);
    if (GetU32(w.view + kOffsetRecordCount) != 0) {
        w.newest = FindNewestRecord(w.view, w.size);
        if (w.newest == 0) return Fail("the chain leaves the record area", a.path);
    }
    w.mutex = CreateMutexA(nullptr, FALSE, source.mutexName);
    if (w.mutex == nullptr) return Fail("cannot create the mutex", source.mutexName);
    w.stopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (w.stopEvent == nullptr) return Fail("cannot create an event", "stop");
    w.shadow.assign(w.view, w.view + w.size);
    InitializeCriticalSection(&w.lock);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Arguments a;
    if (int rc = ParseArguments(argc, argv, &a)) return rc;
    if (a.createArea != 0) {
        if (int rc = CreateEmptyLog(a)) return rc;
    }
    if (int rc = OpenLog(a)) return rc;
    _setmode(_fileno(stdout), _O_BINARY);   // answers end in "\n" alone
    Answer("ready count=%u", GetU32(g_writer.view + kOffsetRecordCount));
    CommandLoop();
    Close();
    Answer("bye");
    return 0;
}
