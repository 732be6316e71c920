#include "cli/cli_export.h"

#include <cstdlib>
#include <cstring>

#include "cli/cli_run.h"
#include "cli/text_out.h"
#include "logfile/log_format.h"

namespace {

const char* const kFieldNames[] = {"type",       "typeName",   "time",     "component", "componentName", "module",
                                   "moduleName", "computer",   "source",   "description", "data"};
constexpr int kSourceField = 8;   // only when several logs are read
constexpr int kFieldCount = int(sizeof kFieldNames / sizeof kFieldNames[0]);

// The name tables pad with blanks.
size_t TrimmedLength(const char* name) {
    size_t n = strlen(name);
    while (n > 0 && name[n - 1] == ' ') --n;
    return n;
}

// Before each field: the CSV comma or the JSON key.
void BeginField(EventWriter* x) {
    const char* name = kFieldNames[x->field];
    if (x->format == kFormatCsv) {
        if (x->field != 0) PutText(x->out, ",", 1);
    } else {
        PutText(x->out, x->field == 0 ? "{\"" : ",\"", 2);
        PutText(x->out, name);
        PutText(x->out, "\":", 2);
    }
    ++x->field;
}

char* PutDigits(char* p, unsigned value) {
    char digits[8];
    int n = sizeof digits;
    do {
        digits[--n] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    memcpy(p, digits + n, sizeof digits - size_t(n));
    return p + (sizeof digits - size_t(n));
}

void PutNumber(EventWriter* x, unsigned value) {
    BeginField(x);
    char digits[8];
    PutText(x->out, digits, size_t(PutDigits(digits, value) - digits));
}

// A CSV field is quoted when it holds a comma, a quote or a control
// character (a line break, or an ESC that must not reach a terminal bare);
// its quotes are doubled.
void PutCsvText(CliOutput* out, const char* text, size_t length) {
    bool quoted = false;
    for (size_t i = 0; i < length && !quoted; ++i) {
        quoted = text[i] == ',' || text[i] == '"' || uint8_t(text[i]) < 0x20 || text[i] == 0x7F;
    }
    if (!quoted) {
        PutText(out, text, length);
        return;
    }
    PutText(out, "\"", 1);
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] != '"') continue;
        PutText(out, text + start, i + 1 - start);   // the quote, then its double
        start = i;
    }
    PutText(out, text + start, length - start);
    PutText(out, "\"", 1);
}

// A JSON string: the quote, the backslash and the control characters escaped.
void PutJsonText(CliOutput* out, const char* text, size_t length) {
    static const char kHex[] = "0123456789abcdef";
    PutText(out, "\"", 1);
    size_t start = 0;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t c = uint8_t(text[i]);
        if (c >= 0x20 && c != '"' && c != '\\') continue;
        PutText(out, text + start, i - start);
        char escape[6] = {'\\', char(c), 0, 0, 0, 0};
        size_t n = 2;
        if (c == '\n') escape[1] = 'n';
        else if (c == '\r') escape[1] = 'r';
        else if (c == '\t') escape[1] = 't';
        else if (c < 0x20) {
            memcpy(escape + 1, "u00", 3);
            escape[4] = kHex[c >> 4];
            escape[5] = kHex[c & 15];
            n = 6;
        }
        PutText(out, escape, n);
        start = i + 1;
    }
    PutText(out, text + start, length - start);
    PutText(out, "\"", 1);
}

// A text of the log's code page as UTF-8. The escapes work on the UTF-8
// bytes: every byte of a multi-byte character is above 0x7F, so no second
// byte of a Shift-JIS character is taken for a quote or a backslash.
void PutString(EventWriter* x, const char* text, size_t length) {
    BeginField(x);
    if (!AllAscii(text, length)) {
        length = ConvertToUtf8(OutputCodePage(x->out), text, length, x->utf8, sizeof x->utf8);
        text = x->utf8;
    }
    if (x->format == kFormatCsv) PutCsvText(x->out, text, length);
    else PutJsonText(x->out, text, length);
}

void PutName(EventWriter* x, const char* name) { PutString(x, name, TrimmedLength(name)); }

// The data as lowercase hex, converted a piece at a time.
void PutHex(EventWriter* x, const uint8_t* data, uint32_t length) {
    static const char kHex[] = "0123456789abcdef";
    BeginField(x);
    if (x->format != kFormatCsv) PutText(x->out, "\"", 1);
    char piece[512];
    for (uint32_t at = 0; at < length;) {
        size_t n = 0;
        for (; at < length && n < sizeof piece; ++at, n += 2) {
            piece[n] = kHex[data[at] >> 4];
            piece[n + 1] = kHex[data[at] & 15];
        }
        PutText(x->out, piece, n);
    }
    if (x->format != kFormatCsv) PutText(x->out, "\"", 1);
}

