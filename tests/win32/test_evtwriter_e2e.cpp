// EVTWRITER.EXE, the writing component's stand-in of the live-log tests: its
// verify, their oracle, catches a changed byte. (Its chain, its mapping and
// its mutex are proven by those tests, which load its logs, clear them
// through the mapping and wait for it.)
#include <gtest/gtest.h>

#include "logfile/log_format.h"
#include "tests/win32/writer_process_win32.h"

namespace {

// 40 records of 63 to 70 bytes go round a 600-byte area several times.
TEST(Writer, VerifyCatchesAChangedRecordOrHeaderByte) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = dir + std::string("darvex_writer_") + std::to_string(GetCurrentProcessId()) + ".PERN.EVT";
    DeleteFileA(path.c_str());
    WriterProcess writer;
    ASSERT_EQ("ready count=0", writer.Start("pern", path, 600));
    ASSERT_EQ(0u, writer.Command("append 40").find("appended 40 count="));
    EXPECT_EQ("verify ok", writer.Command("verify"));

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
