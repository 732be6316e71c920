// Watching DARVEX.EXE from another process: its windows and its status bar.
// Shared by the end-to-end tests and the Wine fill benchmark.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>

inline std::string Title(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

inline std::string Upper(std::string s) { return CharUpperA(&s[0]), s; }

// Asks done every pollMs until it says yes (true) or timeoutMs has passed (false).
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000, DWORD pollMs = 50) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(pollMs);
    }
    return true;
}

// A path of the build tree as this process opens it under Wine.
inline std::string HostPath(std::string path) {
    if (path[0] == '/') path = "Z:" + path;   // the host's root
    for (char& c : path) c = c == '/' ? '\\' : c;
    return path;
}

// The first visible top-level window of the process with that class, other
// than except, polled every pollMs until timeoutMs has passed; null when none appeared.
HWND WaitForProcessWindow(DWORD processId, const char* className, DWORD timeoutMs, DWORD pollMs = 50,
                          HWND except = nullptr);

// The text of one status bar part. SB_GETTEXT writes into the caller's
// memory, so the text is received in memory of the program's process.
void RemoteStatusText(HANDLE process, HWND statusBar, int part, char* text, size_t size);
