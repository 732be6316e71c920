// DARVEX.EXE started as a user would start it, watched from another process:
// its window, title, status bar, list, dialogs and error boxes.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/win32/filter_test_log.h"
#include "tests/win32/program_e2e_support.h"

namespace {

// Opens Find, types text and presses Find Next; the selected row once the
// dialog has closed, or -1 when it stays open.
LRESULT FindFromDialog(const Program& p, const std::string& text) {
    PostMessageA(p.main, WM_COMMAND, IDM_VIEW_FIND, 0);
    HWND dialog = p.Window("#32770");
    if (dialog == nullptr) return -2;
    SendMessageA(GetDlgItem(dialog, IDC_FIND_DESCRIPTION), WM_SETTEXT, 0, LPARAM(text.c_str()));
    PostMessageA(GetDlgItem(dialog, IDC_FIND_NEXT), BM_CLICK, 0, 0);
    if (!WaitUntil([&] { return !IsWindow(dialog); })) return -1;
    return SendMessageA(p.list, LB_GETCURSEL, 0, 0);
}

}  // namespace

TEST(Program, CommandLineLogThenFindFontAndTheOpenDialog) {
    const std::string log = TempPath("FIND.EVT"), live = TempPath("PERN.EVT");
    WriteTextLog(log, {"Backup done", "disk ERROR", "service started"});
    WriteLog(live, 25);
    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    EXPECT_EQ(Title(p.main), "DARVEX " + Upper(log));
    EXPECT_EQ(p.Rows(), 3);
    EXPECT_EQ(SendMessageA(p.list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(p.Status(0), "Total number of Event3");
    EXPECT_EQ(p.Status(1), "Write Prohibit");
    EXPECT_EQ(p.Status(2), "");

    EXPECT_EQ(FindFromDialog(p, "error"), 1);
    EXPECT_EQ(FindFromDialog(p, "BACKUP"), 2);

    // Whatever size the font dialog chose, the rows keep the window font's height.
    const LRESULT height = SendMessageA(p.list, LB_GETITEMHEIGHT, 0, 0);
    PostMessageA(p.main, WM_COMMAND, IDM_OPTION_FONT, 0);
    HWND font = p.Window("#32770");
    ASSERT_NE(font, nullptr);
    Sleep(500);   // the dialog fills its lists after it shows; OK needs a chosen size
    PostMessageA(font, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(font, IDOK)));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(font); }));
    EXPECT_EQ(SendMessageA(p.list, LB_GETITEMHEIGHT, 0, 0), height);

    // A live log chosen by its name is not write-prohibited.
    EXPECT_EQ(p.ChooseInOpenDialog(live), "Open");
    EXPECT_TRUE(WaitUntil([&] { return Title(p.main) == "DARVEX " + Upper(live); })) << Title(p.main);
    EXPECT_EQ(p.Rows(), 25);
    EXPECT_EQ(p.Status(0), "Total number of Event25");
    EXPECT_EQ(p.Status(1), "");
}

TEST(Program, MissingLogAndOverlongCommandLineShowTheirBoxes) {
    Program missing(TempPath("MISSING.EVT"));
    ASSERT_TRUE(missing.Up(false));
    std::string caption;
    EXPECT_EQ(missing.AnswerBox(IDOK, nullptr, &caption), "Failed to open the event log file.");
    EXPECT_EQ(caption, "Failure in DARVEX");
    EXPECT_TRUE(WaitUntil([&] { return Title(missing.main) == "DARVEX "; })) << Title(missing.main);
    EXPECT_EQ(missing.Status(0), "File Unopened     ");
    EXPECT_EQ(missing.Rows(), 0);

    Program overlong(std::string(300, 'A'));
    EXPECT_EQ(overlong.AnswerBox(IDOK, nullptr, &caption),
              "Event log file name is invalid \r\n path name or file name is too long.");
    EXPECT_EQ(caption, "Failure in DARVEX");
    EXPECT_EQ(overlong.WaitForExit(), 0u);
}

