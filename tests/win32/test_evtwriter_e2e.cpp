// EVTWRITER.EXE, the writing component's stand-in of the live-log tests: the
// log it writes is a chain the loader takes, other processes see its header
// through the named mapping at once, and its verify catches a changed byte.
// (Its mutex is proven by the program's live-log tests, which fail when it
// does not keep DARVEX waiting.)
#include <windows.h>

#include <fstream>
#include <iterator>

#include "tests/test_support.h"
#include "tests/win32/writer_process_win32.h"

namespace {

// 40 records of 63 to 70 bytes go round a 600-byte area several times.
TEST_F(StateTest, WriterLogLoadsWithItsCountAndItsHeaderIsSharedAndVerified) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string folder = std::string(dir) + "darvex_writer_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\PERN.EVT";
    DeleteFileA(path.c_str());
    WriterProcess writer;
    ASSERT_EQ("ready count=0", writer.Start("pern", path, 600));
    const std::string appended = writer.Command("append 40");
    const uint32_t count = AnswerValue(appended, "count");
    ASSERT_EQ(0u, appended.find("appended 40 count=")) << appended;
    EXPECT_LT(count, 10u);
    const std::string header = writer.Command("header");
    EXPECT_EQ(count, AnswerValue(header, "count")) << header;
    EXPECT_EQ(688u, AnswerValue(header, "end"));
    EXPECT_EQ("verify ok", writer.Command("verify"));

    // The file read while the writer runs holds the newest records in order.
    std::ifstream in(path, std::ios::binary);
    LogImage image;
    image.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    ASSERT_EQ(0, LoadImage(&state, image, path.c_str(), &fx));
    ASSERT_EQ(count, state.table.loadedCount);
    for (uint32_t k = 0; k < count; ++k) {
        EXPECT_STREQ(("Simulated event " + std::to_string(40 - k)).c_str(),
                     reinterpret_cast<const char*>(RecordDescription(state.table.fileOrder[k]->record)));
    }

    const HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, "PERN.MVF");
    ASSERT_NE(nullptr, mapping);
    const uint8_t* view = static_cast<const uint8_t*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0));
    ASSERT_NE(nullptr, view);
    const std::string more = writer.Command("append 1");
    EXPECT_EQ(AnswerValue(more, "count"), GetU32(view + kOffsetRecordCount)) << more;
    EXPECT_EQ(AnswerValue(more, "oldest"), GetU32(view + kOffsetOldestOffset));
    EXPECT_EQ(AnswerValue(more, "writer"), GetU32(view + kOffsetWriterOffset));
    UnmapViewOfFile(view);
    CloseHandle(mapping);

    // The oracle of the live-log tests: a record byte or a header byte that
    // only the writer may change, changed behind its back.
    FILE* f = fopen(path.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    for (long offset : {long(kRecordAreaStart + 40), 44L}) {
        fseek(f, offset, SEEK_SET);
        const int byte = fgetc(f);
        fseek(f, offset, SEEK_SET);
        fputc(byte ^ 0xFF, f);
        fflush(f);
        EXPECT_EQ("verify differs at " + std::to_string(offset), writer.Command("verify"));
        fseek(f, offset, SEEK_SET);
        fputc(byte, f);
        fflush(f);
    }
    fclose(f);
    EXPECT_EQ("verify ok", writer.Command("verify"));
}

}  // namespace
