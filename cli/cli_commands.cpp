#include "cli/cli_commands.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "cli/cli_check.h"
#include "cli/cli_run.h"
#include "dialogs/printing.h"

namespace {

void PutFormatted(CliOutput* out, const char* format, const char* const* args, int count) {
    char line[kPrintLineSize];
    FormatStrings(line, sizeof line, format, args, count);
    PutEscaped(out, line, strlen(line));
    PutText(out, "\n", 1);
}

// The byte dump's lines but the last are of one size: the offset, eight bytes
// and their characters, which may be CR and LF themselves.
constexpr size_t kByteDumpLineSize = 35 + 8;

// Lines of a text, each printed behind six blanks as the printout does; an
// empty text is one line of the blanks alone. The lines end in CR LF, or are
// lineSize bytes each (but the last) with a CR LF after each.
void PutIndentedLines(CliOutput* out, const char* text, size_t length, size_t lineSize = 0) {
    size_t start = 0;
    for (size_t i = 0;; ++i) {
        const bool lineEnd = lineSize ? i == start + lineSize && i + 2 < length
                                      : i + 1 < length && text[i] == '\r' && text[i + 1] == '\n';
        if (!lineEnd && i < length) continue;
        PutText(out, "      ", 6);
        PutEscaped(out, text + start, i - start);
        PutText(out, "\n", 1);
        if (!lineEnd) return;
        start = ++i + 1;
    }
}

void PutStamp(CliOutput* out, const char* label, const char stamp[kStampSize]) {
    char line[64];
    snprintf(line, sizeof line, "%s%.10s %.8s", label, stamp, stamp + 10);
    PutLine(out, line);
}

void PutCount(CliOutput* out, const char* name, uint32_t count) {
    size_t n = strlen(name);
    while (n > 0 && name[n - 1] == ' ') --n;   // the name tables pad with blanks
    char line[80];
    snprintf(line, sizeof line, "  %-20.*s %lu", int(n), name, static_cast<unsigned long>(count));
    PutLine(out, line);
}

}  // namespace

void PutListRow(CliOutput* out, const EventEntry& e) {
    char line[kPrintLineSize];
    const int n = FormatListRow(e, line, sizeof line);
    PutEscaped(out, line, size_t(n < kPrintLineSize ? n : kPrintLineSize - 1));
    PutText(out, "\n", 1);
}

// --format line: the fields, blanks padding a name dropped, separated by tabs.
void PutLineRow(CliOutput* out, const EventEntry& e) {
    char time[kIsoTimeSize];
    FormatIsoTime(e, time);
    PutText(out, time, sizeof time);
    for (const char* name : {TypeName(e.type), ComponentName(e.component), ModuleName(e.module)}) {
        size_t n = strlen(name);
        while (n > 0 && name[n - 1] == ' ') --n;
        PutText(out, "\t", 1);
        PutEscaped(out, name, n);
    }
    PutText(out, "\t", 1);
    PutEscaped(out, e.computer, e.computerLength);
    PutText(out, "\t", 1);
    // The loader has made sure a zero byte ends the description.
    const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
    PutEscaped(out, text, RecordDescriptionLength(e.record) ? strcspn(text, "\r\n") : 0);
    PutText(out, "\n", 1);
}

namespace {

// The list's rows of one type, component and module differ only in the
// stamp: such a row is formatted once, with stand-ins for the stamp's
// sixteen characters (bytes 1 to 16: no name holds them, and like the
// digits they are single-byte characters in every code page, so the row is
// cut where it would be cut), and each row is that line with its stamp put
// where the stand-ins landed.
struct RowTemplate {
    bool made;
    bool usable;            // no byte of the line is escaped
    uint16_t length;
    uint8_t at[16];         // where each stamp character goes; 0xFF: cut off
    char line[kPrintLineSize];
};

constexpr int kTemplateCount = 5 * kComponentNameCount * (kModuleNameCount - 1);

struct ListRowCache {
    char computer[sizeof(EventEntry::computer)];
    RowTemplate rows[kTemplateCount];
};

void MakeTemplate(RowTemplate* t, const EventEntry& e) {
    t->made = true;
    t->usable = false;
    for (const char* text : {TypeName(e.type), ComponentName(e.component), ModuleName(e.module), e.computer}) {
        for (; *text; ++text) {
            if (uint8_t(*text) < 0x20) return;
        }
    }
    EventEntry d = e;
    memcpy(d.date + 2, "\1\2\3\4\5\6\7\10", 8);
    memcpy(d.time, "\11\12\13\14\15\16\17\20", 8);
    const int n = FormatListRow(d, t->line, sizeof t->line);
    t->length = uint16_t(n < kPrintLineSize ? n : kPrintLineSize - 1);
    memset(t->at, 0xFF, sizeof t->at);
    for (uint16_t i = 0; i < t->length; ++i) {
        const uint8_t c = uint8_t(t->line[i]);
        if (c >= 1 && c <= 16 && t->at[c - 1] == 0xFF) t->at[c - 1] = uint8_t(i);
        else if (c < 0x20 || c == 0x7F) return;
    }
    t->usable = true;
}

void PutCachedListRow(ListRowCache* cache, CliOutput* out, const EventEntry& e) {
    if (e.component >= kComponentNameCount || e.module >= kModuleNameCount - 1) return PutListRow(out, e);
    if (memcmp(cache->computer, e.computer, sizeof cache->computer) != 0) {
        memcpy(cache->computer, e.computer, sizeof cache->computer);
        for (RowTemplate& t : cache->rows) t.made = false;
    }
    RowTemplate& t = cache->rows[((e.type <= 4 ? e.type : 0) * kComponentNameCount + e.component) * (kModuleNameCount - 1) + e.module];
    if (!t.made) MakeTemplate(&t, e);
    if (!t.usable) return PutListRow(out, e);
    char* p = OutputRoom(out, t.length + 1u);
    memcpy(p, t.line, t.length);
    for (int i = 0; i < 8; ++i) {
        if (t.at[i] != 0xFF) p[t.at[i]] = e.date[2 + i];
        if (t.at[8 + i] != 0xFF) p[t.at[8 + i]] = e.time[i];
    }
    p[t.length] = '\n';
    OutputUsed(out, p + t.length + 1);
}

}  // namespace

