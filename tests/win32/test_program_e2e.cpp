// DARVEX.EXE started as a user would start it, watched from another process:
// its window, title, status bar, list and error boxes.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/win32/program_e2e_support.h"
#include "tools/log_writer.h"

namespace {

// A log of one event per text, oldest first, so the list shows the last text in row 0.
std::string WriteTextLog(const char* name, const std::vector<std::string>& texts) {
    LogImage image;
    InitLogImage(&image, 0, 4096);
    uint32_t offset = 88;
    for (size_t i = 0; i < texts.size(); ++i) {
        RecordSpec r;
        r.timeStamp = MakeRecordTime(2022, 5, 6, 7, 8, uint16_t(i));
        r.text = texts[i].c_str();
        r.link = RecordSpecSize(r);
        offset = PlaceRecord(&image, offset, r);
    }
    SetRecordCount(&image, uint32_t(texts.size()));
    SetOldestOffset(&image, 88);
    const std::string path = TempLog(name, 0);
    EXPECT_EQ(WriteLogImage(image, path.c_str()), 1);
    return path;
}

// Opens Find in the running program, types text and presses Find Next; the
// selected row once the dialog has closed, or -1 when it stays open.
LRESULT FindFromDialog(const Program& program, HWND main, const std::string& text) {
    PostMessageA(main, WM_COMMAND, IDM_VIEW_FIND, 0);
    HWND dialog = WaitForWindow(program.pi.dwProcessId, "#32770");
    if (dialog == nullptr) return -2;
    SendMessageA(GetDlgItem(dialog, IDC_FIND_DESCRIPTION), WM_SETTEXT, 0, LPARAM(text.c_str()));
    PostMessageA(GetDlgItem(dialog, IDC_FIND_NEXT), BM_CLICK, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - start < 10000) Sleep(50);
    if (IsWindow(dialog)) return -1;
    return SendMessageA(GetDlgItem(main, IDC_EVENT_LIST), LB_GETCURSEL, 0, 0);
}

}  // namespace

TEST(Program, OpensTheCommandLineLogAtOnce) {
    const std::string log = TempLog("SAMPLE.EVT", 500);
    Program program("\"" + log + "\"");
    ASSERT_TRUE(program.started) << ProgramPath();
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WaitForTitleWith(main, "DARVEX "), "DARVEX " + Upper(log));

    HWND list = GetDlgItem(main, IDC_EVENT_LIST);
    HWND status = GetDlgItem(main, IDC_STATUS_BAR);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 500);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 0), "Total number of Event500");
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 1), "Write Prohibit");
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 2), "");

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, LiveLogIsNotWriteProhibited) {
    const std::string log = TempLog("PERN.EVT", 50);
    Program program(log);
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WaitForTitleWith(main, "DARVEX "), "DARVEX " + Upper(log));
    HWND status = GetDlgItem(main, IDC_STATUS_BAR);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 0), "Total number of Event50");
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 1), "");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, MissingLogShowsTheOpenErrorAndStaysUnopened) {
    const std::string log = TempLog("MISSING.EVT", 0);
    Program program(log);
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    std::string caption;
    EXPECT_EQ(AnswerBox(program.pi.dwProcessId, IDOK, &caption), "Failed to open the event log file.");
    EXPECT_EQ(caption, "Failure in DARVEX");
    EXPECT_EQ(WaitForTitleWith(main, "DARVEX"), "DARVEX ");
    HWND status = GetDlgItem(main, IDC_STATUS_BAR);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 0), "File Unopened     ");
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_EVENT_LIST), LB_GETCOUNT, 0, 0), 0);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, OverlongCommandLineIsRefusedAndTheProgramEnds) {
    Program program(std::string(300, 'A'));
    ASSERT_TRUE(program.started);
    std::string caption;
    const std::string text = AnswerBox(program.pi.dwProcessId, IDOK, &caption);
    EXPECT_EQ(text, "Event log file name is invalid \r\n path name or file name is too long.");
    EXPECT_EQ(caption, "Failure in DARVEX");
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, OpenDialogLoadsTheChosenLog) {
    const std::string log = TempLog("CHOSEN.EVT", 25);
    Program program("");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Title(main), "DARVEX");

    EXPECT_EQ(ChooseInOpenDialog(program, main, log), "Open");

    EXPECT_EQ(WaitForTitleWith(main, "DARVEX "), "DARVEX " + Upper(log));
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_EVENT_LIST), LB_GETCOUNT, 0, 0), 25);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, GetDlgItem(main, IDC_STATUS_BAR), 0), "Total number of Event25");
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, FindDialogSelectsTheMatchingRow) {
    const std::string log = WriteTextLog("FIND.EVT", {"Backup done", "disk ERROR", "service started"});
    Program program("\"" + log + "\"");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    WaitForTitleWith(main, "DARVEX ");
    EXPECT_EQ(FindFromDialog(program, main, "error"), 1);
    EXPECT_EQ(FindFromDialog(program, main, "BACKUP"), 2);
    EXPECT_TRUE(IsWindowEnabled(main));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(Program, FontDialogKeepsTheRowHeight) {
    const std::string log = TempLog("FONT.EVT", 10);
    Program program("\"" + log + "\"");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    WaitForTitleWith(main, "DARVEX ");
    HWND list = GetDlgItem(main, IDC_EVENT_LIST);
    const LRESULT heightBefore = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);

    PostMessageA(main, WM_COMMAND, IDM_OPTION_FONT, 0);
    HWND dialog = WaitForWindow(program.pi.dwProcessId, "#32770");
    ASSERT_NE(dialog, nullptr);
    // The dialog fills its lists after it shows; OK needs a chosen size.
    Sleep(500);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(dialog, IDOK)));
    const DWORD start = GetTickCount();
    while (IsWindow(dialog) && GetTickCount() - start < 10000) Sleep(50);
    EXPECT_FALSE(IsWindow(dialog));

    // Whatever size was chosen, the rows keep the window font's height.
    EXPECT_EQ(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), heightBefore);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 10);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

