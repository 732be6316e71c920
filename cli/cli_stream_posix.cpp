#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>

#include "cli/cli_run.h"
#include "cli/cli_stream.h"
#include "logfile/loader.h"

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