int ListRows(const CliOptions& o, const LogRows& rows, CliOutput* out) {
    const PrintTexts& t = g_printTexts;
    RowCursor cursor;
    StartRows(&cursor, rows);
    if (o.lineFormat) {
        while (const EventEntry* e = out->failed ? nullptr : NextRow(&cursor, rows)) PutLineRow(out, *e);
        return kExitOk;
    }
    if (!o.noHeader) {
        const char* titles[] = {t.type, t.date, t.time, t.component, t.module, t.computer};
        PutFormatted(out, t.listHeader, titles, 6);
    }
    ListRowCache* cache = new ListRowCache();
    while (const EventEntry* e = out->failed ? nullptr : NextRow(&cursor, rows)) PutCachedListRow(cache, out, *e);
    delete cache;
    return kExitOk;
}

int ShowEvent(const CliOptions& o, const LogRows& rows, CliOutput* out, FILE* err) {
    char* end = nullptr;
    const unsigned long row = strtoul(o.row, &end, 10);
    RowCursor cursor;
    const EventEntry* found = nullptr;
    if (o.row[0] >= '0' && o.row[0] <= '9' && *end == '\0' && row < UINT32_MAX) found = RowAt(&cursor, rows, uint32_t(row));
    if (!found) {
        fprintf(err, "darvex-cli: row %s is not listed (%lu rows)\n", o.row, static_cast<unsigned long>(CountRows(rows)));
        return kExitUsage;
    }
    const EventEntry& e = *found;
    const PrintTexts& t = g_printTexts;
    const char* pair[2] = {t.date, e.date + 2};
    PutFormatted(out, t.dateTimeLine, pair, 2);
    pair[0] = t.time;
    pair[1] = e.time;
    PutFormatted(out, t.dateTimeLine, pair, 2);
    const char* value = e.computer;
    PutFormatted(out, t.computerLine, &value, 1);
    PutLine(out, "");
    value = ComponentName(e.component);
    PutFormatted(out, t.componentLine, &value, 1);
    value = ModuleName(e.module);
    PutFormatted(out, t.moduleLine, &value, 1);
    value = TypeName(e.type);
    PutFormatted(out, t.typeLine, &value, 1);
    PutLine(out, "");
    PutLine(out, "");
    PutLine(out, t.descriptionHeading);
    PutLine(out, "");
    // The whole description: the loader has made sure a zero byte ends it.
    const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
    PutIndentedLines(out, text, RecordDescriptionLength(e.record) ? strlen(text) : 0);
    PutLine(out, "");
    PutLine(out, t.dataHeading);
    PutLine(out, "");
    char* dump = static_cast<char*>(malloc(kWorkBufferSize));
    if (!dump) {
        fprintf(err, "darvex-cli: Area for execution is not enough.\n");
        return kExitNoMemory;
    }
    // A lead byte at a line's end is shown as "." only under a double-byte page.
    const AnsiCodePage& page = OutputCodePage(out) == 932 ? ShiftJisCodePage() : SingleByteCodePage();
    const size_t n = FormatEventDump(e.record, o.dump, page, dump);
    PutIndentedLines(out, dump, n, o.dump == kDumpByte ? kByteDumpLineSize : 0);
    free(dump);
    return kExitOk;
}