// The same fields written straight into the output's block, when an event's
// most is known to fit there: a few table lookups a byte instead of a call a
// piece.
struct FieldKey {
    const char* text;
    size_t length;
};
#define DARVEX_KEY(text) {text, sizeof text - 1}
const FieldKey kJsonKeys[kFieldCount] = {
    DARVEX_KEY("{\"type\":"),          DARVEX_KEY(",\"typeName\":"), DARVEX_KEY(",\"time\":"),
    DARVEX_KEY(",\"component\":"),     DARVEX_KEY(",\"componentName\":"), DARVEX_KEY(",\"module\":"),
    DARVEX_KEY(",\"moduleName\":"),    DARVEX_KEY(",\"computer\":"), DARVEX_KEY(",\"source\":"),
    DARVEX_KEY(",\"description\":"),  DARVEX_KEY(",\"data\":")};
#undef DARVEX_KEY

// Per byte: 1 when a JSON string escapes it, 2 when a CSV field is quoted for it.
struct ByteClasses {
    uint8_t of[256];
    char hex[512];   // each byte as two lowercase hex digits
    ByteClasses() {
        for (int c = 0; c < 256; ++c) {
            of[c] = uint8_t((c < 0x20 || c == '"' || c == '\\' ? 1 : 0) | (c < 0x20 || c == 0x7F || c == ',' || c == '"' ? 2 : 0));
            hex[2 * c] = "0123456789abcdef"[c >> 4];
            hex[2 * c + 1] = "0123456789abcdef"[c & 15];
        }
    }
};
const ByteClasses kBytes;

char* PutKey(char* p, const EventWriter* x, int field) {
    if (x->format != kFormatCsv) {
        memcpy(p, kJsonKeys[field].text, kJsonKeys[field].length);
        return p + kJsonKeys[field].length;
    }
    if (field != 0) *p++ = ',';
    return p;
}

// From i, past the whole words of bytes the format writes as they are, copied
// to the same places in to as they have in text: none
// below 0x20, no quote, and for JSON no backslash (UTF-8's bytes above 0x7F
// pass), for CSV no comma and no 0x7F.
size_t PlainRun(const char* text, size_t i, size_t length, bool csv, char* to) {
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    const uint64_t second = kOnes * uint8_t(csv ? ',' : '\\'), third = kOnes * uint8_t(csv ? 0x7F : '"');
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        memcpy(&w, text + i, 8);
        const uint64_t quote = w ^ (kOnes * '"');
        const uint64_t found = ((w - kOnes * 0x20) | (quote - kOnes) | ((w ^ second) - kOnes) | ((w ^ third) - kOnes)) &
                               ~w & kHighs;
        if (found) break;
        memcpy(to + i, &w, 8);   // to stands for text's first byte
    }
    return i;
}

// As PutJsonText and PutCsvText, into p, which has room for six bytes a byte.
char* PutFieldText(char* p, const EventWriter* x, const char* text, size_t length) {
    if (x->format == kFormatCsv) {
        size_t i = PlainRun(text, 0, length, true, p);
        for (; i < length && !(kBytes.of[uint8_t(text[i])] & 2); ++i) p[i] = text[i];
        if (i == length) return p + length;
        *p++ = '"';
        for (i = 0; i < length; ++i) {
            if (text[i] == '"') *p++ = '"';
            *p++ = text[i];
        }
        *p++ = '"';
        return p;
    }
    static const char kHex[] = "0123456789abcdef";
    *p++ = '"';
    for (size_t i = 0; i < length;) {
        size_t run = PlainRun(text, i, length, false, p - i);
        for (; run < length && !(kBytes.of[uint8_t(text[run])] & 1); ++run) p[run - i] = text[run];
        p += run - i;
        if (run == length) break;
        const uint8_t c = uint8_t(text[run]);
        *p++ = '\\';
        if (c == '\n') *p++ = 'n';
        else if (c == '\r') *p++ = 'r';
        else if (c == '\t') *p++ = 't';
        else if (c < 0x20) {
            memcpy(p, "u00", 3);
            p[3] = kHex[c >> 4];
            p[4] = kHex[c & 15];
            p += 5;
        } else *p++ = char(c);
        i = run + 1;
    }
    *p++ = '"';
    return p;
}

