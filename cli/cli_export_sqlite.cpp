#include "cli/cli_export_sqlite.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "cli/cli_export.h"
#include "cli/cli_output.h"
#include "cli/cli_run.h"
#include "cli/cli_sqlite.h"
#include "cli/cli_stream.h"
#include "cli/cli_timeline.h"
#include "cli/text_out.h"
#include "eventlist/filter.h"
#include "logfile/loader.h"
#include "logfile/log_format.h"

namespace {

// What the conversion of one log's texts needs, made once for all logs.
struct TextConversion {
    CliOutput codePage;         // its code-page guess over the log's texts; nothing is written through it
    Utf8Table table;            // codePage 0 until a description needs it
    char description[3 * 65536 + 1];
    char names[4][3 * 64 + 1];  // type, component, module, computer
    char rawComputer[sizeof(EventEntry::computer)];
    uint32_t rawComputerLength;
    size_t computerLength;
};

// A text of the log's code page as UTF-8 into to (three bytes a byte, and a
// zero byte), as export converts it; ASCII stays where it is.
const char* NameUtf8(TextConversion* c, const char* text, size_t length, char* to, size_t* outLength) {
    if (AllAscii(text, length)) {
        *outLength = length;
        return text;
    }
    *outLength = ConvertToUtf8(OutputCodePage(&c->codePage), text, length, to, 3 * 64);
    to[*outLength] = 0;
    return to;
}

// The description, as export converts it: the plain first bytes copied, the
// rest through the byte table, or ConvertToUtf8 when the table cannot tell.
const char* DescriptionUtf8(TextConversion* c, const char* text, size_t* length) {
    const size_t plain = PlainPrefix(text, *length);
    if (plain == *length) return text;
    memcpy(c->description, text, plain);
    const int codePage = OutputCodePage(&c->codePage);
    if (c->table.codePage != codePage) MakeUtf8Table(&c->table, codePage);
    size_t n = TableToUtf8(c->table, text + plain, *length - plain, c->description + plain);
    if (n == SIZE_MAX) {
        n = ConvertToUtf8(codePage, text + plain, *length - plain, c->description + plain,
                          sizeof c->description - 1 - plain);
    }
    *length = plain + n;
    return c->description;
}

// The digest of the file's bytes: the mapping's, or read through once when
// the log was loaded instead.
bool DigestOf(const char* path, const MappedFile& file, uint64_t* digest, uint64_t* size) {
    if (file.bytes || file.view) {
        *digest = LogDigest(file.bytes, size_t(file.size));
        *size = file.size;
        return true;
    }
    FILE* f = OpenLogFile(path);
    if (!f) return false;
    LogDigestState d;
    LogDigestInit(&d);
    static uint8_t buffer[1 << 16];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) LogDigestUpdate(&d, buffer, n);
    const bool ok = !ferror(f);
    fclose(f);
    *digest = LogDigestFinal(&d);
    *size = d.total;
    return ok;
}

struct Totals {
    unsigned logs, skipped;
    uint64_t events;
};

