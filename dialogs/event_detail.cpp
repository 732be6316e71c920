#include "dialogs/event_detail.h"

#include <cstring>

#include "eventlist/filter.h"

namespace {

const char kHex[] = "0123456789ABCDEF";

inline char* PutByte(char* out, uint8_t b) {
    out[0] = kHex[b >> 4];
    out[1] = kHex[b & 15];
    return out + 2;
}

inline char* PutOffset(char* out, uint32_t offset) {
    out[0] = kHex[(offset >> 12) & 15];
    out[1] = kHex[(offset >> 8) & 15];
    out[2] = kHex[(offset >> 4) & 15];
    out[3] = kHex[offset & 15];
    out[4] = ':';
    return out + 5;
}

inline int32_t DumpedLength(int32_t dataLength) {
    if (dataLength <= 0) return 0;
    return dataLength > kMaxDumpBytes ? kMaxDumpBytes : dataLength;
}

}  // namespace

DetailFields EventDetailFields(const EventEntry& e) {
    DetailFields f;
    f.date = e.date + 2;
    f.time = e.time;
    f.computer = e.computer;
    f.component = ComponentName(e.component);
    f.module = ModuleName(e.module);
    f.type = TypeName(e.type);
    return f;
}

size_t CopyShownDescription(const uint8_t* record, const AnsiCodePage& page, char* out) {
    // The loader has checked that a zero byte ends the text inside descriptionLength.
    const char* text = reinterpret_cast<const char*>(RecordDescription(record));
    const size_t limit = RecordDescriptionLength(record);
    size_t n = 0;
    for (size_t chars = 0; chars < kShownDescriptionChars && n < limit && text[n] != '\0'; ++chars) {
        const size_t step = CharLength(page, text + n);
        if (n + step > limit) break;
        n += step;
    }
    memcpy(out, text, n);
    out[n] = '\0';
    return n;
}

size_t FormatByteDump(const uint8_t* data, int32_t dataLength, char* out, const AnsiCodePage& page) {
    const int32_t n = DumpedLength(dataLength);
    char* p = out;
    for (int32_t line = 0; line < n; line += 8) {
        if (line != 0) {
            *p++ = '\r';
            *p++ = '\n';
        }
        const int32_t k = n - line < 8 ? n - line : 8;
        p = PutOffset(p, uint32_t(line));
        for (int32_t i = 0; i < k; ++i) {
            *p++ = ' ';
            p = PutByte(p, data[line + i]);
        }
        // The character column starts at position 35 on every line.
        const int32_t pad = (10 - k) * 3;
        memset(p, ' ', size_t(pad));
        p += pad;
        for (int32_t i = 0; i < k; ++i) {
            uint8_t b = data[line + i];
            // A lead byte takes the next byte with it; without one on its line
            // it is shown as "." so that it cannot take the CR instead.
            if (page.isLead[b]) {
                if (i + 1 == k) {
                    b = 0;
                } else {
                    *p++ = char(b);
                    b = data[line + ++i];
                }
            }
            *p++ = b == 0 ? '.' : char(b);
        }
    }
    *p = '\0';
    return size_t(p - out);
}

size_t FormatWordDump(const uint8_t* data, int32_t dataLength, char* out) {
    const int32_t n = DumpedLength(dataLength);
    char* p = out;
    for (int32_t line = 0; line < n; line += 16) {
        if (line != 0) {
            *p++ = '\r';
            *p++ = '\n';
        }
        p = PutOffset(p, uint32_t(line));
        const int32_t lineEnd = n - line < 16 ? n : line + 16;
        for (int32_t group = line; group < lineEnd; group += 4) {
            const int32_t have = lineEnd - group < 4 ? lineEnd - group : 4;
            *p++ = ' ';
            // The group's bytes in reverse, missing ones as blanks on the left.
            for (int32_t i = 3; i >= 0; --i) {
                if (i < have) {
                    p = PutByte(p, data[group + i]);
                } else {
                    *p++ = ' ';
                    *p++ = ' ';
                }
            }
        }
    }
    *p = '\0';
    return size_t(p - out);
}

size_t FormatEventDump(const uint8_t* record, DumpLayout layout, const AnsiCodePage& page, char* out) {
    const int32_t length = int32_t(RecordDataLength(record));
    if (layout == kDumpWord) return FormatWordDump(RecordData(record), length, out);
    return FormatByteDump(RecordData(record), length, out, page);
}
