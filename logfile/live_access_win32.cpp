#include "logfile/live_access_win32.h"

#include <psapi.h>

#include <cwchar>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "logfile/live_access.h"
#include "logfile/loader_win32.h"
#include "logfile/save_as.h"
#include "logfile/save_as_win32.h"

namespace {

char g_copyBeforeChange[MAX_PATH];

// The file a view shows. The system names it in a form of its own
// ("\??\Z:\..." under Wine, "\Device\HarddiskVolume2\..." on Windows), which
// may never equal the form of our path: the name is opened in the system's
// namespace and the file compared by identity, not the names as strings.
FileIdentity MappedFileIdentity(void* address) {
    wchar_t name[1024];
    const DWORD n = GetMappedFileNameW(GetCurrentProcess(), address, name, 1024);
    if (n == 0 || n >= 1024) return FileIdentity{};
    wchar_t path[1024 + 16];
    if (wcsncmp(name, L"\\??\\", 4) == 0) {
        wcscpy(path, L"\\\\?\\");
        wcscat(path, name + 4);
    } else {
        wcscpy(path, L"\\\\?\\GLOBALROOT");
        wcscat(path, name);
    }
    HANDLE file = CreateFileW(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return FileIdentity{};
    const FileIdentity identity = IdentityOfHandle(file);
    CloseHandle(file);
    return identity;
}

}  // namespace

bool OpenLiveView(const char* path, const char* mappingName, const FileIdentity& loaded, LiveView* view) {
    view->file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    view->mapping = nullptr;
    view->bytes = nullptr;
    if (view->file == INVALID_HANDLE_VALUE) {
        view->file = nullptr;
        return false;
    }
    // A file moved onto the path since the load is not the log the user saw.
    if (!SameFile(IdentityOfHandle(view->file), loaded)) {
        CloseLiveView(view);
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
    // The component's mapping shows its own log, which may be another file
    // of the same name as the one loaded (a copy opened from elsewhere).
    if (size == INVALID_FILE_SIZE || !LiveViewUsable(view->bytes, size) ||
        !SameFile(MappedFileIdentity(view->bytes), loaded)) {
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
enum LiveOutcome { kLiveWritten, kLiveNotWritten, kLiveCopyFailed };

// Opens the view, takes the component's mutex, writes (first the copy the
// user asked for, when there is one), and closes it all again. The copy is
// taken under the same hold as the change, so a component appending all the
// while cannot slip an event past it.
LiveOutcome WriteLiveHeader(LiveWrite what, uint32_t value, const char* copyPath) {
    const int source = g_viewer.file.sourceIndex;
    if (source < 0 || source >= kLogSourceCount) return kLiveNotWritten;
    LiveView view;
    if (!OpenLiveView(g_viewer.file.path, kLogSources[source].mappingName, g_viewer.file.identity, &view)) {
        return kLiveNotWritten;
    }
    LiveOutcome outcome = kLiveNotWritten;
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kLogSources[source].mutexName);
    if (mutex != nullptr) {
        // A component that ended while holding the mutex does not block us.
        // The wait can be long, so it shows the wait cursor whoever asked.
        const HCURSOR previous = SetCursor(g_waitCursor);
        const DWORD wait = WaitForSingleObject(mutex, kLiveMutexWaitMs);
        if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
            if (copyPath[0] != '\0' && !CopyLiveLogTo(copyPath, view.file, view.bytes)) {
                outcome = kLiveCopyFailed;
            } else {
                switch (what) {
                case kWriteClearedChain: WriteClearedChain(view.bytes); break;
                case kWriteMaxLogSize: WriteMaxLogSize(view.bytes, value); break;
                case kWriteConditions: WriteStoredConditions(view.bytes, &g_viewer); break;
                }
                outcome = kLiveWritten;
            }
            ReleaseMutex(mutex);
        }
        SetCursor(previous);
        CloseHandle(mutex);
    }
    CloseLiveView(&view);
    return outcome;
}

// Takes the copy asked for before this change; the next change starts without one.
LiveOutcome WriteWithCopy(LiveWrite what, uint32_t value) {
    char copyPath[MAX_PATH];
    lstrcpynA(copyPath, g_copyBeforeChange, MAX_PATH);
    g_copyBeforeChange[0] = '\0';
    return WriteLiveHeader(what, value, copyPath);
}

// A copy that failed stops the change: the user hears of both.
bool ReportOutcome(LiveOutcome outcome, UINT failure) {
    if (outcome == kLiveWritten) return true;
    if (outcome == kLiveCopyFailed) ShowErrorMessage(kMsgWriteFailed);
    ShowErrorMessage(failure);
    return false;
}

}  // namespace

void SetCopyBeforeChange(const char* path) { lstrcpynA(g_copyBeforeChange, path ? path : "", MAX_PATH); }

void ClearAllEvents() {
    if (!ReportOutcome(WriteWithCopy(kWriteClearedChain, 0), kMsgClearFailed)) return;
    SendMessageA(g_mainWindow, WM_DARVEX_RELOAD, 1, 0);
}

void SetMaxLogSize(uint32_t bytes) {
    if (!ReportOutcome(WriteWithCopy(kWriteMaxLogSize, bytes), kMsgMaxLogSizeFailed)) return;
    g_viewer.liveHeaderCopy.maxLogSize = bytes;
}

void StoreConditions() {
    if (WriteLiveHeader(kWriteConditions, 0, "") != kLiveWritten && g_viewer.saveSettings == 1) {
        ShowErrorMessage(kMsgStoreConditionsFailed);
    }
}
