#include "app/path_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "app/viewer_state.h"
#include "logfile/loader.h"

namespace {

// Shift-JIS names whose second bytes look like ASCII: テスト has 0x65 ('e')
// and 0x67 ('g'), 表 and ソ end in 0x5C ('\'), ケ is 0x83 'P'.
#define TESUTO "\x83\x65\x83\x58\x83\x67"
#define HYOU "\x95\x5c"
#define SO "\x83\x5c"
#define KE "\x83\x50"
#define NIHON "\x93\xfa\x96\x7b"

const AnsiCodePage& kSingle = SingleByteCodePage();
const AnsiCodePage& kSjis = ShiftJisCodePage();

std::string CommandLinePath(const char* line, int* result = nullptr) {
    char out[kPathBufferSize];
    int r = TakeCommandLinePath(line, kSingle, out);
    if (result != nullptr) *result = r;
    return out;
}

std::string SaveAs(const char* chosen, const AnsiCodePage& page = kSingle) {
    char out[kPathBufferSize];
    SaveAsPathFromChoice(chosen, page, out);
    return out;
}

std::string HelpPath(const char* module, const AnsiCodePage& page = kSingle) {
    char path[kPathBufferSize];
    snprintf(path, sizeof path, "%s", module);
    DeriveHelpFilePath(path, "DARVEX", page);
    return path;
}

}  // namespace

TEST(CommandLinePath, QuotesAreRemovedAndEverythingElseIsTakenWhole) {
    int r = -1;
    EXPECT_EQ(CommandLinePath("", &r), "");
    EXPECT_EQ(r, 0);
    EXPECT_EQ(CommandLinePath("\"C:\\LOGS\\PERN.EVT\""), "C:\\LOGS\\PERN.EVT");
    EXPECT_EQ(CommandLinePath("\"C:\\LOGS\\PERN.EVT"), "C:\\LOGS\\PERN.EVT");
    EXPECT_EQ(CommandLinePath("\""), "");
    EXPECT_EQ(CommandLinePath("C:\\A B\\PERN.EVT"), "C:\\A B\\PERN.EVT");
}

TEST(CommandLinePath, TwoHundredSixtyBytesAreRefusedWith220) {
    std::string line(259, 'A');
    int r = -1;
    EXPECT_EQ(CommandLinePath(line.c_str(), &r), line);
    EXPECT_EQ(r, 0);
    line += 'A';
    EXPECT_EQ(CommandLinePath(line.c_str(), &r), "");
    EXPECT_EQ(r, 220);
}

TEST(SaveAsPath, ExtensionOfTheLastComponentBecomesEvt) {
    EXPECT_EQ(SaveAs("C:\\LOGS\\LOG"), "C:\\LOGS\\LOG.evt");
    EXPECT_EQ(SaveAs("LOG.TXT"), "LOG.evt");
    EXPECT_EQ(SaveAs("LOG.EVT"), "LOG.evt");
    EXPECT_EQ(SaveAs("C:\\LOGS\\LOG.EVTX"), "C:\\LOGS\\LOG.evt");
    EXPECT_EQ(SaveAs("C:\\MY.DIR\\LOG"), "C:\\MY.DIR\\LOG.evt");
    EXPECT_EQ(SaveAs("A.B"), "A.B.evt");   // shorter than five bytes: appended
    EXPECT_EQ(SaveAs("A.BCD"), "A.evt");
}

TEST(SaveAsPath, DoubleByteCharactersAreNeverSeparators) {
    // 表's second byte is 0x5C: walked by bytes, LOG.表 had no extension.
    EXPECT_EQ(SaveAs("C:\\LOGS\\LOG." HYOU, kSjis), "C:\\LOGS\\LOG.evt");
    EXPECT_EQ(SaveAs("C:\\" NIHON "\\LOG." SO, kSjis), "C:\\" NIHON "\\LOG.evt");
    // The same bytes read as single-byte characters do hold a backslash.
    EXPECT_EQ(SaveAs("C:\\LOGS\\LOG." HYOU), "C:\\LOGS\\LOG." HYOU ".evt");
}

TEST(SaveAsPath, NameThatCannotTakeTheExtensionIsKept) {
    std::string name(257, 'A');
    EXPECT_EQ(SaveAs(name.c_str()), name);
    std::string fits(255, 'A');
    EXPECT_EQ(SaveAs(fits.c_str()), fits + ".evt");
}

TEST(HelpFilePath, ExtensionBecomesHlpOrTheBareNameIsUsed) {
    EXPECT_EQ(HelpPath("C:\\X\\DARVEX.EXE"), "C:\\X\\DARVEX.HLP");
    EXPECT_EQ(HelpPath("C:\\X\\DARVEX.EXE2"), "C:\\X\\DARVEX.HLP");
    EXPECT_EQ(HelpPath("C:\\APP.DIR\\PROG"), "DARVEX.HLP");
    EXPECT_EQ(HelpPath("C:\\" HYOU "\\DARVEX.EXE", kSjis), "C:\\" HYOU "\\DARVEX.HLP");
    EXPECT_EQ(HelpPath("C:\\" HYOU "\\PROG." HYOU, kSjis), "C:\\" HYOU "\\PROG.HLP");
}

TEST(SourcePath, UpperCasingLeavesDoubleByteCharactersAlone) {
    struct Case {
        const char* path;
        int source;
        const char* upper;
    };
    const Case cases[] = {
        {"z:\\tmp\\x\\" TESUTO "\\pern.evt", 0, "Z:\\TMP\\X\\" TESUTO "\\PERN.EVT"},
        {"c:\\" HYOU "\\" NIHON "\\old_tolva.evt.bak", 1, "C:\\" HYOU "\\" NIHON "\\OLD_TOLVA.EVT.BAK"},
        // ケ followed by ERN.EVT holds the bytes "PERN.EVT" from its second byte on.
        {"c:\\logs\\" KE "ern.evt", -1, "C:\\LOGS\\" KE "ERN.EVT"},
    };
    for (const Case& c : cases) {
        OpenFileState file = {};
        snprintf(file.path, sizeof file.path, "%s", c.path);
        IdentifySource(&file, kSjis);
        EXPECT_EQ(c.source, file.sourceIndex) << c.path;
        EXPECT_STREQ(c.upper, file.path);
    }
}
