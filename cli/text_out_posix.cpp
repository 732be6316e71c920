#include "cli/text_out.h"

#include <iconv.h>
#include <poll.h>
#include <signal.h>

#include <cerrno>
#include <cstring>

namespace {

// One converter per code page for the process: opening one is far dearer
// than a conversion, and a listing converts once per flushed block (of
// several logs, its lines may take turns between the two code pages).
iconv_t g_converters[2] = {iconv_t(-1), iconv_t(-1)};   // 1252's, 932's
bool g_opened[2];

iconv_t ConverterFor(int codePage) {
    const int i = codePage == 932 ? 1 : 0;
    if (!g_opened[i]) {
        g_converters[i] = iconv_open("UTF-8", i ? "CP932" : "CP1252");
        g_opened[i] = true;
    }
    return g_converters[i];
}

// Converts until the input ends or the room is short. An undefined byte (or
// a lead byte without its second byte) becomes U+FFFD and the text goes on
// after it.
size_t ConvertSome(iconv_t cd, char** in, size_t* left, char* to, size_t room) {
    char* const start = to;
    while (*left > 0) {
        const size_t r = iconv(cd, in, left, &to, &room);
        if (r != size_t(-1) || errno == E2BIG || room < 3) break;
        memcpy(to, "\xEF\xBF\xBD", 3);
        to += 3;
        room -= 3;
        ++*in;
        --*left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return size_t(to - start);
}

}  // namespace

int WriteConverted(FILE* out, int codePage, const char* bytes, size_t length) {
    iconv_t cd = ConverterFor(codePage);
    if (cd == iconv_t(-1)) return fwrite(bytes, 1, length, out) == length;
    char buffer[16384];
    char* in = const_cast<char*>(bytes);
    size_t left = length;
    while (left > 0) {
        const size_t n = ConvertSome(cd, &in, &left, buffer, sizeof buffer);
        if (fwrite(buffer, 1, n, out) != n) return 0;
    }
    return 1;
}

int ConvertTypedText(int codePage, const char* text, char* converted, size_t size) {
    iconv_t cd = iconv_open(codePage == 932 ? "CP932" : "CP1252", "UTF-8");
    if (cd == iconv_t(-1) || size == 0) return -1;
    char* in = const_cast<char*>(text);
    size_t left = strlen(text);
    char* to = converted;
    size_t room = size - 1;
    const size_t r = iconv(cd, &in, &left, &to, &room);
    iconv_close(cd);
    if (r == size_t(-1) || left != 0) return -1;
    *to = '\0';
    return int(to - converted);
}

size_t ConvertToUtf8(int codePage, const char* bytes, size_t length, char* to, size_t room) {
    iconv_t cd = ConverterFor(codePage);
    if (cd == iconv_t(-1)) {
        const size_t n = length < room ? length : room;
        memcpy(to, bytes, n);
        return n;
    }
    char* in = const_cast<char*>(bytes);
    return ConvertSome(cd, &in, &length, to, room);
}

void SetBinaryOutput(FILE*) {}

int ReaderLeft() { return errno == EPIPE; }

int ReaderGone(FILE* out) {
    // A pipe without reader reports POLLERR, a socket POLLHUP; no event is asked for.
    pollfd p = {fileno(out), 0, 0};
    return poll(&p, 1, 0) == 1 && (p.revents & (POLLERR | POLLHUP)) != 0;
}

void DiscardOutput(FILE* out) {
    // Should the null device fail to open, out is closed: no more reaches the reader either way.
    FILE* same = freopen("/dev/null", "w", out);
    (void)same;
}

void KeepOnBrokenPipe() { signal(SIGPIPE, SIG_IGN); }
