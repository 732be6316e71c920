// One dialog at a time with the real DARVEX.EXE: whatever box a dialog
// shows, the main window takes no input until the dialog closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/win32/program_driver_win32.h"

namespace {

// A point on the list's last visible row that the dialog does not cover.
POINT UncoveredRow(HWND list, HWND dialog) {
    RECT l, d;
    GetWindowRect(list, &l);
    GetWindowRect(dialog, &d);
    for (POINT at : {POINT{l.left + 30, l.bottom - 12}, POINT{l.right - 60, l.bottom - 12}}) {
        if (!PtInRect(&d, at)) return at;
    }
    ADD_FAILURE() << "the dialog covers the list's last row";
    return {};
}

struct DialogCase {
    const char* name;
    UINT open;
    std::function<void(HWND dialog)> askBox;   // makes the dialog show a box
};

}  // namespace

TEST(Dialogs, MainWindowStaysDisabledUnderEveryBoxAndTakesNoCommands) {
    const std::string log = TempPath("MODAL.EVT");
    WriteLog(log, 200);
    Program p("\"" + log + "\"");
    ASSERT_TRUE(p.Up());
    const DialogCase cases[] = {
        {"Find", IDM_VIEW_FIND, [](HWND d) {
             SendMessageA(GetDlgItem(d, IDC_FIND_DESCRIPTION), WM_SETTEXT, 0, LPARAM("no event says this"));
             PostMessageA(GetDlgItem(d, IDC_FIND_NEXT), BM_CLICK, 0, 0);
         }},
        {"Filter", IDM_VIEW_FILTER, [](HWND d) {
             SendMessageA(GetDlgItem(d, IDC_FILTER_FROM_STAMP), BM_CLICK, 0, 0);
             SendMessageA(GetDlgItem(d, IDC_FILTER_FROM_MONTH), WM_SETTEXT, 0, LPARAM("a"));
             PostMessageA(GetDlgItem(d, IDC_FILTER_OK), BM_CLICK, 0, 0);
         }},
        {"Event Detail", IDM_VIEW_DETAIL, [](HWND d) { PostMessageA(GetDlgItem(d, IDC_DETAIL_PREVIOUS), BM_CLICK, 0, 0); }},
    };
    for (const DialogCase& c : cases) {
        SCOPED_TRACE(c.name);
        SendMessageA(p.list, LB_SETCURSEL, 0, 0);
        HWND dialog = p.Open(c.open);
        ASSERT_NE(dialog, nullptr);
        c.askBox(dialog);
        HWND box = p.Window("#32770", dialog);
        ASSERT_NE(box, nullptr);
        SendMessageA(GetDlgItem(box, GetDlgItem(box, IDCANCEL) ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        ASSERT_TRUE(Settle(p));
        EXPECT_FALSE(IsWindowEnabled(p.main)) << "enabled under the open dialog";

        const POINT at = UncoveredRow(p.list, dialog);
        RealClick(at.x, at.y);
        for (UINT command : {IDM_VIEW_FILTER, IDM_VIEW_FIND, IDM_VIEW_DETAIL, IDM_HELP_ABOUT}) {
            PostMessageA(p.main, WM_COMMAND, command, 0);
        }
        ASSERT_TRUE(Settle(p));
        EXPECT_EQ(Selection(p), 0) << "a click on the list moved the selection";
        EXPECT_EQ(p.Window("#32770", dialog, 300), nullptr) << "a second dialog opened";

        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog) && IsWindowEnabled(p.main); }));
    }
}