// Under the Japanese code page (932): folders and names whose second bytes
// look like ASCII letters (テ is 0x83 0x65) or a backslash (表 is 0x95 0x5C).
namespace {

bool JapaneseCodePage() { return GetACP() == 932; }

}  // namespace

TEST(ProgramJapanese, LiveLogInJapaneseFoldersLoadsAndRefreshes) {
    if (!JapaneseCodePage()) GTEST_SKIP() << "needs code page 932";
    const std::string folder = JapaneseFolder();
    const std::string log = folder + "pern.evt";
    WriteLog(log, 40);
    Program program("\"" + log + "\"");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    // The title names the file that was opened: only the ASCII letters change.
    const std::string title = WaitForTitleWith(main, "DARVEX ");
    EXPECT_EQ(title, "DARVEX " + Upper(folder) + "PERN.EVT");
    EXPECT_NE(title.find(Ansi(u8"\\日本\\テスト\\表\\PERN.EVT")), std::string::npos) << title;
    HWND status = GetDlgItem(main, IDC_STATUS_BAR);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 0), Ansi(u8"イベント総数：40"));
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 1), "");   // live: PERN.EVT
    HWND list = GetDlgItem(main, IDC_EVENT_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 40);

    // F5 reads the file again by the path in the title: it now holds 55 events.
    WriteLog(log, 55);
    PostMessageA(list, WM_KEYDOWN, VK_F5, 0);
    const DWORD start = GetTickCount();
    while (SendMessageA(list, LB_GETCOUNT, 0, 0) != 55 && GetTickCount() - start < 10000) Sleep(50);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 55);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 0), Ansi(u8"イベント総数：55"));
    EXPECT_EQ(Title(main), title);
    EXPECT_EQ(WaitForWindow(program.pi.dwProcessId, "#32770", 300), nullptr) << "an error box is up";
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(ProgramJapanese, OpenDialogTakesAJapaneseName) {
    if (!JapaneseCodePage()) GTEST_SKIP() << "needs code page 932";
    // ソ ends in 0x5C too; the copy is not live, whatever its folders say.
    const std::string log = JapaneseFolder() + Ansi(u8"ソ.evt");
    WriteLog(log, 12);
    Program program("");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ChooseInOpenDialog(program, main, log), Ansi(u8"開く"));

    EXPECT_EQ(WaitForTitleWith(main, "DARVEX "), "DARVEX " + Upper(log));
    EXPECT_EQ(SendMessageA(GetDlgItem(main, IDC_EVENT_LIST), LB_GETCOUNT, 0, 0), 12);
    HWND status = GetDlgItem(main, IDC_STATUS_BAR);
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 0), Ansi(u8"イベント総数：12"));
    EXPECT_EQ(RemoteStatusText(program.pi.hProcess, status, 1), Ansi(u8"書き込み禁止"));
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

TEST(ProgramJapanese, FindComparesDoubleByteCharactersExactly) {
    if (!JapaneseCodePage()) GTEST_SKIP() << "needs code page 932";
    // ア (0x83 0x41) and ヂ (0x83 0x61) differ only in a second byte that looks like A and a.
    const std::string log = WriteTextLog(
        "FINDJA.EVT", {Ansi(u8"アラーム発生"), Ansi(u8"ヂ"), Ansi(u8"開始")});
    Program program("\"" + log + "\"");
    ASSERT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    ASSERT_NE(main, nullptr);
    WaitForTitleWith(main, "DARVEX ");
    EXPECT_EQ(FindFromDialog(program, main, Ansi(u8"ア")), 2);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}
