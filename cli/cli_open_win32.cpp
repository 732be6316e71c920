#include "cli/cli_run.h"

#include <windows.h>

#include <shellapi.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "cli/cli_follow.h"
#include "cli/cli_options.h"
#include "logfile/loader.h"

namespace {

std::wstring Wide(const char* utf8) {
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, nullptr, 0);
    if (n <= 0) return std::wstring();
    std::wstring text(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, -1, &text[0], n);
    text.resize(size_t(n - 1));
    return text;
}

// The path's long form as the system takes it: one of MAX_PATH characters or
// more behind "\\?\" ("\\?\UNC\" for a share).
std::wstring LongForm(const std::wstring& wide) {
    if (wide.size() < MAX_PATH || wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
    const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(size_t(size) + 1, L'\0');
    full.resize(GetFullPathNameW(wide.c_str(), size + 1, &full[0], nullptr));
    const bool share = full.compare(0, 2, L"\\\\") == 0;
    return share ? L"\\\\?\\UNC\\" + full.substr(2) : L"\\\\?\\" + full;
}

// Opened so that a writer may still delete the file, or rename another over it.
HANDLE OpenShared(const char* path, DWORD access) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(LongForm(wide).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

FileIdentity IdentityOf(HANDLE file, uint64_t* size) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return FileIdentity{};
    if (size) *size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return {1, info.dwVolumeSerialNumber, (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
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

// The path as the command line gave it, in UTF-8, however long.
FILE* OpenLogFile(const char* path) {
    HANDLE file = OpenShared(path, GENERIC_READ);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        errno = e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION ? EACCES : ENOENT;
        return nullptr;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        errno = ENOMEM;
        return nullptr;
    }
    FILE* f = _fdopen(fd, "rb");
    if (!f) _close(fd);
    return f;
}

int OpenFileIdentity(FILE* file, FileIdentity* identity, uint64_t* size) {
    *identity = IdentityOf(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), size);
    return identity->known ? 1 : 0;
}

int PathIdentity(const char* path, FileIdentity* identity) {
    HANDLE file = OpenShared(path, FILE_READ_ATTRIBUTES);
    if (file == INVALID_HANDLE_VALUE) {
        // A file deleted while it is still open stays under its name, but opens no more.
        const DWORD e = GetLastError();
        return e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND || e == ERROR_ACCESS_DENIED ? 0 : -1;
    }
    *identity = IdentityOf(file, nullptr);
    CloseHandle(file);
    return identity->known ? 1 : -1;
}

int KeepFollowedFileOpen() { return 0; }

namespace {

wchar_t g_spooled[MAX_PATH + 16];   // the temporary copy of standard input, L"" for none

void RemoveSpooled() {
    if (g_spooled[0]) DeleteFileW(g_spooled);
    g_spooled[0] = L'\0';
}

}  // namespace

const char* SpoolStandardInput(FILE* err) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE || GetFileType(in) == FILE_TYPE_CHAR) {
        fprintf(err, "darvex-cli: -: standard input is a terminal; give the log through a pipe or \"<\"\n");
        return nullptr;
    }
    static bool registered = false;
    if (!registered) registered = atexit(RemoveSpooled) == 0;
    RemoveSpooled();   // one run's copy at a time
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    HANDLE out = INVALID_HANDLE_VALUE;
    if (n > 0 && n <= MAX_PATH && GetTempFileNameW(folder, L"dvx", 0, g_spooled) != 0) {
        out = CreateFileW(g_spooled, GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    }
    if (out == INVALID_HANDLE_VALUE) {
        fprintf(err, "darvex-cli: -: no temporary file for standard input\n");
        RemoveSpooled();
        return nullptr;
    }
    static char buffer[65536];
    const char* failure = nullptr;
    for (;;) {
        DWORD got = 0, put = 0;
        if (!ReadFile(in, buffer, sizeof buffer, &got, nullptr)) {
            if (GetLastError() != ERROR_BROKEN_PIPE) failure = "standard input cannot be read";
            break;   // a pipe whose writer has closed it has ended
        }
        if (got == 0) break;
        if (!WriteFile(out, buffer, got, &put, nullptr) || put != got) {
            failure = "the temporary file cannot be written";
            break;
        }
    }
    if (!CloseHandle(out) && !failure) failure = "the temporary file cannot be written";
    static char path[4 * (MAX_PATH + 16)];
    if (!failure && WideCharToMultiByte(CP_UTF8, 0, g_spooled, -1, path, sizeof path, nullptr, nullptr) == 0) {
        failure = "the temporary file has no UTF-8 name";
    }
    if (failure) {
        fprintf(err, "darvex-cli: -: %s\n", failure);
        RemoveSpooled();
        return nullptr;
    }
    return path;
}

int IsFolder(const char* path) {
    const std::wstring wide = Wide(path);
    if (wide.empty()) return 0;
    const DWORD attributes = GetFileAttributesW(LongForm(wide).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int ListFolder(const char* path, void (*each)(void*, const char*, bool), void* context) {
    std::wstring pattern = Wide(path);
    if (pattern.empty()) {
        errno = ENOENT;
        return kMsgOpenFailed;
    }
    const size_t length = strlen(path);
    const bool separated = path[length - 1] == '\\' || path[length - 1] == '/';
    pattern += separated ? L"*" : L"\\*";
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(LongForm(pattern).c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        if (e == ERROR_FILE_NOT_FOUND) return 0;   // no entry at all
        errno = e == ERROR_ACCESS_DENIED ? EACCES : ENOENT;
        return e == ERROR_ACCESS_DENIED ? kMsgAccessDenied : kMsgOpenFailed;
    }
    std::string entry;
    do {
        if (wcscmp(found.cFileName, L".") == 0 || wcscmp(found.cFileName, L"..") == 0) continue;
        const int size = WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, nullptr, 0, nullptr, nullptr);
        if (size <= 1) continue;
        std::string name(size_t(size), '\0');
        WideCharToMultiByte(CP_UTF8, 0, found.cFileName, -1, &name[0], size, nullptr, nullptr);
        name.resize(size_t(size - 1));
        entry.assign(path, length);
        if (!separated) entry += '\\';
        entry += name;
        each(context, entry.c_str(), (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return 0;
}
