#include "logfile/save_as_win32.h"

#include <windows.h>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "logfile/save_as.h"

namespace {

int WriteToHandle(void* context, const uint8_t* bytes, uint32_t size, uint32_t* written) {
    DWORD n = 0;
    const BOOL ok = WriteFile(static_cast<HANDLE>(context), bytes, size, &n, nullptr);
    *written = n;
    return ok ? 1 : 0;
}

}  // namespace

int SaveLogAs(const char* savePath) {
    HANDLE file = CreateFileA(savePath, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_EXISTS) {
            return AskOkCancel(kMsgFileExists) == IDOK ? kSaveChooseAnotherName : kSaveNotWritten;
        }
        ShowErrorMessage(kMsgWriteFailed);
        return kSaveNotWritten;
    }
    const CopySink sink = {file, WriteToHandle};
    const int copied = WriteLogCopy(g_viewer, sink);
    // A failed close can lose data the system had buffered: that copy is
    // no copy either.
    const BOOL closed = CloseHandle(file);
    if (!copied || !closed) {
        DeleteFileA(savePath);
        ShowErrorMessage(kMsgWriteFailed);
        return kSaveNotWritten;
    }
    return kSaveWritten;
}
