// Events into SQLite: the export's writer (cli/cli_sqlite) beside the sqlite3
// command's .import of the same events as CSV, on a generated log of about a
// million events. Run with:
//   cmake -S . -B build/bench -DDARVEX_BENCH=ON -DDARVEX_TESTS=OFF && cmake --build build/bench -j2 --target sqlite_bench
//   build/bench/bench/sqlite_bench [EVENTS] [DIR]      (defaults 1000000, /tmp)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/viewer_state.h"
#include "cli/cli_sqlite.h"
#include "eventlist/filter.h"
#include "logfile/loader.h"
#include "tools/log_writer.h"

namespace {

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

struct Memory {
    const LogImage* image;
    size_t at;
};

int ReadMemory(void* context, uint8_t* buffer, uint32_t size, uint32_t* got) {
    Memory* m = static_cast<Memory*>(context);
    const size_t n = std::min(size_t(size), m->image->bytes.size() - m->at);
    memcpy(buffer, m->image->bytes.data() + m->at, n);
    m->at += n;
    *got = uint32_t(n);
    return 1;
}

void IsoTime(const EventEntry& e, char time[kSqliteTimeSize]) {
    memcpy(time, e.date, 10);
    time[4] = time[7] = '-';
    time[10] = 'T';
    memcpy(time + 11, e.time, 8);
}

// One event as export's CSV writes it (the data as hex text).
void WriteCsvRow(FILE* f, const EventEntry& e, uint64_t source) {
    char time[kSqliteTimeSize + 1] = {};
    IsoTime(e, time);
    const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
    fprintf(f, "%llu,%u,%s,%s,%u,%s,%u,%s,%u,%.*s,\"", static_cast<unsigned long long>(source), e.type,
            TypeName(e.type), time, e.component, ComponentName(e.component), e.module, ModuleName(e.module),
            RecordModuleCode(e.record), int(e.computerLength), e.computer);
    for (const char* p = RecordDescriptionLength(e.record) ? text : ""; *p; ++p) {
        if (*p == '"') fputc('"', f);
        fputc(*p, f);
    }
    fputs("\",", f);
    const uint8_t* data = RecordData(e.record);
    for (uint32_t i = 0; i < RecordDataLength(e.record); ++i) fprintf(f, "%02x", data[i]);
    fputc('\n', f);
}

}  // namespace

int main(int argc, char** argv) {
    const uint32_t events = argc > 1 ? uint32_t(strtoul(argv[1], nullptr, 10)) : 1000000;
    const std::string dir = argc > 2 ? argv[2] : "/tmp";
    GenOptions o;
    o.eventCount = events;
    o.japanesePercent = 0;   // the texts are ASCII, so UTF-8 as they stand
    LogImage image;
    GenResult result;
    if (!GenerateLogImage(o, &image, &result)) return 1;
    ViewerState state;
    InitViewerState(&state);
    UiEffects fx;
    ClearEffects(&fx);
    Memory m = {&image, 0};
    LogReader reader = {&m, ReadMemory, image.bytes.size()};
    snprintf(state.file.path, sizeof state.file.path, "BENCH.EVT");
    if (LoadLogFromReader(&state, &reader, &fx) != 0) return 1;
    const EventTable& t = state.table;
    printf("%u events, %zu bytes of log\n", t.loadedCount, image.bytes.size());

    // The writer: digest, one source, every event, the indexes, the rename.
    const std::string db = dir + "/darvex_sqlite_bench.sqlite";
    std::remove(db.c_str());
    double start = Now();
    const uint64_t digest = LogDigest(image.bytes.data(), image.bytes.size());
    const double digestSeconds = Now() - start;
    SqliteExport* e = nullptr;
    if (SqliteBegin(db.c_str(), false, &e, stderr) != kSqliteOk) return 1;
    const LogHeader& h = state.file.currentHeader;
    int64_t id = 0;
    if (SqliteBeginSource(e, {"BENCH.EVT", "HALDOR-SRV01", 12, &h, image.bytes.size(), digest}, &id)) return 1;
    for (uint32_t k = t.loadedCount; k-- > 0;) {
        const EventEntry& v = *t.fileOrder[k];
        char time[kSqliteTimeSize];
        IsoTime(v, time);
        const char* text = reinterpret_cast<const char*>(RecordDescription(v.record));
        SqliteEvent ev = {uint64_t(v.record - t.recordArea) + kRecordAreaStart, v.type, TypeName(v.type), time,
                          v.component, ComponentName(v.component), v.module, ModuleName(v.module),
                          RecordModuleCode(v.record), v.computer, v.computerLength, text,
                          RecordDescriptionLength(v.record) ? strlen(text) : 0, RecordData(v.record),
                          RecordDataLength(v.record)};
        if (SqliteAddEvent(e, id, ev)) return 1;
    }
    if (SqliteEndSource(e)) return 1;
    const double insertSeconds = Now() - start;
    if (SqliteFinish(e, true)) return 1;
    const double writerSeconds = Now() - start;

    // The sqlite3 command: the same table, the same pragmas, .import of the CSV, the same indexes.
    const std::string csv = dir + "/darvex_sqlite_bench.csv", db2 = dir + "/darvex_sqlite_bench_import.sqlite";
    const std::string script = dir + "/darvex_sqlite_bench.sql";
    FILE* f = fopen(csv.c_str(), "wb");
    if (f == nullptr) return 1;
    for (uint32_t k = t.loadedCount; k-- > 0;) WriteCsvRow(f, *t.fileOrder[k], 1);
    fclose(f);
    f = fopen(script.c_str(), "wb");
    if (f == nullptr) return 1;
    fprintf(f,
            "PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;\n"
            "CREATE TABLE events(source INTEGER, type INTEGER, typeName TEXT, time TEXT, component INTEGER,"
            " componentName TEXT, module INTEGER, moduleName TEXT, moduleCode INTEGER, computer TEXT,"
            " description TEXT, data TEXT);\n"
            ".import --csv %s events\n", csv.c_str());
    fclose(f);
    std::remove(db2.c_str());
    start = Now();
    const std::string command = "sqlite3 -batch '" + db2 + "' < '" + script + "' > /dev/null";
    if (system(command.c_str()) != 0) return 1;
    const double importSeconds = Now() - start;
    const std::string indexes = "sqlite3 -batch '" + db2 + "' 'PRAGMA synchronous=OFF; CREATE INDEX events_time ON"
                                " events(time); CREATE INDEX events_type ON events(type); CREATE INDEX events_computer"
                                " ON events(computer)' > /dev/null";
    if (system(indexes.c_str()) != 0) return 1;
    const double importAllSeconds = Now() - start;

    const double n = t.loadedCount;
    printf("digest of the log            %8.3f s\n", digestSeconds);
    printf("writer, inserts (1 txn)      %8.3f s  %10.0f events/s\n", insertSeconds, n / insertSeconds);
    printf("writer, all (indexes, fsync) %8.3f s  %10.0f events/s\n", writerSeconds, n / writerSeconds);
    printf("sqlite3 .import of the CSV   %8.3f s  %10.0f events/s\n", importSeconds, n / importSeconds);
    printf("sqlite3 .import and indexes  %8.3f s  %10.0f events/s\n", importAllSeconds, n / importAllSeconds);
    std::remove(csv.c_str());
    std::remove(script.c_str());
    std::remove(db.c_str());
    std::remove(db2.c_str());
    ReleaseViewerState(&state);
    return 0;
}
