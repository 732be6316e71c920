// The Log Settings dialog of the real main window on a live log, typed into and pressed.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_window_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win32_test_support.h"

namespace {


void Spin(int code) { SendMessageA(Dialog(), WM_VSCROLL, MAKEWPARAM(code, 0), LPARAM(Item(IDC_LOGSET_SPIN))); }

std::string Value() { return ItemText(IDC_LOGSET_SIZE); }
// A rich edit's selection may reach past the last paragraph's end.
bool WholeValueSelected() {
    DWORD start = 1, end = 0;
    SendMessageA(Item(IDC_LOGSET_SIZE), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return start == 0 && end >= Value().size();
}

// From the File menu: no copy first, then the size change confirmed.
void Open() {
    g_boxAnswers = {IDNO, IDOK};
    Command(IDM_FILE_LOG_SETTINGS);
    ASSERT_NE(Dialog(), nullptr);
    ClearBoxes();
}

}  // namespace

// What it writes is checked end to end; here the size shown on the next opening.
TEST(LogSettings, ShowsTheLiveSizeTheArrowsStepItOkRefusesValuesOutOfRangeAndEnterWrites) {
    GenOptions options;   // a live log of the largest size
    options.maxLogSize = 1073741824;
    GenResult result;
    OpenLog(WriteGeneratedLog("PERN.EVT", options, &result));
    Open();
    EXPECT_EQ(Value(), "1048576");
    EXPECT_EQ(Focus(), Item(IDC_LOGSET_SIZE));
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    // The arrows step the value (edges: the core's) and select all of it.
    for (const char* typed : {"100", "abc"}) {
        Type(IDC_LOGSET_SIZE, typed);
        Spin(typed[0] == 'a' ? SB_LINEDOWN : SB_LINEUP);
        EXPECT_EQ(Value(), typed[0] == 'a' ? "64" : "128");
        EXPECT_TRUE(WholeValueSelected()) << typed;
    }
    // Only the line arrows step; the value takes seven characters at most.
    Type(IDC_LOGSET_SIZE, "12345678");
    for (int code : {SB_PAGEUP, SB_THUMBPOSITION, SB_ENDSCROLL}) Spin(code);
    EXPECT_EQ(Value(), "1234567");
    // Default shows 64; Esc writes nothing.
    Click(IDC_LOGSET_DEFAULT);
    EXPECT_EQ(Value(), "64");
    EXPECT_EQ(PressKey(VK_ESCAPE), std::vector<UINT>{IDM_REPAINT_LIST});

    Open();
    EXPECT_EQ(Value(), "1048576");
    // A value out of range (the range is the core's) keeps the dialog.
    g_boxAnswers = {IDOK};
    Type(IDC_LOGSET_SIZE, "63");
    Click(IDC_LOGSET_OK);
    EXPECT_TRUE(PumpMessages().empty());
    ASSERT_TRUE(Dialog() != nullptr && Value() == "63");
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, "Maximum log size is not set properly.\r\n  Input a numeric value (64 to 1048576).");
    EXPECT_EQ(g_boxes[0].style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL | MB_SETFOREGROUND));
    // 100 kilobytes is written as one 64-kilobyte step.
    Type(IDC_LOGSET_SIZE, "100");
    EXPECT_EQ(PressKey(VK_RETURN), std::vector<UINT>{IDM_REPAINT_LIST});
    EXPECT_TRUE(Dialog() == nullptr && IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(GetForegroundWindow(), g_mainWindow);
    Open();
    EXPECT_EQ(Value(), "64");
}
