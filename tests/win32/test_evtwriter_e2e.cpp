// EVTWRITER.EXE driven from another process as DARVEX meets a writing
// component: the log it writes, the named mapping both see, and the named
// mutex held, released and abandoned.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/test_support.h"
#include "tests/win32/writer_process_win32.h"

namespace {

std::string TempLogPath(const char* name) {   // in a temp folder of this test process
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string folder = std::string(dir) + "darvex_writer_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + name;
    DeleteFileA(path.c_str());
    return path;
}

// Takes the mutex as DARVEX does: WAIT_ABANDONED holds it too.
struct NamedMutex {
    HANDLE handle;
    explicit NamedMutex(const char* name) : handle(CreateMutexA(nullptr, FALSE, name)) {}
    ~NamedMutex() { CloseHandle(handle); }
    NamedMutex(const NamedMutex&) = delete;
    NamedMutex& operator=(const NamedMutex&) = delete;
    DWORD Wait(DWORD ms) const { return WaitForSingleObject(handle, ms); }
};

// The live objects DARVEX opens for a header write: the file for reading and
// writing, the source's named mapping (the writer's own object) and a view.
struct LiveView {
    HANDLE file = INVALID_HANDLE_VALUE;
    HANDLE mapping = nullptr;
    uint8_t* bytes = nullptr;
    DWORD mappingError = 0;
    LiveView(const std::string& path, const char* mappingName) {
        file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0, 0, mappingName);
        mappingError = GetLastError();
        if (mapping != nullptr) bytes = static_cast<uint8_t*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    }
    ~LiveView() {
        if (bytes != nullptr) UnmapViewOfFile(bytes);
        if (mapping != nullptr) CloseHandle(mapping);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    LiveView(const LiveView&) = delete;
    LiveView& operator=(const LiveView&) = delete;
};

LogImage ReadWholeFile(const std::string& path) {
    LogImage image;
    FILE* f = fopen(path.c_str(), "rb");
    if (f == nullptr) return image;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) != 0;) {
        image.bytes.insert(image.bytes.end(), buffer, buffer + n);
    }
    fclose(f);
    return image;
}

struct WriterTest : StateTest {
    WriterProcess writer;

    std::string Description(uint32_t fileSlot) const {
        return reinterpret_cast<const char*>(RecordDescription(state.table.fileOrder[fileSlot]->record));
    }
};

// 40 records of 63 to 70 bytes go round a 600-byte area several times. The
// file read while the writer runs loads with the count it reports, the
// newest records in order, and the header seen through the named mapping.
TEST_F(WriterTest, WrappedLogLoadsWithTheCountTheWriterReports) {
    const std::string path = TempLogPath("PERN.EVT");
    ASSERT_EQ("ready count=0", writer.Start("pern", path, 600));
    const std::string appended = writer.Command("append 40");
    const uint32_t count = AnswerValue(appended, "count");
    ASSERT_EQ(0u, appended.find("appended 40 count=")) << appended;
    EXPECT_LT(count, 10u);
    const std::string header = writer.Command("header");
    EXPECT_EQ(count, AnswerValue(header, "count")) << header;
    EXPECT_EQ(688u, AnswerValue(header, "end"));
    EXPECT_EQ(65536u, AnswerValue(header, "max"));
    EXPECT_EQ("verify ok", writer.Command("verify"));

    ASSERT_EQ(0, LoadImage(&state, ReadWholeFile(path), path.c_str(), &fx));
    ASSERT_EQ(count, state.table.loadedCount);
    for (uint32_t k = 0; k < count; ++k) EXPECT_EQ("Simulated event " + std::to_string(40 - k), Description(k));
    EXPECT_EQ(kTypeInformation, state.table.fileOrder[1]->type);   // types 1, 2, 4 in turn: 39 is the third
    EXPECT_EQ("SIMWRITER", std::string(state.table.entries[0].computer, state.table.entries[0].computerLength));

    const HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "PERN.MVF");
    ASSERT_NE(nullptr, mapping);
    const uint8_t* view = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(count, GetU32(view + kOffsetRecordCount));
    const std::string more = writer.Command("append 1");
    EXPECT_EQ(AnswerValue(more, "count"), GetU32(view + kOffsetRecordCount)) << more;
    EXPECT_EQ(AnswerValue(more, "oldest"), GetU32(view + kOffsetOldestOffset));
    EXPECT_EQ(AnswerValue(more, "writer"), GetU32(view + kOffsetWriterOffset));
    UnmapViewOfFile(view);
    CloseHandle(mapping);
}

