#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/cli_run.h"
#include "cli/cli_stream.h"
#include "logfile/loader.h"

namespace {

// A page of a mapping that the file no longer holds (another program cut
// the file while it was read) ends the program as a failed read would have,
// naming the file whose mapping the fault hit.
struct MappedRange {
    const uint8_t* start;
    uint64_t size;
    char* path;
};
MappedRange* g_ranges;
size_t g_rangeCount, g_rangeRoom;
char g_partialFile[4096];   // a file the program is writing, removed then

void Say(const char* text) {
    const ssize_t written = write(2, text, strlen(text));
    (void)written;
}

void OnShortenedFile(int, siginfo_t* info, void*) {
    const uint8_t* at = static_cast<const uint8_t*>(info->si_addr);
    const char* path = "-";
    for (size_t i = 0; i < g_rangeCount; ++i) {
        if (at >= g_ranges[i].start && at < g_ranges[i].start + g_ranges[i].size) path = g_ranges[i].path;
    }
    Say("darvex-cli: ");
    Say(path);
    Say(": ");
    Say(LoadMessageText(kMsgReadFailed));
    Say(" (the file became shorter while it was read)\n");
    if (g_partialFile[0] != '\0') unlink(g_partialFile);
    _exit(kExitReadFailed);
}

void ReportShortenedFile(const char* path, const MappedFile& m) {
    if (g_rangeCount == g_rangeRoom) {
        const size_t room = g_rangeRoom ? 2 * g_rangeRoom : 16;
        void* grown = realloc(g_ranges, room * sizeof(MappedRange));
        if (!grown) return;
        g_ranges = static_cast<MappedRange*>(grown);
        g_rangeRoom = room;
    }
    char* copy = strdup(path);
    if (!copy) return;
    g_ranges[g_rangeCount++] = {m.bytes, m.size, copy};
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_sigaction = OnShortenedFile;
    action.sa_flags = SA_SIGINFO;
    sigaction(SIGBUS, &action, nullptr);
}

void ForgetRange(const uint8_t* start) {
    for (size_t i = 0; i < g_rangeCount; ++i) {
        if (g_ranges[i].start != start) continue;
        free(g_ranges[i].path);
        g_ranges[i] = g_ranges[--g_rangeCount];
        return;
    }
}

}  // namespace

void RemoveOnReadFault(const char* path) {
    const size_t n = path ? strlen(path) : 0;
    g_partialFile[0] = '\0';
    if (n < sizeof g_partialFile) memcpy(g_partialFile, path ? path : "", n + 1);
}

int MapLogFile(const char* path, MappedFile* m) {
    *m = MappedFile{};
    FILE* f = OpenLogFile(path);
    if (f == nullptr) return errno == EACCES ? kMsgAccessDenied : kMsgOpenFailed;
    struct stat s;
    int result = -1;
    if (fstat(fileno(f), &s) == 0 && S_ISREG(s.st_mode) && uint64_t(s.st_size) <= SIZE_MAX) {
        m->size = uint64_t(s.st_size);
        if (m->size == 0) {
            result = 0;
        } else {
#ifdef MAP_POPULATE
            const int flags = MAP_PRIVATE | MAP_POPULATE;   // every page at once: the walk reads them all
#else
            const int flags = MAP_PRIVATE;
#endif
            void* view = mmap(nullptr, size_t(m->size), PROT_READ, flags, fileno(f), 0);
            if (view != MAP_FAILED) {
                m->bytes = static_cast<const uint8_t*>(view);
                m->view = view;
                result = 0;
                ReportShortenedFile(path, *m);
            }
        }
    }
    fclose(f);   // the mapping keeps the file
    return result;
}

void UnmapLogFile(MappedFile* m) {
    if (m->view) ForgetRange(m->bytes), munmap(m->view, size_t(m->size));
    *m = MappedFile{};
}
