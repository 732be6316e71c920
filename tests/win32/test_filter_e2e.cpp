// The Filter dialog of DARVEX.EXE, opened and filled in from another process.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource_ids.h"
#include "tests/win32/filter_test_log.h"
#include "tests/win32/program_e2e_support.h"

namespace {

struct FilterRun {
    std::string dialogTitle;
    std::string clearText;
    bool mainDisabled = false;
    bool dialogClosed = false;
    bool mainEnabledAfter = false;
    LRESULT rows = -1;
    std::string status0;
    std::string status2;
};

bool WaitUntil(bool (*done)(HWND), HWND window) {
    const DWORD start = GetTickCount();
    while (!done(window)) {
        if (GetTickCount() - start > 10000) return false;
        Sleep(50);
    }
    return true;
}

// Opens the dialog on the six-event log, chooses "Events On:" 99/12/31
// 23:59:59 (1999) as the start and no Warning events, and presses OK.
FilterRun FilterFromTheEndOf1999(const char* logName) {
    FilterRun run;
    const std::string log = TempLog(logName, 0);
    EXPECT_TRUE(WriteFilterTestLog(log));
    Program program("\"" + log + "\"");
    EXPECT_TRUE(program.started);
    HWND main = WaitForWindow(program.pi.dwProcessId, "DARVEX");
    if (main == nullptr) return run;
    WaitForTitleWith(main, "DARVEX ");
    HWND list = GetDlgItem(main, IDC_EVENT_LIST);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 6);

    PostMessageA(main, WM_COMMAND, IDM_VIEW_FILTER, 0);
    HWND dialog = WaitForWindow(program.pi.dwProcessId, "#32770");
    if (dialog == nullptr) return run;
    run.dialogTitle = Title(dialog);
    run.mainDisabled = !IsWindowEnabled(main);
    run.clearText = Title(GetDlgItem(dialog, IDC_FILTER_CLEAR));

    SendMessageA(GetDlgItem(dialog, IDC_FILTER_FROM_STAMP), BM_CLICK, 0, 0);
    const char* const start[6] = {"99", "12", "31", "23", "59", "59"};
    for (int i = 0; i < 6; ++i) SetWindowTextA(GetDlgItem(dialog, IDC_FILTER_FROM_YEAR + i), start[i]);
    SendMessageA(GetDlgItem(dialog, IDC_FILTER_WARNING), BM_CLICK, 0, 0);
    SendMessageA(GetDlgItem(dialog, IDC_FILTER_OK), BM_CLICK, 0, 0);

    run.dialogClosed = WaitUntil([](HWND w) { return !IsWindow(w); }, dialog);
    WaitUntil([](HWND w) { return IsWindowEnabled(w) != 0; }, main);
    run.mainEnabledAfter = IsWindowEnabled(main) != 0;
    HWND status = GetDlgItem(main, IDC_STATUS_BAR);
    // The filter runs when the program reads the command the dialog posted.
    WaitUntil([](HWND l) { return SendMessageA(l, LB_GETCOUNT, 0, 0) != 6; }, list);
    run.rows = SendMessageA(list, LB_GETCOUNT, 0, 0);
    run.status0 = RemoteStatusText(program.pi.hProcess, status, 0);
    run.status2 = RemoteStatusText(program.pi.hProcess, status, 2);
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    return run;
}

}  // namespace

// From 1999/12/31 23:59:59 on without warnings: 2000, 2005 9:30 and 2005 10:00.
TEST(Program, FilterDialogOkFiltersTheList) {
    const FilterRun run = FilterFromTheEndOf1999("FILTER.EVT");
    EXPECT_EQ(run.dialogTitle, "Filter");
    EXPECT_EQ(run.clearText, "&Clear");
    EXPECT_TRUE(run.mainDisabled);
    EXPECT_TRUE(run.dialogClosed);
    EXPECT_TRUE(run.mainEnabledAfter);
    EXPECT_EQ(run.rows, 3);
    EXPECT_EQ(run.status0, "Total number of Event3");
    EXPECT_EQ(run.status2, "Filter");
}

TEST(ProgramJapanese, FilterDialogOkFiltersTheList) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932";
    const FilterRun run = FilterFromTheEndOf1999("FILTERJA.EVT");
    EXPECT_EQ(run.dialogTitle, Ansi(u8"表示するイベント"));
    EXPECT_EQ(run.clearText, Ansi(u8"標準値(&C)"));
    EXPECT_TRUE(run.mainDisabled);
    EXPECT_TRUE(run.dialogClosed);
    EXPECT_TRUE(run.mainEnabledAfter);
    EXPECT_EQ(run.rows, 3);
    EXPECT_EQ(run.status0, Ansi(u8"イベント総数：3"));
    EXPECT_EQ(run.status2, Ansi(u8"フィルタ"));
}
