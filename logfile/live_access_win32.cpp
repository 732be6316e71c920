#include "logfile/live_access_win32.h"

#include <cstring>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "logfile/live_access.h"

bool OpenLiveView(const char* path, const char* mappingName, LiveView* view) {
    view->file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    view->mapping = nullptr;
    view->bytes = nullptr;
    if (view->file == INVALID_HANDLE_VALUE) {
        view->file = nullptr;
        return false;
    }
    // When the component already holds a mapping of this name, the system
    // hands back that object and both programs see the same pages.
    view->mapping = CreateFileMappingA(view->file, nullptr, PAGE_READWRITE, 0, 0, mappingName);
    // Only the header is ever written, so only the header is mapped: a view of
    // a whole 1 GiB log could find no room beside its loaded copy in a 32-bit
    // process. A file shorter than the header has no such view to give.
    if (view->mapping != nullptr) {
        view->bytes =
            static_cast<uint8_t*>(MapViewOfFileEx(view->mapping, FILE_MAP_ALL_ACCESS, 0, 0, kHeaderSize, nullptr));
    }
    const DWORD size = view->bytes != nullptr ? GetFileSize(view->file, nullptr) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE || !LiveViewUsable(view->bytes, size)) {
        CloseLiveView(view);
        return false;
    }
    return true;
}

void CloseLiveView(LiveView* view) {
    if (view->bytes != nullptr) UnmapViewOfFile(view->bytes);
    if (view->mapping != nullptr) CloseHandle(view->mapping);
    if (view->file != nullptr) CloseHandle(view->file);
    view->bytes = nullptr;
    view->mapping = nullptr;
    view->file = nullptr;
}

namespace {

enum LiveWrite { kWriteClearedChain, kWriteMaxLogSize, kWriteConditions };

// A mapping of the component's name may belong to another file of the same
// name (a copy opened from elsewhere while the component runs). The header
// read through our own file handle must then differ from the view's; under
// the mutex neither side can be changing it.
bool ViewShowsOurFile(const LiveView& view) {
    uint8_t header[kHeaderSize];
    DWORD got = 0;
    OVERLAPPED at = {};
    if (!ReadFile(view.file, header, kHeaderSize, &got, &at) || got != kHeaderSize) return false;
    return memcmp(header, view.bytes, kHeaderSize) == 0;
}

// Opens the view, takes the component's mutex, writes, and closes it all
// again. True when the write was made.
bool WriteLiveHeader(LiveWrite what, uint32_t value) {
    const int source = g_viewer.file.sourceIndex;
    if (source < 0 || source >= kLogSourceCount) return false;
    LiveView view;
    if (!OpenLiveView(g_viewer.file.path, kLogSources[source].mappingName, &view)) return false;
    bool written = false;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kLogSources[source].mutexName);
    if (mutex != nullptr) {
        // A component that ended while holding the mutex does not block us.
        // The wait can be long, so it shows the wait cursor whoever asked.
        const HCURSOR previous = SetCursor(g_waitCursor);
        const DWORD wait = WaitForSingleObject(mutex, kLiveMutexWaitMs);
        SetCursor(previous);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            if (ViewShowsOurFile(view)) {
                switch (what) {
                case kWriteClearedChain: WriteClearedChain(view.bytes); break;
                case kWriteMaxLogSize: WriteMaxLogSize(view.bytes, value); break;
                case kWriteConditions: WriteStoredConditions(view.bytes, &g_viewer); break;
                }
                written = true;
            }
            ReleaseMutex(mutex);
        }
        CloseHandle(mutex);
    }
    CloseLiveView(&view);
    return written;
}

}  // namespace

void ClearAllEvents() {
    if (!WriteLiveHeader(kWriteClearedChain, 0)) {
        ShowErrorMessage(kMsgClearFailed);
        return;
    }
    SendMessageA(g_mainWindow, WM_DARVEX_RELOAD, 1, 0);
}

void SetMaxLogSize(uint32_t bytes) {
    if (!WriteLiveHeader(kWriteMaxLogSize, bytes)) {
        ShowErrorMessage(kMsgMaxLogSizeFailed);
        return;
    }
    g_viewer.liveHeaderCopy.maxLogSize = bytes;
}

void StoreConditions() {
    if (!WriteLiveHeader(kWriteConditions, 0) && g_viewer.saveSettings == 1) {
        ShowErrorMessage(kMsgStoreConditionsFailed);
    }
}
