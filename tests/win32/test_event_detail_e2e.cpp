// The Event Detail dialog and the About box of DARVEX.EXE, opened and driven
// from another process as a user would: Enter on the list, the buttons, the
// wrap questions, Esc and Enter.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/program_e2e_support.h"

#ifndef DARVEX_VERSION
#error "DARVEX_VERSION is set by the build"
#endif
#define VERSION_TEXT_(x) #x
#define VERSION_TEXT(x) VERSION_TEXT_(x)

namespace {

// WM_GETTEXT is carried across processes; GetWindowText would not ask a
// rich edit view of another process for its text.
std::string ItemText(HWND dialog, int id) {
    std::vector<char> text(0x60000);
    SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    return text.data();
}
int Selection(const Program& p) { return int(SendMessageA(p.list, LB_GETCURSEL, 0, 0)); }
void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Sends a key to the window that holds the program's keyboard focus. When a
// test program running beside it has the foreground, the program has no
// focus window; the key then goes to the control that had the focus.
void PressKey(const Program& p, WPARAM key, HWND focused) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(p.pi.dwThreadId, &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : focused;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

// Clicks a button of the dialog that asks a question and answers the box:
// returns the question's text.
std::string ClickAndAnswer(const Program& p, HWND dialog, int buttonId, int answer) {
    PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
    if (p.Window("#32770", dialog) == nullptr) return "<no box>";
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the dialog takes input while the box is up";
    const std::string text = p.AnswerBox(answer, dialog);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != 0; }));
    return text;
}

// The command line of DARVEX.EXE on the detail test log.
std::string DetailLog() {
    const std::string log = TempPath("DETAIL.EVT");
    EXPECT_EQ(WriteDetailLog(log.c_str()), 1);
    return "\"" + log + "\"";
}

// Opens the Event Detail of the row with Enter on the list.
HWND OpenDetail(Program& p, int row) {
    if (!p.Up()) return nullptr;
    EXPECT_EQ(p.Rows(), kDetailRowCount);
    SendMessageA(p.list, LB_SETCURSEL, WPARAM(row), 0);
    PostMessageA(p.list, WM_KEYDOWN, VK_RETURN, 1);
    HWND dialog = p.Window("#32770");
    EXPECT_FALSE(IsWindowEnabled(p.main));
    return dialog;
}

// Closes the dialog with Esc, opens About with its menu command, checks the
// values of this build's version resource (the same in both languages) and
// closes the box with the key.
void CloseDetailAndCheckAbout(const Program& p, HWND dialog, const std::string& aboutTitle, WPARAM closeKey) {
    PressKey(p, VK_ESCAPE, GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
    PostMessageA(p.main, WM_COMMAND, IDM_HELP_ABOUT, 0);
    HWND box = p.Window("#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Title(box), aboutTitle);
    EXPECT_EQ(ItemText(box, IDC_ABOUT_PRODUCT_NAME), "DARVEX");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_PRODUCT_VERSION), VERSION_TEXT(DARVEX_VERSION));
    EXPECT_EQ(ItemText(box, IDC_ABOUT_LEGAL_COPYRIGHT), "Copyright (C) The DARVEX developers");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_FILE_DESCRIPTION), "DARVEX Event Log Viewer");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_FILE_VERSION), VERSION_TEXT(DARVEX_VERSION.0));
    PressKey(p, closeKey, GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(p.main); }));
}

}  // namespace

TEST(Program, EventDetailStepsThroughTheListAndWrapsThenAboutShowsTheVersion) {
    Program p(DetailLog());
    HWND dialog = OpenDetail(p, kRowLetters);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Title(dialog), "Event Detail");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATE), "01/02/03");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_COMPONENT), "HALDOR/TOLVA          ");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TYPE), "Error");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), kLettersDescription);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kLettersByteDump);
    Click(dialog, IDC_DETAIL_WORD);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kLettersWordDump);
    Click(dialog, IDC_DETAIL_NEXT);
    EXPECT_EQ(Selection(p), kRowControlBytes);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kControlBytesDump);   // back to Byte
    Click(dialog, IDC_DETAIL_PREVIOUS);
    EXPECT_EQ(Selection(p), kRowLetters);

    // Past the top: Cancel stays, OK goes on from the end; past the end OK goes on from the top.
    EXPECT_EQ(ClickAndAnswer(p, dialog, IDC_DETAIL_PREVIOUS, IDCANCEL),
              "The cursor has reached to the top of the event log.\r\nIs the processing is continued from the end ?");
    EXPECT_EQ(Selection(p), kRowLetters);
    ClickAndAnswer(p, dialog, IDC_DETAIL_PREVIOUS, IDOK);
    EXPECT_EQ(Selection(p), kDetailRowCount - 1);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TIME), DetailRowTime(kDetailRowCount - 1));
    EXPECT_EQ(ClickAndAnswer(p, dialog, IDC_DETAIL_NEXT, IDOK),
              "The cursor has reached to the end of the event log.\r\nIs the processing is continued from the top ?");
    EXPECT_EQ(Selection(p), kRowLetters);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kLettersByteDump);
    CloseDetailAndCheckAbout(p, dialog, "About DARVEX", VK_RETURN);
    EXPECT_EQ(Selection(p), kRowLetters);
}

// Shift-JIS descriptions as the file holds them, dump lines that keep their ends.
TEST(ProgramJapanese, EventDetailShowsShiftJisAndAsksInJapanese) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    Program p(DetailLog());
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
    EXPECT_EQ(ClickAndAnswer(p, dialog, IDC_DETAIL_NEXT, IDCANCEL),
              Ansi(u8"カーソルがイベントログの最後に達しました。\r\n先頭から続けますか？"));
    EXPECT_EQ(Selection(p), kDetailRowCount - 1);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), std::string(4096, 'D'));
    CloseDetailAndCheckAbout(p, dialog, Ansi(u8"DARVEX のバージョン情報"), VK_ESCAPE);
}