namespace {

// Opens Filter on the six-event log, chooses "Events On:" 99/12/31 23:59:59
// (1999) as the start and no Warning events, and presses OK: the events of
// 2000, 2005 9:30 and 2005 10:00 stay.
void FilterFromTheEndOf1999(const char* title, const char* clear, const char* count, const char* filter) {
    const std::string log = TempPath("FILTER.EVT");
    ASSERT_TRUE(WriteFilterTestLog(log));
    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    ASSERT_EQ(p.Rows(), 6);
    PostMessageA(p.main, WM_COMMAND, IDM_VIEW_FILTER, 0);
    HWND dialog = p.Window("#32770");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Title(dialog), Ansi(title));
    EXPECT_EQ(Title(GetDlgItem(dialog, IDC_FILTER_CLEAR)), Ansi(clear));
    EXPECT_FALSE(IsWindowEnabled(p.main));
    SendMessageA(GetDlgItem(dialog, IDC_FILTER_FROM_STAMP), BM_CLICK, 0, 0);
    const char* const start[6] = {"99", "12", "31", "23", "59", "59"};
    for (int i = 0; i < 6; ++i) SetWindowTextA(GetDlgItem(dialog, IDC_FILTER_FROM_YEAR + i), start[i]);
    SendMessageA(GetDlgItem(dialog, IDC_FILTER_WARNING), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDC_FILTER_OK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
    // The filter runs when the program reads the command the dialog posted.
    EXPECT_TRUE(WaitUntil([&] { return p.Rows() == 3; })) << p.Rows();
    EXPECT_EQ(p.Status(0), Ansi(count));
    EXPECT_EQ(p.Status(2), Ansi(filter));
}

}  // namespace

TEST(Program, FilterDialogOkFiltersTheList) {
    FilterFromTheEndOf1999("Filter", "&Clear", "Total number of Event3", "Filter");
}

// Under the Japanese code page (932, LC_ALL=ja_JP.UTF-8): folders and names
// whose second bytes look like ASCII letters (テ is 0x83 0x65) or a
// backslash (表 is 0x95 0x5C, ソ 0x83 0x5C), and the Japanese resources.
TEST(ProgramJapanese, FilterDialogOkFiltersTheList) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    FilterFromTheEndOf1999(u8"表示するイベント", u8"標準値(&C)", u8"イベント総数：3", u8"フィルタ");
}

TEST(ProgramJapanese, LiveLogInJapaneseFoldersFindsRefreshesAndOpensAnother) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const std::string folder = JapaneseFolder(), log = folder + "pern.evt", copy = folder + Ansi(u8"ソ.evt");
    // ア (0x83 0x41) and ヂ (0x83 0x61) differ only in a second byte that looks like A and a.
    WriteTextLog(log, {Ansi(u8"アラーム発生"), Ansi(u8"ヂ"), Ansi(u8"開始")});
    WriteLog(copy, 12);
    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    // The title names the file that was opened: only the ASCII letters change.
    const std::string title = Title(p.main);
    EXPECT_EQ(title, "DARVEX " + Upper(folder) + "PERN.EVT");
    EXPECT_NE(title.find(Ansi(u8"\\日本\\テスト\\表\\PERN.EVT")), std::string::npos) << title;
    EXPECT_EQ(p.Status(0), Ansi(u8"イベント総数：3"));
    EXPECT_EQ(p.Status(1), "");   // live: PERN.EVT
    EXPECT_EQ(FindFromDialog(p, Ansi(u8"ア")), 2);

    // F5 reads the file again by the path in the title: it now holds 55 events.
    WriteLog(log, 55);
    PostMessageA(p.list, WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(WaitUntil([&] { return p.Rows() == 55; }));
    EXPECT_EQ(p.Status(0), Ansi(u8"イベント総数：55"));
    EXPECT_EQ(Title(p.main), title);
    EXPECT_EQ(p.Window("#32770", nullptr, 300), nullptr) << "an error box is up";

    // The copy is not live, whatever its folders say.
    EXPECT_EQ(p.ChooseInOpenDialog(copy), Ansi(u8"開く"));
    EXPECT_TRUE(WaitUntil([&] { return Title(p.main) == "DARVEX " + Upper(copy); })) << Title(p.main);
    EXPECT_EQ(p.Rows(), 12);
    EXPECT_EQ(p.Status(1), Ansi(u8"書き込み禁止"));
}
