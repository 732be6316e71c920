#include "cli/cli_export.h"

#include <cstdlib>
#include <cstring>

#include "cli/cli_run.h"
#include "cli/text_out.h"
#include "logfile/log_format.h"

namespace {

const char* const kFieldNames[] = {"type",   "typeName",   "time",     "component",   "componentName",
                                   "module", "moduleName", "computer", "description", "data"};
constexpr int kFieldCount = int(sizeof kFieldNames / sizeof kFieldNames[0]);

bool AllAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (uint8_t(text[i]) > 0x7F) return false;
    }
    return true;
}

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

void PutNumber(EventWriter* x, unsigned value) {
    BeginField(x);
    char digits[8];
    int n = sizeof digits;
    do {
        digits[--n] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    PutText(x->out, digits + n, sizeof digits - size_t(n));
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

}  // namespace

void PutEventFields(EventWriter* x, const EventEntry& e) {
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
    // The loader has made sure a zero byte ends the description.
    const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
    PutString(x, text, RecordDescriptionLength(e.record) ? strlen(text) : 0);
    if (!x->noData) PutHex(x, RecordData(e.record), RecordDataLength(e.record));
    if (x->format != kFormatCsv) PutText(x->out, "}", 1);
}

int ExportEvents(const CliOptions& o, const LogRows& rows, CliOutput* out, FILE* err) {
    EventWriter* x = static_cast<EventWriter*>(malloc(sizeof(EventWriter)));
    if (!x) {
        fprintf(err, "darvex-cli: Area for execution is not enough.\n");
        return kExitNoMemory;
    }
    x->out = out;
    x->format = o.format;
    x->noData = o.noData;
    // The texts are UTF-8 already when they reach the output, and the line
    // ends are the format's.
    out->raw = true;
    SetBinaryOutput(out->file);
    RowCursor cursor;
    StartRows(&cursor, rows);
    if (o.format == kFormatCsv) {
        if (o.bom) PutText(out, "\xEF\xBB\xBF", 3);   // tells spreadsheet programs the text is UTF-8
        for (int f = 0; f < kFieldCount - (o.noData ? 1 : 0); ++f) {
            if (f != 0) PutText(out, ",", 1);
            PutText(out, kFieldNames[f]);
        }
        PutText(out, "\r\n", 2);
        while (const EventEntry* e = out->failed ? nullptr : NextRow(&cursor, rows)) {
            PutEventFields(x, *e);
            PutText(out, "\r\n", 2);
        }
    } else {
        // JSON: "[", then each object behind a line end (and a comma from the second on), "\n]" after the last.
        const bool array = o.format == kFormatJson;
        if (array) PutText(out, "[", 1);
        while (const EventEntry* e = out->failed ? nullptr : NextRow(&cursor, rows)) {
            if (array) PutText(out, cursor.row == 1 ? "\n" : ",\n", cursor.row == 1 ? 1 : 2);
            PutEventFields(x, *e);
            if (!array) PutText(out, "\n", 1);
        }
        if (array) PutText(out, cursor.row ? "\n]\n" : "]\n", cursor.row ? 3 : 2);
    }
    free(x);
    return kExitOk;
}