int ShowStats(const LogRows& rows, CliOutput* out) {
    uint32_t types[5] = {};   // by type code 0..4, other codes with code 0
    uint32_t components[kComponentNameCount] = {};
    uint32_t modules[kModuleNameCount] = {};
    uint32_t byCode[8][kComponentNameCount][kModuleNameCount] = {};   // a mapped log's records, before the sums
    for (uint32_t slot = 0; slot < rows.count; ++slot) {
        if (!rows.loaded) {
            // Only the type and the module code: no entry is decoded.
            const uint8_t* r = rows.area + rows.positions[slot];
            uint16_t component, module;
            ClassifyModuleCode(RecordModuleCode(r), &component, &module);
            const uint16_t type = RecordType(r);
            ++byCode[type <= 4 ? type : 0][component < kComponentNameCount ? component : 0]
                    [module + 1u < kModuleNameCount ? module + 1u : 0];
            continue;
        }
        const EventEntry& e = rows.loaded->table.entries[slot];
        ++types[e.type <= 4 ? e.type : 0];
        ++components[e.component < kComponentNameCount ? e.component : 0];
        ++modules[e.module + 1u < kModuleNameCount ? e.module + 1u : 0];
    }
    for (int t = 0; t < 5; ++t) {
        for (int c = 0; c < kComponentNameCount; ++c) {
            for (int m = 0; m < kModuleNameCount; ++m) {
                types[t] += byCode[t][c][m];
                components[c] += byCode[t][c][m];
                modules[m] += byCode[t][c][m];
            }
        }
    }
    const uint32_t count = rows.count;
    char line[96];
    const LogHeader& h = rows.header;
    snprintf(line, sizeof line, "Computer: %.16s", reinterpret_cast<const char*>(h.computerName));
    PutEscaped(out, line, strlen(line));
    PutText(out, "\n", 1);
    snprintf(line, sizeof line, "Events: %lu", static_cast<unsigned long>(count));
    PutLine(out, line);
    if (count != 0) {
        PutStamp(out, "First event: ", rows.range.firstEvent);
        PutStamp(out, "Last event: ", rows.range.lastEvent);
    }
    PutLine(out, "Type:");
    const uint16_t codes[3] = {kTypeError, kTypeWarning, kTypeInformation};
    for (uint16_t code : codes) PutCount(out, TypeName(code), types[code]);
    if (uint32_t other = count - types[kTypeError] - types[kTypeWarning] - types[kTypeInformation]) {
        PutCount(out, "(other types)", other);
    }
    PutLine(out, "Component:");
    for (uint16_t c = 1; c < kComponentNameCount; ++c) {
        snprintf(line, sizeof line, "%u %s", unsigned(c), ComponentName(c));
        PutCount(out, line, components[c]);
    }
    PutLine(out, "Module:");
    for (int m = 1; m < kModuleNameCount; ++m) {
        snprintf(line, sizeof line, "%d %s", m - 1, g_moduleNames[m]);
        PutCount(out, line, modules[m]);
    }
    return kExitOk;
}

int CheckFile(const char* path, const char* shown, FILE* out, FILE* err) {
    const LogOpener cliOpener = CliLogOpener(path), *opener = &cliOpener;
    LogReader reader = {};
    ChainCheck check = {};
    // The file mapped when it can be, else read as the loader reads it.
    MappedFile file;
    int id = g_cliMapsFiles ? MapLogFile(path, &file) : -1;
    if (id == 0) {
        CheckLogBytes(file.bytes, file.size, &check);
        UnmapLogFile(&file);
    } else if (id == -1 && (id = opener->open(opener->context, path, &reader)) == 0) {
        id = CheckLog(&reader, &check);
        opener->close(opener->context, &reader);
    }
    if (id != 0) return ReportFileFailure(id, shown, err);
    // A file without a log's header is no log at all: refused as every command refuses it.
    if (check.fault == kFaultShortHeader || check.fault == kFaultUnknownMagic) {
        return ReportFileFailure(kMsgCorrupted, shown, err, ChainFaultText(check.fault));
    }
    CliOutput* text = new CliOutput;
    InitOutput(text, out, 1252, true, nullptr);
    char line[256];
    if (check.fault == kFaultNone) {
        snprintf(line, sizeof line, "well formed: %lu events", static_cast<unsigned long>(check.recordCount));
    } else if (check.fault >= kFaultOutOfArea) {
        snprintf(line, sizeof line, "broken at file offset %llu: %s (record %lu of %lu, counted from the oldest)",
                 static_cast<unsigned long long>(check.fileOffset), ChainFaultText(check.fault),
                 static_cast<unsigned long>(check.recordIndex), static_cast<unsigned long>(check.recordCount));
    } else {
        snprintf(line, sizeof line, "broken at file offset %llu: %s", static_cast<unsigned long long>(check.fileOffset),
                 ChainFaultText(check.fault));
    }
    PutLine(text, line);
    FlushOutput(text);   // a failure stays on out for the caller to see, but for a reader that has gone
    delete text;
    return check.fault == kFaultNone ? kExitOk : kExitBroken;
}
