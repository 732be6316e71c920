// EVTWRITER.EXE, the writing component's stand-in of the live-log tests:
// other processes see its header through the named mapping at once, and its
// verify, their oracle, catches a changed byte. (Its chain and its mutex are
// proven by those tests, which load its logs and wait for it.)
#include <gtest/gtest.h>

#include "logfile/log_format.h"
#include "tests/win32/writer_process_win32.h"

namespace {

// 40 records of 63 to 70 bytes go round a 600-byte area several times.
TEST(Writer, HeaderIsSharedAtOnceAndVerifyCatchesAChangedByte) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = dir + std::string("darvex_writer_") + std::to_string(GetCurrentProcessId()) + ".PERN.EVT";
    DeleteFileA(path.c_str());
    WriterProcess writer;
    ASSERT_EQ("ready count=0", writer.Start("pern", path, 600));
    const std::string appended = writer.Command("append 40");
    const uint32_t count = AnswerValue(appended, "count");
    ASSERT_EQ(0u, appended.find("appended 40 count=")) << appended;
    EXPECT_LT(count, 10u);
    EXPECT_EQ(688u, AnswerValue(writer.Command("header"), "end"));
    EXPECT_EQ("verify ok", writer.Command("verify"));

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
    writer.Stop();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

}  // namespace
