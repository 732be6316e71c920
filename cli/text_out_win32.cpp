#include "cli/text_out.h"

#include <windows.h>

#include <cerrno>
#include <fcntl.h>
#include <io.h>

#include <vector>

namespace {

// The bytes either code page leaves undefined (0x81 of 1252, 0x80 of 932 and
// others) come back as C1 control characters, which no defined character is;
// they are shown as U+FFFD, as iconv's undefined bytes are.
void MarkUndefined(wchar_t* text, int n) {
    for (int i = 0; i < n; ++i) {
        if (text[i] >= 0x80 && text[i] <= 0x9F) text[i] = 0xFFFD;
    }
}

}  // namespace

int WriteConverted(FILE* out, int codePage, const char* bytes, size_t length) {
    if (length == 0) return 1;
    if (length > 0x7FFFFFFF) return 0;
    const UINT from = codePage == 932 ? 932 : 1252;
    const int n = int(length);
    const int wide = MultiByteToWideChar(from, 0, bytes, n, nullptr, 0);
    if (wide <= 0) return 0;
    std::vector<wchar_t> text(static_cast<size_t>(wide));
    MultiByteToWideChar(from, 0, bytes, n, text.data(), wide);
    MarkUndefined(text.data(), wide);
    fflush(out);
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        // A console shows every character, whatever its output code page;
        // the line ends stay LF, which the console moves down by as well.
        DWORD written = 0;
        return WriteConsoleW(handle, text.data(), DWORD(wide), &written, nullptr) && written == DWORD(wide);
    }
    const UINT to = GetConsoleOutputCP() ? GetConsoleOutputCP() : GetACP();
    const int size = WideCharToMultiByte(to, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return 0;
    std::vector<char> converted(static_cast<size_t>(size));
    WideCharToMultiByte(to, 0, text.data(), wide, converted.data(), size, nullptr, nullptr);
    return fwrite(converted.data(), 1, converted.size(), out) == converted.size();
}

int ConvertTypedText(int codePage, const char* text, char* converted, size_t size) {
    const UINT to = codePage == 932 ? 932 : 1252;
    wchar_t wide[1024];
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, -1, wide, 1024);
    if (n <= 0 || size > 0x7FFFFFFF) return -1;
    BOOL lost = FALSE;
    const int length = WideCharToMultiByte(to, WC_NO_BEST_FIT_CHARS, wide, n, converted, int(size), nullptr, &lost);
    return length <= 0 || lost ? -1 : length - 1;   // n counts the terminator
}

size_t ConvertToUtf8(int codePage, const char* bytes, size_t length, char* to, size_t room) {
    // One description at most, one wide character for each byte at most.
    static wchar_t wide[65536];
    if (length == 0 || length > 65535 || room > 0x7FFFFFFF) return 0;
    const UINT from = codePage == 932 ? 932 : 1252;
    const int n = MultiByteToWideChar(from, 0, bytes, int(length), wide, 65536);
    if (n <= 0) return 0;
    MarkUndefined(wide, n);
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, n, to, int(room), nullptr, nullptr);
    return size > 0 ? size_t(size) : 0;
}

void SetBinaryOutput(FILE* out) {
    fflush(out);
    _setmode(_fileno(out), _O_BINARY);
}

int ReaderLeft() {
    // The C runtime maps the pipe's ERROR_NO_DATA to EINVAL, ERROR_BROKEN_PIPE to EPIPE.
    const DWORD e = GetLastError();
    return errno == EPIPE || e == ERROR_NO_DATA || e == ERROR_BROKEN_PIPE;
}

int ReaderGone(FILE* out) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(out)));
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_PIPE) return 0;
    if (PeekNamedPipe(handle, nullptr, 0, nullptr, nullptr, nullptr)) return 0;
    DWORD e = GetLastError(), written = 0;
    // A write end without read access cannot be peeked: a write of no bytes tells.
    if (e != ERROR_BROKEN_PIPE && e != ERROR_NO_DATA) {
        if (WriteFile(handle, "", 0, &written, nullptr)) return 0;
        e = GetLastError();
    }
    return e == ERROR_BROKEN_PIPE || e == ERROR_NO_DATA;
}

void DiscardOutput(FILE* out) {
    // Should the null device fail to open, out is closed: no more reaches the reader either way.
    FILE* same = freopen("NUL", "w", out);
    (void)same;
}

void KeepOnBrokenPipe() {}
