// DARVEX.EXE started as a user starts it, driven from another process.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/program_driver_win32.h"
#include "tools/log_writer.h"

#define VERSION_TEXT_(x) #x
#define VERSION_TEXT(x) VERSION_TEXT_(x)

namespace {
// Opens the Event Detail of the row with Enter on the list.
HWND OpenDetail(Program& p, int row) {
    if (!p.Up()) return nullptr;
    SendMessageA(p.list, LB_SETCURSEL, WPARAM(row), 0);
    PostMessageA(p.list, WM_KEYDOWN, VK_RETURN, 1);
    HWND dialog = p.Window("#32770");
    EXPECT_FALSE(IsWindowEnabled(p.main));
    return dialog;
}

}  // namespace

TEST(Program, CommandLineLogThenFindAndFontDialogs) {
    const std::string log = TempPath("FIND.EVT");
    WriteTextLog(log, {"Backup done", "disk ERROR", "service started"});
    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    EXPECT_EQ(Title(p.main), "DARVEX " + Upper(log));
    EXPECT_EQ(p.Rows(), 3);
    EXPECT_EQ(Selection(p), 0);
    EXPECT_EQ(p.Status(), "Total number of Event3|Write Prohibit|");

    EXPECT_EQ(FindFromDialog(p, "error"), 1);

    // Whatever size the font dialog chose, the rows keep the window font's height.
    const LRESULT height = SendMessageA(p.list, LB_GETITEMHEIGHT, 0, 0);
    HWND font = p.Open(IDM_OPTION_FONT);
    ASSERT_NE(font, nullptr);
    Sleep(500);   // the dialog fills its lists after it shows; OK needs a chosen size
    PostMessageA(font, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(font, IDOK)));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(font); }));
    EXPECT_EQ(SendMessageA(p.list, LB_GETITEMHEIGHT, 0, 0), height);
}

TEST(Program, OverlongCommandLineShowsItsBoxAndEnds) {
    Program overlong(std::string(300, 'A'));
    std::string caption;
    EXPECT_EQ(overlong.AnswerBox(IDOK, nullptr, &caption),
              "Event log file name is invalid \r\n path name or file name is too long.");
    EXPECT_EQ(caption, "Failure in DARVEX");
    EXPECT_EQ(overlong.WaitForExit(), 0u);
}

// Code page 932: names whose second bytes look like letters (テ 0x83 0x65) or a backslash (表 0x95 0x5C).
TEST(ProgramJapanese, LiveLogInJapaneseFoldersRefreshesFiltersAndOpensAnotherToFind) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const std::string folder = JapaneseFolder(), log = folder + "pern.evt", copy = folder + Ansi(u8"ソ.evt");
    WriteLog(log, 40);
    // ア (0x83 0x41) and ヂ (0x83 0x61) differ only in a second byte like A and a.
    WriteTextLog(copy, {Ansi(u8"アラーム発生"), Ansi(u8"ヂ"), Ansi(u8"開始")});
    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    // Only the ASCII letters of the title change.
    const std::string title = Title(p.main);
    EXPECT_EQ(title, "DARVEX " + Upper(folder) + "PERN.EVT");
    EXPECT_NE(title.find(Ansi(u8"\\日本\\テスト\\表\\PERN.EVT")), std::string::npos) << title;
    EXPECT_EQ(p.Status(), Ansi(u8"イベント総数：40||"));

    // F5 reads the file again, now the filter test log.
    ASSERT_EQ(WriteFilterTestLog(log.c_str()), 1);
    PostMessageA(p.list, WM_KEYDOWN, VK_F5, 0);
    EXPECT_TRUE(WaitUntil([&] { return p.Rows() == 6; }));
    EXPECT_EQ(Title(p.main), title);
    EXPECT_EQ(p.Window("#32770", nullptr, 300), nullptr) << "an error box is up";
    // Filter from 99/12/31 23:59:59 (1999), no Warning: three events stay.
    const char* const start[6] = {"99", "12", "31", "23", "59", "59"};
    Filter(p, start, false, true, [&](HWND filter) {
        EXPECT_EQ(Title(filter), Ansi(u8"表示するイベント"));
        EXPECT_EQ(Title(GetDlgItem(filter, IDC_FILTER_CLEAR)), Ansi(u8"標準値(&C)"));
        EXPECT_FALSE(IsWindowEnabled(p.main));
    });
    EXPECT_TRUE(WaitUntil([&] { return p.Rows() == 3; })) << p.Rows();
    EXPECT_EQ(p.Status(), Ansi(u8"イベント総数：3||フィルタ"));

    // The copy is not live, whatever its folders say.
    EXPECT_EQ(p.ChooseInOpenDialog(copy), Ansi(u8"開く"));
    EXPECT_TRUE(WaitUntil([&] { return Title(p.main) == "DARVEX " + Upper(copy); })) << Title(p.main);
    EXPECT_EQ(p.Status(), Ansi(u8"イベント総数：3|書き込み禁止|"));
    EXPECT_EQ(FindFromDialog(p, Ansi(u8"ア")), 2);
}