// A text of the log's code page (at most 24 bytes: a name) as UTF-8, then as a field.
char* PutShortText(char* p, EventWriter* x, const char* text, size_t length) {
    char utf8[3 * 24];
    if (!AllAscii(text, length)) {
        length = ConvertToUtf8(OutputCodePage(x->out), text, length, utf8, sizeof utf8);
        text = utf8;
    }
    return PutFieldText(p, x, text, length);
}

// The most one event can take with its description of length bytes (UTF-8)
// and its data: each text byte six at most, the names 24 bytes each at most.
size_t MostOf(const EventWriter* x, size_t length, uint32_t dataLength) {
    return 512 + 4 * 6 * 3 * 24 + 6 * (length + x->sourceLength) + (x->noData ? 0 : 2 * size_t(dataLength));
}

// The fields an event shares with the others of its type, component and
// module (and the log's computer): from the type to the time's key, and from
// the component to the description's key, written once.
struct EventHead {
    uint16_t headLength, restLength;
    char text[1];   // the head, then the rest: made once, as long as they are
};

constexpr int kHeadCount = 5 * kComponentNameCount * (kModuleNameCount - 1);

// Each log's heads (its computer and source are its own), made as they are first needed.
struct EventHeads {
    Utf8Table utf8[2];   // 1252's and 932's, codePage 0 until a text needs it
    EventHead** heads;   // kHeadCount a log
    uint32_t logs;
};

// A source no longer than this goes into a head's rest.
constexpr size_t kCachedSourceSize = 160;

// The description's key follows the computer; a CSV's text starts there.
char* PutSharedFields(EventWriter* x, const EventEntry& e, const char* const names[3], const size_t nameLengths[3],
                      char* p, int from) {
    if (from == 0) {
        p = PutDigits(PutKey(p, x, 0), e.type);
        return PutKey(PutShortText(PutKey(p, x, 1), x, names[0], nameLengths[0]), x, 2);
    }
    p = PutDigits(PutKey(p, x, 3), e.component);
    p = PutShortText(PutKey(p, x, 4), x, names[1], nameLengths[1]);
    p = PutDigits(PutKey(p, x, 5), e.module);
    p = PutShortText(PutKey(p, x, 6), x, names[2], nameLengths[2]);
    p = PutShortText(PutKey(p, x, 7), x, e.computer, e.computerLength);
    if (x->source) p = PutFieldText(PutKey(p, x, kSourceField), x, x->source, x->sourceLength);   // UTF-8 already
    return PutKey(p, x, 9);
}

// The event written straight into the block; false when it may not fit
// there (a long description or data), which leaves the block as it was.
bool PutEventDirect(EventWriter* x, const EventEntry& e, EventHeads* heads, uint32_t log = 0) {
    const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
    size_t length = RecordDescriptionLength(e.record) ? strlen(text) : 0;
    const uint32_t dataLength = RecordDataLength(e.record);
    if (MostOf(x, length * 3, dataLength) > kOutputBlockSize) return false;
    EventHead* head = nullptr;
    EventHead** slot = nullptr;
    if (heads && log < heads->logs && x->sourceLength <= kCachedSourceSize && e.type <= 4 &&
        e.component < kComponentNameCount && e.module < kModuleNameCount - 1) {
        slot = &heads->heads[size_t(log) * kHeadCount + (e.type * kComponentNameCount + e.component) * (kModuleNameCount - 1) + e.module];
        head = *slot;
    }
    const char* const names[3] = {TypeName(e.type), ComponentName(e.component), ModuleName(e.module)};
    size_t nameLengths[3] = {};
    if (!head) {
        for (int i = 0; i < 3; ++i) nameLengths[i] = TrimmedLength(names[i]);
        if (nameLengths[0] > 24 || nameLengths[1] > 24 || nameLengths[2] > 24 || e.computerLength > 24) return false;
    }
    if (slot && !head) {
        char made[512 + 2048];
        const size_t headLength = size_t(PutSharedFields(x, e, names, nameLengths, made, 0) - made);
        const size_t restLength = size_t(PutSharedFields(x, e, names, nameLengths, made + headLength, 3) - (made + headLength));
        if ((head = static_cast<EventHead*>(malloc(sizeof(EventHead) + headLength + restLength))) != nullptr) {
            head->headLength = uint16_t(headLength);
            head->restLength = uint16_t(restLength);
            memcpy(head->text, made, headLength + restLength);
            *slot = head;
        }
    }
    // ASCII reads the same in UTF-8: only the text from its first other byte is converted.
    const size_t plain = PlainPrefix(text, length);
    if (plain < length) {
        memcpy(x->utf8, text, plain);
        const int codePage = OutputCodePage(x->out);
        size_t n = SIZE_MAX;
        if (heads) {
            Utf8Table& table = heads->utf8[codePage == 932 ? 1 : 0];
            if (table.codePage != codePage) MakeUtf8Table(&table, codePage);
            n = TableToUtf8(table, text + plain, length - plain, x->utf8 + plain);
        }
        if (n == SIZE_MAX) n = ConvertToUtf8(codePage, text + plain, length - plain, x->utf8 + plain, sizeof x->utf8 - plain);
        length = plain + n;
        text = x->utf8;
    }
    char* p = OutputRoom(x->out, MostOf(x, length, dataLength));
    if (head) {
        memcpy(p, head->text, head->headLength);
        p += head->headLength;
    } else {
        p = PutSharedFields(x, e, names, nameLengths, p, 0);
    }
    const bool csv = x->format == kFormatCsv;
    char time[kIsoTimeSize];
    FormatIsoTime(e, time);
    if (!csv) *p++ = '"';
    memcpy(p, time, sizeof time);   // no byte of it is escaped or quoted
    p += sizeof time;
    if (!csv) *p++ = '"';
    if (head) {
        memcpy(p, head->text + head->headLength, head->restLength);
        p += head->restLength;
    } else {
        p = PutSharedFields(x, e, names, nameLengths, p, 3);
    }
    p = PutFieldText(p, x, text, length);
    if (!x->noData) {
        p = PutKey(p, x, 10);
        if (!csv) *p++ = '"';
        const uint8_t* data = RecordData(e.record);
        for (uint32_t i = 0; i < dataLength; ++i, p += 2) memcpy(p, kBytes.hex + 2 * data[i], 2);
        if (!csv) *p++ = '"';
    }
    if (!csv) *p++ = '}';
    OutputUsed(x->out, p);
    return true;
}

