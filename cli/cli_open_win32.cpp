#include "cli/cli_run.h"

#include <windows.h>

#include <shellapi.h>

#include <cerrno>
#include <string>

namespace {

std::wstring Wide(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring text(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &text[0], n);
    text.resize(size_t(n - 1));
    return text;
}

}  // namespace

char** CommandLineArguments(int* argc, char** argv) {
    int n = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (wide == nullptr) return argv;
    char** args = new char*[size_t(n) + 1];
    for (int i = 0; i < n; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        args[i] = new char[size_t(size > 0 ? size : 1)]();
        if (size > 0) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, args[i], size, nullptr, nullptr);
    }
    args[n] = nullptr;
    LocalFree(wide);
    *argc = n;
    return args;
}

// The path as the command line gave it, in UTF-8. One of MAX_PATH characters
// or more opens by its full form behind "\\?\" ("\\?\UNC\" for a share),
// which the system takes beyond MAX_PATH.
FILE* OpenLogFile(const char* path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
        errno = ENOENT;
        return nullptr;
    }
    if (wide.size() < MAX_PATH || wide.compare(0, 4, L"\\\\?\\") == 0) return _wfopen(wide.c_str(), L"rb");
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size_t(size) + 1, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), size + 1, &full[0], nullptr));
    const bool share = full.compare(0, 2, L"\\\\") == 0;
    const std::wstring prefixed = (share ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full);
    return _wfopen(prefixed.c_str(), L"rb");
}
