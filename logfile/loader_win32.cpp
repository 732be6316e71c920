#include "logfile/loader_win32.h"

#include <windows.h>

namespace {

int ReadFromHandle(void* context, uint8_t* buffer, uint32_t size, uint32_t* got) {
    DWORD n = 0;
    *got = 0;
    if (!ReadFile(static_cast<HANDLE>(context), buffer, size, &n, nullptr)) return 0;
    *got = n;
    return 1;
}

int OpenWithCreateFile(void*, const char* path, LogReader* reader) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED ? kMsgAccessDenied : kMsgOpenFailed;
    }
    LARGE_INTEGER size;
    reader->context = file;
    reader->read = ReadFromHandle;
    reader->fileSize = GetFileSizeEx(file, &size) ? uint64_t(size.QuadPart) : UINT64_MAX;
    return 0;
}

void CloseHandleOf(void*, LogReader* reader) {
    if (reader->context != nullptr) CloseHandle(static_cast<HANDLE>(reader->context));
    reader->context = nullptr;
}

const LogOpener kWin32Opener = {nullptr, OpenWithCreateFile, CloseHandleOf};

}  // namespace

const LogOpener* Win32LogOpener() { return &kWin32Opener; }
