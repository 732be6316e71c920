#include "app/path_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string CommandLinePath(const char* line, int* result = nullptr) {
    char out[kPathBufferSize];
    int r = TakeCommandLinePath(line, out);
    if (result != nullptr) *result = r;
    return out;
}

std::string SaveAs(const char* chosen) {
    char out[kPathBufferSize];
    SaveAsPathFromChoice(chosen, out);
    return out;
}

std::string HelpPath(const char* module) {
    char path[kPathBufferSize];
    snprintf(path, sizeof path, "%s", module);
    DeriveHelpFilePath(path, "DARVEX");
    return path;
}

}  // namespace

TEST(CommandLinePath, EmptyLineGivesEmptyPath) {
    int r = -1;
    EXPECT_EQ(CommandLinePath("", &r), "");
    EXPECT_EQ(r, 0);
}

TEST(CommandLinePath, QuotesAroundThePathAreRemoved) {
    EXPECT_EQ(CommandLinePath("\"C:\\LOGS\\PERN.EVT\""), "C:\\LOGS\\PERN.EVT");
}

TEST(CommandLinePath, LoneOpeningQuoteIsRemoved) {
    EXPECT_EQ(CommandLinePath("\"C:\\LOGS\\PERN.EVT"), "C:\\LOGS\\PERN.EVT");
    EXPECT_EQ(CommandLinePath("\""), "");
}

TEST(CommandLinePath, UnquotedPathWithBlanksIsTakenWhole) {
    EXPECT_EQ(CommandLinePath("C:\\A B\\PERN.EVT"), "C:\\A B\\PERN.EVT");
}

TEST(CommandLinePath, Exactly259BytesAreAccepted) {
    std::string line(259, 'A');
    int r = -1;
    EXPECT_EQ(CommandLinePath(line.c_str(), &r), line);
    EXPECT_EQ(r, 0);
}

TEST(CommandLinePath, TwoHundredSixtyBytesAreRefusedWith220) {
    std::string line(260, 'A');
    int r = 0;
    EXPECT_EQ(CommandLinePath(line.c_str(), &r), "");
    EXPECT_EQ(r, kMsgPathTooLong);
    EXPECT_EQ(kMsgPathTooLong, 220);
}

TEST(SaveAsPath, NameWithoutExtensionGetsEvt) {
    EXPECT_EQ(SaveAs("LOG"), "LOG.evt");
    EXPECT_EQ(SaveAs("C:\\LOGS\\LOG"), "C:\\LOGS\\LOG.evt");
}

TEST(SaveAsPath, AnyTypedExtensionBecomesEvt) {
    EXPECT_EQ(SaveAs("LOG.TXT"), "LOG.evt");
    EXPECT_EQ(SaveAs("LOG.EVT"), "LOG.evt");
    EXPECT_EQ(SaveAs("LOG.EVTX"), "LOG.evt");
    EXPECT_EQ(SaveAs("C:\\LOGS\\LOG.EVTX"), "C:\\LOGS\\LOG.evt");
}

TEST(SaveAsPath, DotInDirectoryNameDoesNotCount) {
    EXPECT_EQ(SaveAs("C:\\MY.DIR\\LOG"), "C:\\MY.DIR\\LOG.evt");
    EXPECT_EQ(SaveAs("C:\\MY.DIR\\LOG.TXT"), "C:\\MY.DIR\\LOG.evt");
}

TEST(SaveAsPath, ShortNamesGetEvt) {
    EXPECT_EQ(SaveAs("A"), "A.evt");
    EXPECT_EQ(SaveAs("A.B"), "A.B.evt");
    EXPECT_EQ(SaveAs("A.BCD"), "A.evt");
}

TEST(SaveAsPath, NameThatCannotTakeTheExtensionIsKept) {
    std::string name(257, 'A');
    EXPECT_EQ(SaveAs(name.c_str()), name);
    std::string fits(255, 'A');
    EXPECT_EQ(SaveAs(fits.c_str()), fits + ".evt");
}

TEST(HelpFilePath, ExtensionBecomesHlp) {
    EXPECT_EQ(HelpPath("C:\\X\\DARVEX.EXE"), "C:\\X\\DARVEX.HLP");
    EXPECT_EQ(HelpPath("C:\\X\\DARVEX.EXE2"), "C:\\X\\DARVEX.HLP");
}

TEST(HelpFilePath, DotInDirectoryNameGivesTheBareName) {
    EXPECT_EQ(HelpPath("C:\\APP.DIR\\PROG"), "DARVEX.HLP");
    EXPECT_EQ(HelpPath("PROG"), "DARVEX.HLP");
}

TEST(MainWindowSize, FollowsTheUsableAreaInTwoSteps) {
    EXPECT_EQ(MainWindowWidth(640), 580);
    EXPECT_EQ(MainWindowHeight(433), 390);
    EXPECT_EQ(MainWindowWidth(800), 652);
    EXPECT_EQ(MainWindowHeight(553), 438);
    EXPECT_EQ(MainWindowHeight(420), 390);
    EXPECT_EQ(MainWindowWidth(652), 580);
    EXPECT_EQ(MainWindowHeight(438), 390);
    EXPECT_EQ(MainWindowWidth(580), kDefaultWindowSize);
    EXPECT_EQ(MainWindowHeight(390), kDefaultWindowSize);
}
