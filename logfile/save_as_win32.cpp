#include "logfile/save_as_win32.h"

#include <cstring>

#include "app/ansi_text_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "app/path_rules.h"
#include "logfile/loader_win32.h"
#include "logfile/save_as.h"

namespace {

int WriteToHandle(void* context, const uint8_t* bytes, uint32_t size, uint32_t* written) {
    DWORD n = 0;
    const BOOL ok = WriteFile(static_cast<HANDLE>(context), bytes, size, &n, nullptr);
    *written = n;
    return ok ? 1 : 0;
}

// A new empty file in the folder that is to hold path, so that the rename
// stays on one volume.
bool MakeFileBeside(const char* path, char temp[MAX_PATH]) {
    char folder[MAX_PATH] = ".";
    const int n = FolderPartLength(path, SystemCodePage());
    if (n > 0) lstrcpynA(folder, path, n + 1);
    return GetTempFileNameA(folder, "DVX", 0, temp) != 0;
}

enum PlaceResult { kPlaced, kNameTaken, kNotPlaced };
typedef int (*FillCopy)(void* context, const CopySink& sink);

// The copy is written under a temporary name beside path, flushed and only
// then renamed, so that the chosen name never shows a partial copy, whatever
// stops the program midway. Without replace, a name that appeared meanwhile
// is left alone.
PlaceResult WriteAndPlace(const char* path, bool replace, FillCopy fill, void* context) {
    char temp[MAX_PATH];
    if (!MakeFileBeside(path, temp)) return kNotPlaced;
    HANDLE file = CreateFileA(temp, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = file != INVALID_HANDLE_VALUE;
    if (written) {
        const CopySink sink = {file, WriteToHandle};
        written = fill(context, sink) && FlushFileBuffers(file);
        // A failed close can lose data the system had buffered: that copy is no copy either.
        written = CloseHandle(file) && written;
    }
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (written && MoveFileExA(temp, path, flags)) return kPlaced;
    const DWORD error = GetLastError();
    DeleteFileA(temp);
    return written && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) ? kNameTaken : kNotPlaced;
}

int FillFromMemory(void*, const CopySink& sink) { return WriteLogCopy(g_viewer, sink); }

int AskAnotherName() { return AskOkCancel(kMsgFileExists) == IDOK ? kSaveChooseAnotherName : kSaveNotWritten; }

struct LiveSource {
    HANDLE file;
    const uint8_t* header;
    uint32_t areaSize;
};

// Large reads keep the time under the component's mutex close to the disk's.
constexpr uint32_t kLiveReadChunk = 8u << 20;

int FillFromLive(void* context, const CopySink& sink) {
    const LiveSource* live = static_cast<const LiveSource*>(context);
    LARGE_INTEGER areaStart;
    areaStart.QuadPart = kRecordAreaStart;
    if (!SetFilePointerEx(live->file, areaStart, nullptr, FILE_BEGIN)) return 0;
    uint8_t* buffer = static_cast<uint8_t*>(LocalAlloc(LMEM_FIXED, kLiveReadChunk));
    if (buffer == nullptr) return 0;
    const LogReader source = {live->file, ReadFromFileHandle, UINT64_MAX};
    const int copied = CopyLiveLog(live->header, live->areaSize, source, buffer, kLiveReadChunk, sink);
    LocalFree(buffer);
    return copied;
}

}  // namespace

int SaveLogAs(const char* savePath) {
    // An existing name is refused before anything is written; one that
    // appears while the copy is written is refused at the rename.
    if (GetFileAttributesA(savePath) != INVALID_FILE_ATTRIBUTES) return AskAnotherName();
    switch (WriteAndPlace(savePath, false, FillFromMemory, nullptr)) {
    case kPlaced: return kSaveWritten;
    case kNameTaken: return AskAnotherName();
    default: break;
    }
    ShowErrorMessage(kMsgWriteFailed);
    return kSaveNotWritten;
}

bool CopyLiveLogTo(const char* copyPath, HANDLE liveFile, const uint8_t* liveHeader) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(liveFile, &size)) return false;
    bool ok = false;
    LiveSource live = {liveFile, liveHeader, LiveCopyAreaSize(liveHeader, uint64_t(size.QuadPart), &ok)};
    return ok && WriteAndPlace(copyPath, true, FillFromLive, &live) == kPlaced;
}
