#include "logfile/loader_win32.h"

#include <windows.h>

int ReadFromFileHandle(void* handle, uint8_t* buffer, uint32_t size, uint32_t* got) {
    DWORD n = 0;
    *got = 0;
    if (!ReadFile(static_cast<HANDLE>(handle), buffer, size, &n, nullptr)) return 0;
    *got = n;
    return 1;
}

FileIdentity IdentityOfHandle(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return FileIdentity{};
    return {1, info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

namespace {

// The identity of the file the last open reached.
FileIdentity g_openedIdentity;

int OpenWithCreateFile(void* context, const char* path, LogReader* reader) {
    *static_cast<FileIdentity*>(context) = FileIdentity{};
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError() == ERROR_ACCESS_DENIED ? kMsgAccessDenied : kMsgOpenFailed;
    }
    LARGE_INTEGER size;
    reader->context = file;
    reader->read = ReadFromFileHandle;
    *static_cast<FileIdentity*>(context) = IdentityOfHandle(file);
    reader->fileSize = GetFileSizeEx(file, &size) ? uint64_t(size.QuadPart) : UINT64_MAX;
    return 0;
}

void CloseHandleOf(void*, LogReader* reader) {
    if (reader->context != nullptr) CloseHandle(static_cast<HANDLE>(reader->context));
    reader->context = nullptr;
}

const LogOpener kWin32Opener = {&g_openedIdentity, OpenWithCreateFile, CloseHandleOf};

}  // namespace

const LogOpener* Win32LogOpener() { return &kWin32Opener; }

FileIdentity LastOpenedIdentity() { return g_openedIdentity; }