TEST(ProgramJapanese, EventDetailShowsShiftJisAndAsksInJapanese) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const std::string log = TempPath("DETAIL.EVT");
    ASSERT_EQ(WriteDetailLog(log.c_str()), 1);
    Program p("\"" + log + "\"");
    HWND dialog = OpenDetail(p, kRowJapanese);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Title(dialog), Ansi(u8"イベントの詳細"));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TYPE), Ansi(u8"情報  "));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), kJapaneseDescription);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kJapaneseRowDump932);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_DETAIL_DATA), EM_GETLINECOUNT, 0, 0), 2);

    SendMessageA(p.list, LB_SETCURSEL, kRowLetters, 0);
    EXPECT_EQ(ClickAndAnswer(p, dialog, IDC_DETAIL_PREVIOUS, IDOK),
              Ansi(u8"カーソルがイベントログの先頭に達しました。\r\n最後から続けますか？"));
    EXPECT_EQ(Selection(p), kDetailRowCount - 1);
    const std::string dumpFace = ViewFaceName(p, GetDlgItem(dialog, IDC_DETAIL_DATA));
    EXPECT_EQ(ClickAndAnswer(p, dialog, IDC_DETAIL_NEXT, IDCANCEL),
              Ansi(u8"カーソルがイベントログの最後に達しました。\r\n先頭から続けますか？"));
    EXPECT_EQ(Selection(p), kDetailRowCount - 1);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), std::string(4096, 'D'));
    // Esc closes the dialog; About shows this build's version.
    PressKey(p, VK_ESCAPE, GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
    HWND box = p.Open(IDM_HELP_ABOUT);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Title(box), Ansi(u8"DARVEX のバージョン情報"));
    EXPECT_EQ(ItemText(box, IDC_ABOUT_PRODUCT_NAME), "DARVEX");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_PRODUCT_VERSION), VERSION_TEXT(DARVEX_VERSION));
    EXPECT_EQ(ItemText(box, IDC_ABOUT_FILE_VERSION), VERSION_TEXT(DARVEX_VERSION.0));
    PressKey(p, VK_ESCAPE, GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(p.main); }));

    // Opened again on the largest event: the whole Byte dump, and the same font in each new data view.
    dialog = OpenDetail(p, kRowLong);
    ASSERT_NE(dialog, nullptr);
    const std::string dump = ItemText(dialog, IDC_DETAIL_DATA);
    EXPECT_EQ(dump.size(), 8191u * 45 + 42);
    EXPECT_EQ(dump.substr(dump.rfind("\r\n") + 2), "FFF8: 38 39 30 31 32 33 34         8901234");
    Click(dialog, IDC_DETAIL_WORD);
    Click(dialog, IDC_DETAIL_BYTE);
    EXPECT_EQ(ViewFaceName(p, GetDlgItem(dialog, IDC_DETAIL_DATA)), dumpFace);
}
