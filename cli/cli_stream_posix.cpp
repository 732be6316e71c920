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
            void* view = mmap(nullptr, size_t(m->size), PROT_READ, MAP_PRIVATE, fileno(f), 0);
            if (view != MAP_FAILED) {
                // The walk goes forward through the file, the rows mostly so too.
                madvise(view, size_t(m->size), MADV_SEQUENTIAL);
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