// The fields one by one through PutText: an event too long for the block's direct writing.
void PutEventPieces(EventWriter* x, const EventEntry& e) {
    x->field = 0;
    PutNumber(x, e.type);
    PutName(x, TypeName(e.type));
    char time[kIsoTimeSize];
    FormatIsoTime(e, time);
    PutString(x, time, sizeof time);
    PutNumber(x, e.component);
    PutName(x, ComponentName(e.component));
    PutNumber(x, e.module);
    PutName(x, ModuleName(e.module));
    PutString(x, e.computer, e.computerLength);
    if (x->source) {
        BeginField(x);
        if (x->format == kFormatCsv) PutCsvText(x->out, x->source, x->sourceLength);
        else PutJsonText(x->out, x->source, x->sourceLength);
    } else {
        ++x->field;
    }
    // The loader has made sure a zero byte ends the description.
    const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
    PutString(x, text, RecordDescriptionLength(e.record) ? strlen(text) : 0);
    if (!x->noData) PutHex(x, RecordData(e.record), RecordDataLength(e.record));
    if (x->format != kFormatCsv) PutText(x->out, "}", 1);
}

}  // namespace

namespace {

// One entry: the bytes' conversion, if it is at most a character long.
void SetEntry(uint8_t entry[4], const char* bytes, size_t length) {
    entry[0] = length <= 3 ? uint8_t(length) : 0xFF;
    if (length <= 3) memcpy(entry + 1, bytes, length);
}

}  // namespace

void MakeUtf8Table(Utf8Table* t, int codePage) {
    t->codePage = codePage;
    char out[32];
    for (int b = 0x80; b < 0x100; ++b) {
        const char one = char(b);
        SetEntry(t->single[b - 0x80], out, ConvertToUtf8(codePage, &one, 1, out, sizeof out));
    }
    for (int b = 0x80; b < 0x100; ++b) {
        const uint8_t* first = t->single[b - 0x80];
        for (int c = 0; c < 0x100; ++c) {
            const char two[2] = {char(b), char(c)};
            const size_t n = ConvertToUtf8(codePage, two, 2, out, sizeof out);
            uint8_t* entry = t->pair[b - 0x80][c];
            const uint8_t* second = c < 0x80 ? nullptr : t->single[c - 0x80];
            if (first[0] == 0xFF || (second && second[0] == 0xFF)) {
                entry[0] = 0xFF;   // no telling the bytes apart: ConvertToUtf8 converts such a text
                continue;
            }
            // The two one by one, as ConvertToUtf8 gives them when they are no character together.
            char apart[8];
            memcpy(apart, first + 1, first[0]);
            size_t m = first[0];
            if (second) memcpy(apart + m, second + 1, second[0]), m += second[0];
            else apart[m++] = char(c);
            if (n == m && memcmp(out, apart, m) == 0) entry[0] = 0;
            else SetEntry(entry, out, n);
        }
    }
}

