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
void PutLineRow(CliOutput* out, const EventEntry& e, const char* source, size_t sourceLength) {
    if (source) {
        PutEscaped(out, source, sourceLength);
        PutText(out, "\t", 1);
    }
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

// Each log's rows of its own computer, made as they are first needed.
struct ListRowCache {
    RowTemplate** rows;     // kTemplateCount a log, null until made
    uint32_t logs;
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

void PutCachedListRow(ListRowCache* cache, uint32_t log, CliOutput* out, const EventEntry& e) {
    if (e.component >= kComponentNameCount || e.module >= kModuleNameCount - 1 || log >= cache->logs) return PutListRow(out, e);
    RowTemplate*& made = cache->rows[log];
    if (!made && !(made = static_cast<RowTemplate*>(calloc(kTemplateCount, sizeof(RowTemplate))))) return PutListRow(out, e);
    RowTemplate& t = made[((e.type <= 4 ? e.type : 0) * kComponentNameCount + e.component) * (kModuleNameCount - 1) + e.module];
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

int ListRows(const CliOptions& o, const Timeline& tl, CliOutput* out) {
    const PrintTexts& t = g_printTexts;
    TimelineCursor cursor;
    if (StartTimeline(&cursor, tl) != 0) return kExitNoMemory;
    if (o.lineFormat) {
        while (const EventEntry* e = out->failed ? nullptr : NextEvent(&cursor, tl)) {
            const TimelineLog* log = tl.several ? &tl.logs[cursor.source] : nullptr;
            SelectLog(out, cursor.source);
            PutLineRow(out, *e, log ? log->shown : nullptr, log ? log->shownLength : 0);
        }
        EndTimeline(&cursor);
        return kExitOk;
    }
    if (!o.noHeader) {
        const char* titles[] = {t.type, t.date, t.time, t.component, t.module, t.computer};
        PutFormatted(out, t.listHeader, titles, 6);
    }
    ListRowCache cache = {static_cast<RowTemplate**>(calloc(tl.count, sizeof(RowTemplate*))), tl.count};
    if (!cache.rows) cache.logs = 0;
    while (const EventEntry* e = out->failed ? nullptr : NextEvent(&cursor, tl)) {
        SelectLog(out, cursor.source);
        PutCachedListRow(&cache, cursor.source, out, *e);
    }
    for (uint32_t i = 0; i < cache.logs; ++i) free(cache.rows[i]);
    free(cache.rows);
    EndTimeline(&cursor);
    return kExitOk;
}

int ShowEvent(const CliOptions& o, const Timeline& tl, CliOutput* out, FILE* err) {
    char* end = nullptr;
    const unsigned long row = strtoul(o.row, &end, 10);
    TimelineCursor cursor;
    if (StartTimeline(&cursor, tl) != 0) return kExitNoMemory;
    const EventEntry* found = nullptr;
    if (o.row[0] >= '0' && o.row[0] <= '9' && *end == '\0' && row < UINT32_MAX) found = TimelineRowAt(&cursor, tl, uint32_t(row));
    // The event is the one cursor holds, or one of a loaded table.
    EventEntry e = found ? *found : EventEntry{};
    const TimelineLog* log = found && tl.several ? &tl.logs[cursor.source] : nullptr;
    if (found) SelectLog(out, cursor.source);   // its texts and the dump in its log's code page
    EndTimeline(&cursor);
    if (!found) {
        fprintf(err, "darvex-cli: row %s is not listed (%lu rows)\n", o.row, static_cast<unsigned long>(CountTimelineRows(tl)));
        return kExitUsage;
    }
    if (log) {   // several logs: the event's own first
        PutText(out, "Source: ");
        PutEscaped(out, log->shown, log->shownLength);
        PutText(out, "\n", 1);
    }
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

namespace {

struct Counts {
    uint32_t types[5];   // by type code 0..4, other codes with code 0
    uint32_t components[kComponentNameCount];
    uint32_t modules[kModuleNameCount];
};

void CountEvents(const LogRows& rows, Counts* n) {
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
        ++n->types[e.type <= 4 ? e.type : 0];
        ++n->components[e.component < kComponentNameCount ? e.component : 0];
        ++n->modules[e.module + 1u < kModuleNameCount ? e.module + 1u : 0];
    }
    for (int t = 0; t < 5; ++t) {
        for (int c = 0; c < kComponentNameCount; ++c) {
            for (int m = 0; m < kModuleNameCount; ++m) {
                n->types[t] += byCode[t][c][m];
                n->components[c] += byCode[t][c][m];
                n->modules[m] += byCode[t][c][m];
            }
        }
    }
}

// "  NAME COUNT" as PutCount writes it, for a name of any length (a path).
void PutNamedCount(CliOutput* out, const char* name, size_t length, uint32_t count) {
    PutText(out, "  ", 2);
    PutEscaped(out, name, length);
    char line[40];
    snprintf(line, sizeof line, "%*s %lu", length < 20 ? int(20 - length) : 0, "", static_cast<unsigned long>(count));
    PutLine(out, line);
}

}  // namespace

int ShowStats(const Timeline& tl, CliOutput* out) {
    Counts n = {};
    uint32_t count = 0;
    const char* first = nullptr;
    const char* last = nullptr;
    for (uint32_t i = 0; i < tl.count; ++i) {
        const LogRows& rows = tl.logs[i].rows;
        CountEvents(rows, &n);
        count += rows.count;
        if (rows.count == 0) continue;
        if (!first || memcmp(rows.range.firstEvent, first, kStampSize) < 0) first = rows.range.firstEvent;
        if (!last || memcmp(rows.range.lastEvent, last, kStampSize) > 0) last = rows.range.lastEvent;
    }
    char line[96];
    if (!tl.several) {
        snprintf(line, sizeof line, "Computer: %.16s", reinterpret_cast<const char*>(tl.logs[0].rows.header.computerName));
        PutEscaped(out, line, strlen(line));
        PutText(out, "\n", 1);
    } else {
        snprintf(line, sizeof line, "Logs: %lu", static_cast<unsigned long>(tl.count));
        PutLine(out, line);
    }
    snprintf(line, sizeof line, "Events: %lu", static_cast<unsigned long>(count));
    PutLine(out, line);
    if (first) {
        PutStamp(out, "First event: ", first);
        PutStamp(out, "Last event: ", last);
    }
    PutLine(out, "Type:");
    const uint16_t codes[3] = {kTypeError, kTypeWarning, kTypeInformation};
    for (uint16_t code : codes) PutCount(out, TypeName(code), n.types[code]);
    if (uint32_t other = count - n.types[kTypeError] - n.types[kTypeWarning] - n.types[kTypeInformation]) {
        PutCount(out, "(other types)", other);
    }
    PutLine(out, "Component:");
    for (uint16_t c = 1; c < kComponentNameCount; ++c) {
        snprintf(line, sizeof line, "%u %s", unsigned(c), ComponentName(c));
        PutCount(out, line, n.components[c]);
    }
    PutLine(out, "Module:");
    for (int m = 1; m < kModuleNameCount; ++m) {
        snprintf(line, sizeof line, "%d %s", m - 1, g_moduleNames[m]);
        PutCount(out, line, n.modules[m]);
    }
    if (!tl.several) return kExitOk;
    // Of several logs: each file's events, then each computer's, in the order first met.
    PutLine(out, "File:");
    for (uint32_t i = 0; i < tl.count; ++i) {
        SelectLog(out, i);
        PutNamedCount(out, tl.logs[i].shown, tl.logs[i].shownLength, tl.logs[i].rows.count);
    }
    PutLine(out, "Computer:");
    for (uint32_t i = 0; i < tl.count; ++i) {
        const uint8_t* name = tl.logs[i].rows.header.computerName;
        bool before = false;
        for (uint32_t j = 0; j < i && !before; ++j) before = memcmp(tl.logs[j].rows.header.computerName, name, kComputerNameSize) == 0;
        if (before) continue;
        SelectLog(out, i);   // the name in the code page of the first log that names it
        uint32_t events = 0;
        for (uint32_t j = i; j < tl.count; ++j) {
            if (memcmp(tl.logs[j].rows.header.computerName, name, kComputerNameSize) == 0) events += tl.logs[j].rows.count;
        }
        PutNamedCount(out, reinterpret_cast<const char*>(name), strnlen(reinterpret_cast<const char*>(name), kComputerNameSize), events);
    }
    return kExitOk;
}

int CheckFile(const char* path, const char* shown, FILE* out, FILE* err, const char* prefix) {
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
    if (prefix) {
        PutEscaped(text, prefix, strlen(prefix));
        PutText(text, ": ", 2);
    }
    PutLine(text, line);
    FlushOutput(text);   // a failure stays on out for the caller to see, but for a reader that has gone
    delete text;
    return check.fault == kFaultNone ? kExitOk : kExitBroken;
}
