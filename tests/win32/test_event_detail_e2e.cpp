// The Event Detail dialog and the About box of DARVEX.EXE, opened and driven
// from another process as a user would: Enter on the list, the buttons, the
// wrap questions, Esc and Enter.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
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

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
    return true;
}

// WM_GETTEXT is carried across processes; GetWindowText would not ask a
// rich edit view of another process for its text.
std::string RemoteText(HWND window) {
    std::vector<char> text(0x60000);
    SendMessageA(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    return text.data();
}
std::string ItemText(HWND dialog, int id) { return RemoteText(GetDlgItem(dialog, id)); }
bool Checked(HWND dialog, int id) { return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
int Selection(HWND list) { return int(SendMessageA(list, LB_GETCURSEL, 0, 0)); }

// Sends a key to the window that holds the program's keyboard focus. When a
// test program running beside it has the foreground, the program has no
// focus window; the key then goes to the control that had the focus.
void PressKey(const Program& program, WPARAM key, HWND focused) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(program.pi.dwThreadId, &info);
    HWND target = info.hwndFocus != nullptr ? info.hwndFocus : focused;
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

struct BoxFinder {
    DWORD processId;
    HWND except;
    HWND box;
};

BOOL CALLBACK FindBox(HWND window, LPARAM lParam) {
    BoxFinder* f = reinterpret_cast<BoxFinder*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (pid != f->processId || window == f->except || !IsWindowVisible(window) || lstrcmpA(cls, "#32770") != 0) {
        return TRUE;
    }
    f->box = window;
    return FALSE;
}

// Clicks a button of the dialog that asks a question and answers the box:
// returns the question's text. The dialog is a "#32770" window too, so the
// box is told apart from it.
std::string ClickAndAnswer(const Program& program, HWND dialog, int buttonId, int answer) {
    PostMessageA(GetDlgItem(dialog, buttonId), BM_CLICK, 0, 0);
    BoxFinder f = {program.pi.dwProcessId, dialog, nullptr};
    if (!WaitUntil([&] {
            EnumWindows(FindBox, LPARAM(&f));
            return f.box != nullptr;
        })) {
        return "<no box>";
    }
    char text[512] = "";
    GetDlgItemTextA(f.box, 0xFFFF, text, sizeof text);
    EXPECT_FALSE(IsWindowEnabled(dialog)) << "the dialog takes input while the box is up";
    SendMessageA(GetDlgItem(f.box, answer), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(dialog) != 0; }));
    return text;
}

// DARVEX.EXE on the detail test log, its list and main window.
struct DetailProgram {
    Program program;
    HWND main = nullptr;
    HWND list = nullptr;

    DetailProgram() : program("\"" + WrittenLog() + "\"") {
        if (!program.started) return;
        main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
        if (main == nullptr) return;
        WaitForTitleWith(main, "DARVEX ");
        list = GetDlgItem(main, IDC_EVENT_LIST);
    }
    ~DetailProgram() {
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(), 0u);
    }
    static std::string WrittenLog() {
        const std::string log = TempLog("DETAIL.EVT", 0);
        EXPECT_EQ(WriteDetailLog(log.c_str()), 1);
        return log;
    }

    // Selects the row and presses Enter on the list; the dialog, or null.
    HWND OpenDetail(int row) {
        SendMessageA(list, LB_SETCURSEL, WPARAM(row), 0);
        PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
        return WaitForWindow(program.pi.dwProcessId, "#32770");
    }
};

}  // namespace

