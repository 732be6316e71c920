#include <windows.h>

#include <io.h>

#include <cerrno>

#include "cli/cli_run.h"
#include "cli/cli_stream.h"
#include "logfile/loader.h"

// A log cut under its view raises an in-page error, which ends the program
// without a handler of ours; there is no partial file to remove then.
void RemoveOnReadFault(const char*) {}

int MapLogFile(const char* path, MappedFile* m) {
    *m = MappedFile{};
    FILE* f = OpenLogFile(path);
    if (f == nullptr) return errno == EACCES ? kMsgAccessDenied : kMsgOpenFailed;
    HANDLE file = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(f)));
    LARGE_INTEGER size;
    int result = -1;
    if (file != INVALID_HANDLE_VALUE && GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size) &&
        uint64_t(size.QuadPart) <= SIZE_MAX) {
        m->size = uint64_t(size.QuadPart);
        if (m->size == 0) {
            result = 0;   // nothing to map: the header is short
        } else if (HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr)) {
            // A 32-bit process may find no room for a large log: the load takes it then.
            void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
            CloseHandle(mapping);   // the view keeps the mapping and the file
            if (view) {
                m->bytes = static_cast<const uint8_t*>(view);
                m->view = view;
                result = 0;
            }
        }
    }
    fclose(f);
    return result;
}

void UnmapLogFile(MappedFile* m) {
    if (m->view) UnmapViewOfFile(m->view);
    *m = MappedFile{};
}
