#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/cli_run.h"
#include "cli/cli_stream.h"
#include "logfile/loader.h"

namespace {

// A page of the mapping that the file no longer holds (another program cut
// the file while it was read) ends the program as a failed read would have.
char g_shortenedText[1024];
size_t g_shortenedLength;
char g_partialFile[4096];   // a file the program is writing, removed then

void OnShortenedFile(int) {
    const ssize_t written = write(2, g_shortenedText, g_shortenedLength);
    (void)written;
    if (g_partialFile[0] != '\0') unlink(g_partialFile);
    _exit(kExitReadFailed);
}

void ReportShortenedFile(const char* path) {
    const int n = snprintf(g_shortenedText, sizeof g_shortenedText, "darvex-cli: %s: %s (the file became shorter while it was read)\n",
                           path, LoadMessageText(kMsgReadFailed));
    g_shortenedLength = n < 0 ? 0 : size_t(n) < sizeof g_shortenedText ? size_t(n) : sizeof g_shortenedText - 1;
    struct sigaction action;
    memset(&action, 0, sizeof action);
    action.sa_handler = OnShortenedFile;
    sigaction(SIGBUS, &action, nullptr);
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
                ReportShortenedFile(path);
            }
        }
    }
    fclose(f);   // the mapping keeps the file
    return result;
}

void UnmapLogFile(MappedFile* m) {
    if (m->view) munmap(m->view, size_t(m->size));
    *m = MappedFile{};
}
