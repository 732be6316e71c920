#include "tests/win32/remote_window_win32.h"

#include <commctrl.h>

namespace {

struct Found {
    DWORD processId;
    const char* className;
    HWND except;
    HWND window;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
    Found* f = reinterpret_cast<Found*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[64];
    if (pid == f->processId && window != f->except && IsWindowVisible(window) &&
        GetClassNameA(window, cls, sizeof cls) && lstrcmpA(cls, f->className) == 0) {
        f->window = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs, DWORD pollMs, HWND except) {
    Found f = {processId, className, except, nullptr};
    WaitUntil([&] { return EnumWindows(MatchWindow, LPARAM(&f)), f.window != nullptr; }, timeoutMs, pollMs);
    return f.window;
}

void RemoteStatusText(HANDLE process, HWND statusBar, int part, char* text, size_t size) {
    text[0] = '\0';
    void* remote = VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr) return;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(statusBar, SB_GETTEXTA, WPARAM(part), LPARAM(remote), SMTO_ABORTIFHUNG, 5000, &ignored);
    SIZE_T got = 0;
    ReadProcessMemory(process, remote, text, size - 1, &got);
    text[size - 1] = '\0';
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
}