TEST(Program, EventDetailStepsThroughTheListAndWrapsAtBothEnds) {
    DetailProgram p;
    ASSERT_NE(p.list, nullptr);
    ASSERT_EQ(SendMessageA(p.list, LB_GETCOUNT, 0, 0), kDetailRowCount);
    HWND dialog = p.OpenDetail(kRowLetters);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Title(dialog), "Event Detail");
    EXPECT_FALSE(IsWindowEnabled(p.main));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATE), "01/02/03");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TIME), DetailRowTime(kRowLetters));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_COMPUTER), "TESTPC");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_COMPONENT), "HALDOR/TOLVA          ");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_MODULE), "HALDOR/TOLVA");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TYPE), "Error");
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), kLettersDescription);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kLettersByteDump);

    SendMessageA(GetDlgItem(dialog, IDC_DETAIL_WORD), BM_CLICK, 0, 0);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kLettersWordDump);
    SendMessageA(GetDlgItem(dialog, IDC_DETAIL_NEXT), BM_CLICK, 0, 0);
    EXPECT_EQ(Selection(p.list), kRowControlBytes);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kControlBytesDump);
    EXPECT_TRUE(Checked(dialog, IDC_DETAIL_BYTE));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TYPE), "Warning  ");
    SendMessageA(GetDlgItem(dialog, IDC_DETAIL_PREVIOUS), BM_CLICK, 0, 0);
    EXPECT_EQ(Selection(p.list), kRowLetters);

    // Past the top: Cancel stays, OK goes on from the end.
    EXPECT_EQ(ClickAndAnswer(p.program, dialog, IDC_DETAIL_PREVIOUS, IDCANCEL),
              "The cursor has reached to the top of the event log.\r\nIs the processing is continued from the end ?");
    EXPECT_EQ(Selection(p.list), kRowLetters);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TIME), DetailRowTime(kRowLetters));
    ClickAndAnswer(p.program, dialog, IDC_DETAIL_PREVIOUS, IDOK);
    EXPECT_EQ(Selection(p.list), kDetailRowCount - 1);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TIME), DetailRowTime(kDetailRowCount - 1));
    // Past the end: OK goes on from the top.
    EXPECT_EQ(ClickAndAnswer(p.program, dialog, IDC_DETAIL_NEXT, IDOK),
              "The cursor has reached to the end of the event log.\r\nIs the processing is continued from the top ?");
    EXPECT_EQ(Selection(p.list), kRowLetters);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kLettersByteDump);

    PressKey(p.program, VK_ESCAPE, GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(IsWindowEnabled(p.main));
    EXPECT_EQ(Selection(p.list), kRowLetters);
}

namespace {

// Opens the About box of a fresh DARVEX.EXE with the command of its menu
// item, checks it, and closes it with the key.
void CheckAboutBox(const std::string& title, WPARAM closeKey) {
    Program program("");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    PostMessageA(main, WM_COMMAND, IDM_HELP_ABOUT, 0);
    HWND box = WaitForWindow(program.pi.dwProcessId, "#32770");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Title(box), title);
    EXPECT_FALSE(IsWindowEnabled(main));
    // The values of this build's version resource, the same in both languages.
    EXPECT_EQ(ItemText(box, IDC_ABOUT_PRODUCT_NAME), "DARVEX");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_PRODUCT_VERSION), VERSION_TEXT(DARVEX_VERSION));
    EXPECT_EQ(ItemText(box, IDC_ABOUT_LEGAL_COPYRIGHT), "Copyright (C) The DARVEX developers");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_FILE_DESCRIPTION), "DARVEX Event Log Viewer");
    EXPECT_EQ(ItemText(box, IDC_ABOUT_FILE_VERSION), VERSION_TEXT(DARVEX_VERSION.0));

    PressKey(program, closeKey, GetDlgItem(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowEnabled(main));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace

TEST(Program, AboutBoxShowsTheVersionOfThisBuild) { CheckAboutBox("About DARVEX", VK_RETURN); }

// Under code page 932 (LC_ALL=ja_JP.UTF-8): the Japanese resources, Shift-JIS
// descriptions as the file holds them, and dump lines that keep their ends.
TEST(ProgramJapanese, EventDetailShowsShiftJisAndAsksInJapanese) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    DetailProgram p;
    ASSERT_NE(p.list, nullptr);
    HWND dialog = p.OpenDetail(kRowJapanese);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Title(dialog), Ansi(u8"イベントの詳細"));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_TYPE), Ansi(u8"情報  "));
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), kJapaneseDescription);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DATA), kJapaneseRowDump932);
    EXPECT_EQ(SendMessageA(GetDlgItem(dialog, IDC_DETAIL_DATA), EM_GETLINECOUNT, 0, 0), 2);

    SendMessageA(p.list, LB_SETCURSEL, kRowLetters, 0);
    EXPECT_EQ(ClickAndAnswer(p.program, dialog, IDC_DETAIL_PREVIOUS, IDOK),
              Ansi(u8"カーソルがイベントログの先頭に達しました。\r\n最後から続けますか？"));
    EXPECT_EQ(Selection(p.list), kDetailRowCount - 1);
    EXPECT_EQ(ClickAndAnswer(p.program, dialog, IDC_DETAIL_NEXT, IDCANCEL),
              Ansi(u8"カーソルがイベントログの最後に達しました。\r\n先頭から続けますか？"));
    EXPECT_EQ(Selection(p.list), kDetailRowCount - 1);
    EXPECT_EQ(ItemText(dialog, IDC_DETAIL_DESCRIPTION), std::string(4096, 'D'));

    PressKey(p.program, VK_ESCAPE, GetDlgItem(dialog, IDC_DETAIL_DESCRIPTION));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(IsWindowEnabled(p.main));
}

TEST(ProgramJapanese, AboutBoxHasItsJapaneseTitleAndTheSameValues) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    CheckAboutBox(Ansi(u8"DARVEX のバージョン情報"), VK_ESCAPE);
}