size_t TableToUtf8(const Utf8Table& t, const char* bytes, size_t length, char* to) {
    char* const start = to;
    for (size_t i = 0; i < length;) {
        const uint8_t b = uint8_t(bytes[i]);
        if (b < 0x80) {
            *to++ = char(b);
            ++i;
            continue;
        }
        const uint8_t* e = i + 1 < length ? t.pair[b - 0x80][uint8_t(bytes[i + 1])] : t.single[b - 0x80];
        if (e[0] == 0xFF) return SIZE_MAX;
        if (e[0] != 0 && i + 1 < length) {
            i += 2;
        } else {
            e = t.single[b - 0x80];
            ++i;
        }
        memcpy(to, e + 1, 3);
        to += e[0];
    }
    return size_t(to - start);
}

void PutEventFields(EventWriter* x, const EventEntry& e) {
    x->source = nullptr;
    x->sourceLength = 0;
    if (!PutEventDirect(x, e, nullptr)) PutEventPieces(x, e);
}

int ExportEvents(const CliOptions& o, const Timeline& tl, CliOutput* out, FILE* err) {
    EventWriter* x = static_cast<EventWriter*>(malloc(sizeof(EventWriter)));
    if (!x) {
        fprintf(err, "darvex-cli: Area for execution is not enough.\n");
        return kExitNoMemory;
    }
    x->out = out;
    x->format = o.format;
    x->noData = o.noData;
    x->source = nullptr;
    x->sourceLength = 0;
    // The texts are UTF-8 already when they reach the output, and the line
    // ends are the format's.
    out->raw = true;
    SetBinaryOutput(out->file);
    EventHeads* heads = static_cast<EventHeads*>(calloc(1, sizeof(EventHeads)));
    if (heads) heads->heads = static_cast<EventHead**>(calloc(size_t(tl.count) * kHeadCount, sizeof(EventHead*)));
    if (heads) heads->logs = heads->heads ? tl.count : 0;
    TimelineCursor cursor;
    if (StartTimeline(&cursor, tl) != 0) {
        if (heads) free(heads->heads);
        free(heads);
        free(x);
        fprintf(err, "darvex-cli: Area for execution is not enough.\n");
        return kExitNoMemory;
    }
    // Several logs: each event names its log after its computer, and its texts are of its log's code page.
    const auto putEvent = [&](const EventEntry& e) {
        SelectLog(out, cursor.source);
        if (tl.several) {
            x->source = tl.logs[cursor.source].shown;
            x->sourceLength = tl.logs[cursor.source].shownLength;
        }
        if (!PutEventDirect(x, e, heads, cursor.source)) PutEventPieces(x, e);
    };
    if (o.format == kFormatCsv) {
        if (o.bom) PutText(out, "\xEF\xBB\xBF", 3);   // tells spreadsheet programs the text is UTF-8
        for (int f = 0; f < kFieldCount - (o.noData ? 1 : 0); ++f) {
            if (f == kSourceField && !tl.several) continue;
            if (f != 0) PutText(out, ",", 1);
            PutText(out, kFieldNames[f]);
        }
        PutText(out, "\r\n", 2);
        while (const EventEntry* e = out->failed ? nullptr : NextEvent(&cursor, tl)) {
            putEvent(*e);
            PutText(out, "\r\n", 2);
        }
    } else {
        // JSON: "[", then each object behind a line end (and a comma from the second on), "\n]" after the last.
        const bool array = o.format == kFormatJson;
        if (array) PutText(out, "[", 1);
        while (const EventEntry* e = out->failed ? nullptr : NextEvent(&cursor, tl)) {
            if (array) PutText(out, cursor.row == 1 ? "\n" : ",\n", cursor.row == 1 ? 1 : 2);
            putEvent(*e);
            if (!array) PutText(out, "\n", 1);
        }
        if (array) PutText(out, cursor.row ? "\n]\n" : "]\n", cursor.row ? 3 : 2);
    }
    EndTimeline(&cursor);
    if (heads) {
        for (size_t i = 0; i < size_t(heads->logs) * kHeadCount; ++i) free(heads->heads[i]);
        free(heads->heads);
    }
    free(heads);
    free(x);
    return kExitOk;
}
