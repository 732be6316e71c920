// EVTWRITER.EXE's verify, the live-log tests' oracle, catches a changed byte.
#include <gtest/gtest.h>

#include "logfile/log_format.h"
#include "tests/win32/writer_process_win32.h"

TEST(Writer, VerifyCatchesAChangedRecordOrHeaderByte) {
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = dir + std::string("darvex_writer_") + std::to_string(GetCurrentProcessId()) + ".PERN.EVT";
    WriterProcess writer;
    ASSERT_EQ("ready count=0", writer.Start("pern", path, 600));
    ASSERT_EQ(0u, writer.Command("append 40").find("appended 40 count="));   // several times round the area
    EXPECT_EQ("verify ok", writer.Command("verify"));
    FILE* f = fopen(path.c_str(), "r+b");
    ASSERT_NE(f, nullptr);
    for (long offset : {long(kRecordAreaStart + 40), 44L}) {   // a record byte, a header byte
        for (int pass = 0; pass < 2; ++pass) {   // flipped, then flipped back
            fseek(f, offset, SEEK_SET);
            const int b = fgetc(f);
            fseek(f, offset, SEEK_SET);
            fputc(b ^ 0xFF, f);
            fflush(f);
            EXPECT_EQ(pass ? "verify ok" : "verify differs at " + std::to_string(offset), writer.Command("verify"));
        }
    }
    fclose(f);
    writer.Stop();
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}