// One log's rows into the database. Returns kExitOk, the log's failure (it
// is left out), or kExitWriteFailed when the database failed (nothing more
// can go in).
int WriteLog(const CliOptions& options, const SqliteLogName& log, SqliteExport* db, TextConversion* c, Totals* totals,
             FILE* err) {
    CliOptions o = options;
    o.file = log.path;
    o.shownFile = log.shownName;
    if (o.order == 0) o.order = kOrderOldestFirst;   // the rows' ids rise with time
    ViewerState* state = new ViewerState;
    InitViewerState(state);
    MappedFile file;
    LogRows rows;
    int status = kExitOk;
    uint64_t digest = 0, size = 0;
    bool present = false;
    if (int id = OpenRows(o, state, &file, &rows)) {
        status = ReportFileFailure(id, log.shownName, err);
    } else if (!DigestOf(log.path, file, &digest, &size)) {
        status = ReportFileFailure(kMsgReadFailed, log.shownName, err);
    } else if (SqliteHasSource(db, digest, size, &present) != kSqliteOk) {
        status = kExitWriteFailed;
    } else if (present) {
        fprintf(err, "darvex-cli: %s: in %s already (the same bytes); skipped\n", log.shownName, options.output);
        ++totals->skipped;
    } else {
        InitOutput(&c->codePage, nullptr, o.codePage, false, rows.loaded ? &state->table : nullptr, err, log.shownName);
        CountTextsOf(&c->codePage, rows);
        c->rawComputerLength = UINT32_MAX;
        const LogHeader& h = rows.header;
        const void* nul = memchr(h.computerName, 0, sizeof h.computerName);
        size_t computerLength = nul ? size_t(static_cast<const uint8_t*>(nul) - h.computerName) : sizeof h.computerName;
        const char* computer =
            NameUtf8(c, reinterpret_cast<const char*>(h.computerName), computerLength, c->names[3], &computerLength);
        const SqliteSource source = {log.shownName, computer, computerLength, &h, size, digest};
        int64_t sourceId = 0;
        int rc = SqliteBeginSource(db, source, &sourceId);
        const uint8_t* base = rows.loaded ? rows.loaded->table.recordArea : rows.area;
        RowCursor* cursor = new RowCursor;
        StartRows(cursor, rows);
        uint64_t events = 0;
        while (const EventEntry* e = rc == kSqliteOk ? NextRow(cursor, rows) : nullptr) {
            SqliteEvent v;
            char time[kIsoTimeSize];
            FormatIsoTime(*e, time);
            size_t n = 0;
            v.offset = uint64_t(e->record - base) + kRecordAreaStart;
            v.type = e->type;
            v.typeName = TypeName(e->type);
            if (!AllAscii(v.typeName, strlen(v.typeName))) v.typeName = NameUtf8(c, v.typeName, strlen(v.typeName), c->names[0], &n);
            v.time = time;
            v.component = e->component;
            v.componentName = ComponentName(e->component);
            if (!AllAscii(v.componentName, strlen(v.componentName))) {
                v.componentName = NameUtf8(c, v.componentName, strlen(v.componentName), c->names[1], &n);
            }
            v.module = e->module;
            v.moduleName = ModuleName(e->module);
            if (!AllAscii(v.moduleName, strlen(v.moduleName))) v.moduleName = NameUtf8(c, v.moduleName, strlen(v.moduleName), c->names[2], &n);
            v.moduleCode = RecordModuleCode(e->record);
            // Every event of a log carries the header's computer: converted once.
            if (e->computerLength != c->rawComputerLength || memcmp(e->computer, c->rawComputer, e->computerLength) != 0) {
                memcpy(c->rawComputer, e->computer, e->computerLength);
                c->rawComputerLength = e->computerLength;
                NameUtf8(c, e->computer, e->computerLength, c->names[3], &c->computerLength);
            }
            v.computer = AllAscii(e->computer, e->computerLength) ? e->computer : c->names[3];
            v.computerLength = c->computerLength;
            // The loader has made sure a zero byte ends the description.
            const char* text = reinterpret_cast<const char*>(RecordDescription(e->record));
            v.descriptionLength = RecordDescriptionLength(e->record) ? strlen(text) : 0;
            v.description = DescriptionUtf8(c, text, &v.descriptionLength);
            v.data = RecordData(e->record);
            v.dataLength = RecordDataLength(e->record);
            rc = SqliteAddEvent(db, sourceId, v);
            ++events;
        }
        delete cursor;
        if (rc == kSqliteOk) rc = SqliteEndSource(db);
        if (rc == kSqliteOk) {
            ++totals->logs;
            totals->events += events;
        } else {
            status = kExitWriteFailed;
        }
    }
    ReleaseRows(&rows, &file);
    ReleaseViewerState(state);
    delete state;
    return status;
}

}  // namespace

int ExportSqliteLogs(const CliOptions& o, const SqliteLogName* logs, size_t count, FILE* err) {
    // One thread uses SQLite: no locks, and no count of its memory, around
    // each of its allocations. Only before SQLite's first use (the command's
    // own); later calls are refused and change nothing.
    sqlite3_config(SQLITE_CONFIG_SINGLETHREAD);
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    SqliteExport* db = nullptr;
    const int begun = SqliteBegin(o.output, o.append, &db, err);
    if (begun == kSqliteExists) return kExitUsage;
    if (begun != kSqliteOk) return kExitWriteFailed;
    RemoveOnReadFault(SqliteTempPath(db));   // a log cut under its mapping ends the program
    TextConversion* c = static_cast<TextConversion*>(calloc(1, sizeof(TextConversion)));
    if (!c) {
        SqliteFinish(db, false);
        fprintf(err, "darvex-cli: %s\n", LoadMessageText(kMsgOutOfMemory));
        return kExitNoMemory;
    }
    Totals totals = {};
    int status = kExitOk;
    for (size_t i = 0; i < count; ++i) {
        const int s = WriteLog(o, logs[i], db, c, &totals, err);
        if (status == kExitOk) status = s;
        if (s == kExitWriteFailed) break;
    }
    free(c);
    // Nothing but failures: no database is made (an existing one stays as it was).
    const bool keep = status != kExitWriteFailed && (status == kExitOk || totals.logs != 0);
    RemoveOnReadFault(nullptr);
    const int finished = SqliteFinish(db, keep);
    if (!keep) return status;
    if (finished != kSqliteOk) return finished == kSqliteExists ? kExitUsage : kExitWriteFailed;
    fprintf(err, "darvex-cli: %s: %u log%s, %llu event%s written", o.output, totals.logs, totals.logs == 1 ? "" : "s",
            static_cast<unsigned long long>(totals.events), totals.events == 1 ? "" : "s");
    if (totals.skipped) fprintf(err, "; %u log%s there already", totals.skipped, totals.skipped == 1 ? "" : "s");
    fprintf(err, "\n");
    return status;
}

int ExportSqlite(const CliOptions& o, FILE* err) {
    // Every log the arguments name, each its own source; a folder without
    // logs is reported and counts as a failure, as for the other formats.
    LogPaths found = {};
    int status = kExitOk;
    FindLogPaths(o, &found, &status, err);
    SqliteLogName* logs = static_cast<SqliteLogName*>(calloc(found.count ? found.count : 1, sizeof(SqliteLogName)));
    int written = kExitNoMemory;
    if (logs) {
        for (uint32_t i = 0; i < found.count; ++i) logs[i] = {found.paths[i], found.shown[i]};
        written = found.count ? ExportSqliteLogs(o, logs, found.count, err) : status;
    }
    free(logs);
    ReleaseLogPaths(&found);
    return status != kExitOk && written == kExitOk ? status : written;
}