// DARVEX's header writes, made through its own CreateFileMappingA of the
// name under the mutex, reach the writer at once; a Clear starts its chain
// again at 88; verify ignores those fields but not a changed record byte.
TEST_F(WriterTest, HeaderWritesThroughTheNamedMappingReachTheWriter) {
    const std::string path = TempLogPath("TOLVA.EVT");
    ASSERT_EQ("ready count=0", writer.Start("tolva", path, 2000));
    ASSERT_EQ(0u, writer.Command("append 5").find("appended 5 count=5 oldest=88 "));
    {
        LiveView live(path, "TOLVA.MVF");
        ASSERT_NE(nullptr, live.bytes);
        EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), live.mappingError);   // the writer's mapping object
        NamedMutex mutex("DARV_TOLVA_Mutex");
        ASSERT_EQ(WAIT_OBJECT_0, mutex.Wait(5000));
        PutU32(live.bytes + kOffsetMaxLogSize, 131072);
        PutU32(live.bytes + kOffsetRecordCount, 0);
        PutU32(live.bytes + kOffsetOldestOffset, 0);
        PutU32(live.bytes + kOffsetWriterOffset, 0);
        ViewConditions c = DefaultViewConditions();
        c.sortOrder = uint16_t(kOrderOldestFirst);
        c.conditionsSaved = 1;
        WriteViewConditions(c, live.bytes + kConditionsOffset);
        ReleaseMutex(mutex.handle);
    }
    EXPECT_EQ("header count=0 oldest=0 writer=0 max=131072 end=2088 saved=1 "
              "conditions=0000000001000200040000000000000071000100",
              writer.Command("header"));
    EXPECT_EQ("verify ok", writer.Command("verify"));
    const std::string appended = writer.Command("append 2");
    EXPECT_EQ(0u, appended.find("appended 2 count=2 oldest=88 ")) << appended;
    EXPECT_EQ("verify ok", writer.Command("verify"));

    LiveView live(path, "TOLVA.MVF");
    ASSERT_NE(nullptr, live.bytes);
    live.bytes[kRecordAreaStart + 40] ^= 0xFF;
    EXPECT_EQ("verify differs at 128", writer.Command("verify"));
    live.bytes[kRecordAreaStart + 40] ^= 0xFF;
    live.bytes[44] ^= 0xFF;   // the computer name is the writer's too
    EXPECT_EQ("verify differs at 44", writer.Command("verify"));
    live.bytes[44] ^= 0xFF;
}

// A hold keeps another process out until release; the writer's own
// appends, in the background, wait while another process holds the mutex.
TEST_F(WriterTest, MutexHeldByOneSideKeepsTheOtherOut) {
    const std::string path = TempLogPath("BORAXLIN.EVT");
    ASSERT_EQ("ready count=0", writer.Start("boraxlin", path, 4000));
    NamedMutex mutex("DARV_BORAXLIN_Mutex");
    ASSERT_EQ("held", writer.Command("hold"));
    EXPECT_EQ(DWORD(WAIT_TIMEOUT), mutex.Wait(300));
    ASSERT_EQ("released", writer.Command("release"));
    ASSERT_EQ(WAIT_OBJECT_0, mutex.Wait(5000));

    ASSERT_EQ("running", writer.Command("run 5"));
    Sleep(300);
    EXPECT_EQ(0u, AnswerValue(writer.Command("header"), "count"));
    ReleaseMutex(mutex.handle);
    const DWORD start = GetTickCount();
    while (AnswerValue(writer.Command("header"), "count") < 3 && GetTickCount() - start < 10000) Sleep(20);
    const std::string stopped = writer.Command("stop");
    EXPECT_EQ(0u, stopped.find("stopped count=")) << stopped;
    EXPECT_GE(AnswerValue(stopped, "count"), 3u);
    EXPECT_EQ("verify ok", writer.Command("verify"));
}

// A writer that ends holding the mutex leaves it abandoned, which still
// hands it over; a writer that cannot start says why by its exit code.
TEST_F(WriterTest, WriterEndingWithTheMutexLeavesItAbandoned) {
    const std::string path = TempLogPath("KESTRAM.EVT");
    ASSERT_EQ("ready count=0", writer.Start("kestram", path, 1000));
    NamedMutex mutex("DARV_SetUp_Mutex");   // keeps the object alive past the writer
    EXPECT_EQ("exiting", writer.Command("exit-holding"));
    EXPECT_EQ(3u, writer.WaitForExit());
    EXPECT_EQ(DWORD(WAIT_ABANDONED), mutex.Wait(5000));
    ReleaseMutex(mutex.handle);

    EXPECT_EQ("", writer.Start("kestram", TempLogPath("MISSING.EVT")));
    EXPECT_EQ(1u, writer.WaitForExit());
    EXPECT_EQ("", writer.Start("nobody", path));
    EXPECT_EQ(2u, writer.WaitForExit());
}

}  // namespace
