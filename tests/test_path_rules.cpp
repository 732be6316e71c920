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

struct PathCase {
    const char* in;
    const char* out;
    const AnsiCodePage& page;
};

TEST(CommandLinePath, QuotesAreRemovedAndTwoHundredSixtyBytesAreRefused) {
    char out[kPathBufferSize];
    EXPECT_EQ(0, TakeCommandLinePath("", kSingle, out));
    EXPECT_STREQ("", out);
    for (const char* line : {"\"C:\\A B\\PERN.EVT\"", "\"C:\\A B\\PERN.EVT", "C:\\A B\\PERN.EVT"}) {
        TakeCommandLinePath(line, kSingle, out);
        EXPECT_STREQ("C:\\A B\\PERN.EVT", out) << line;
    }
    std::string line(259, 'A');
    EXPECT_EQ(0, TakeCommandLinePath(line.c_str(), kSingle, out));
    EXPECT_EQ(line, out);
    line += 'A';
    EXPECT_EQ(kMsgPathTooLong, TakeCommandLinePath(line.c_str(), kSingle, out));
    EXPECT_STREQ("", out);
}

TEST(SaveAsPath, ExtensionOfTheLastComponentBecomesEvt) {
    const std::string longest(257, 'A'), fits(255, 'A'), fitsEvt = fits + ".evt";
    const PathCase cases[] = {
        {"C:\\LOGS\\LOG", "C:\\LOGS\\LOG.evt", kSingle},
        {"LOG.TXT", "LOG.evt", kSingle},
        {"C:\\LOGS\\LOG.EVTX", "C:\\LOGS\\LOG.evt", kSingle},
        {"C:\\MY.DIR\\LOG", "C:\\MY.DIR\\LOG.evt", kSingle},
        {"A.B", "A.B.evt", kSingle},   // shorter than five bytes: appended
        {"A.BCD", "A.evt", kSingle},
        {longest.c_str(), longest.c_str(), kSingle},   // no room for the extension
        {fits.c_str(), fitsEvt.c_str(), kSingle},
        // 表's second byte is 0x5C: walked by bytes, LOG.表 had no extension.
        {"C:\\LOGS\\LOG." HYOU, "C:\\LOGS\\LOG.evt", kSjis},
        {"C:\\" NIHON "\\LOG." SO, "C:\\" NIHON "\\LOG.evt", kSjis},
        {"C:\\LOGS\\LOG." HYOU, "C:\\LOGS\\LOG." HYOU ".evt", kSingle},
    };
    for (const PathCase& c : cases) {
        char out[kPathBufferSize];
        SaveAsPathFromChoice(c.in, c.page, out);
        EXPECT_STREQ(c.out, out) << c.in;
    }
}

TEST(HelpFilePath, ExtensionBecomesHlpOrTheBareNameIsUsed) {
    const PathCase cases[] = {
        {"C:\\X\\DARVEX.EXE2", "C:\\X\\DARVEX.HLP", kSingle},
        {"C:\\APP.DIR\\PROG", "DARVEX.HLP", kSingle},
        {"C:\\" HYOU "\\PROG." HYOU, "C:\\" HYOU "\\PROG.HLP", kSjis},
    };
    for (const PathCase& c : cases) {
        char path[kPathBufferSize];
        snprintf(path, sizeof path, "%s", c.in);
        DeriveHelpFilePath(path, "DARVEX", c.page);
        EXPECT_STREQ(c.out, path) << c.in;
    }
}

TEST(SourcePath, LiveSourceIsFoundAnywhereInThePathUpperCasedByCharacters) {
    const struct {
        const char* path;
        int source;
        const char* upper;
        const AnsiCodePage& page;
    } cases[] = {
        {"c:\\logs\\old_pern.evt.bak", 0, "C:\\LOGS\\OLD_PERN.EVT.BAK", kSingle},
        {"C:\\TOLVA.EVT\\PERN.EVT", 0, "C:\\TOLVA.EVT\\PERN.EVT", kSingle},
        {"d:\\x\\kestram.evt", 3, "D:\\X\\KESTRAM.EVT", kSingle},
        {"C:\\LOGS\\COPY.EVT", -1, "C:\\LOGS\\COPY.EVT", kSingle},
        {"z:\\x\\" TESUTO "\\pern.evt", 0, "Z:\\X\\" TESUTO "\\PERN.EVT", kSjis},
        {"c:\\" HYOU "\\" NIHON "\\old_tolva.evt.bak", 1, "C:\\" HYOU "\\" NIHON "\\OLD_TOLVA.EVT.BAK", kSjis},
        // ケ followed by ERN.EVT holds the bytes "PERN.EVT" from its second byte on.
        {"c:\\logs\\" KE "ern.evt", -1, "C:\\LOGS\\" KE "ERN.EVT", kSjis},
    };
    for (const auto& c : cases) {
        OpenFileState file = {};
        snprintf(file.path, sizeof file.path, "%s", c.path);
        IdentifySource(&file, c.page);
        EXPECT_EQ(c.source, file.sourceIndex) << c.path;
        EXPECT_EQ(c.source >= 0 ? 1u : 0u, file.isLive) << c.path;
        EXPECT_STREQ(c.upper, file.path);
    }
}

}  // namespace
