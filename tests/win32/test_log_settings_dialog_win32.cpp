// The Log Settings dialog opened from the real main window for a live log
// and driven as a user would: the size it shows, typed values, the spin
// arrows, its buttons and keys through the message loop's dialog handling.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_window_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win32_test_support.h"

namespace {

using Commands = std::vector<UINT>;
const Commands kClosed = {IDM_REPAINT_LIST};

// A click into the value, all of it selected and erased, then the keys.
void Type(const std::string& text) {
    SetFocus(Item(IDC_LOGSET_SIZE));
    SendMessageA(Item(IDC_LOGSET_SIZE), EM_SETSEL, 0, -1);
    PressKey(VK_BACK, Item(IDC_LOGSET_SIZE));
    for (char c : text) SendMessageA(Item(IDC_LOGSET_SIZE), WM_CHAR, WPARAM(uint8_t(c)), 1);
}

void Spin(int code) { SendMessageA(Dialog(), WM_VSCROLL, MAKEWPARAM(code, 0), LPARAM(Item(IDC_LOGSET_SPIN))); }

std::string Value() { return ItemText(IDC_LOGSET_SIZE); }
// The rich edit's selection may reach on over the end of its last paragraph.
bool WholeValueSelected() {
    DWORD start = 1, end = 0;
    SendMessageA(Item(IDC_LOGSET_SIZE), EM_GETSEL, WPARAM(&start), LPARAM(&end));
    return start == 0 && end >= Value().size();
}

class LogSettings : public testing::Test {
protected:
    // A live log of that maximum size, loaded as the open file.
    void Load(uint32_t maxLogSize) {
        GenOptions options;
        options.eventCount = 5;
        options.maxLogSize = maxLogSize;
        GenResult result;
        OpenLog(WriteGeneratedLog("PERN.EVT", options, &result));
        ASSERT_EQ(ListCount(), 5);
    }
    // From the File menu: no copy first, then the size change confirmed.
    void Open() {
        g_boxAnswers = {IDNO, IDOK};
        Command(IDM_FILE_LOG_SETTINGS);
        ASSERT_NE(Dialog(), nullptr);
        ClearBoxes();
    }
};

}  // namespace

// The header it writes is checked end to end; here the size shown on the next opening.
TEST_F(LogSettings, ShowsTheLiveSizeTheArrowsStepItOkRefusesValuesOutOfRangeAndEnterWrites) {
    Load(1073741824);
    Open();
    EXPECT_EQ(Value(), "1048576");
    EXPECT_EQ(Focus(), Item(IDC_LOGSET_SIZE));
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    // The arrows step the value (the core holds every edge) and select all of it.
    for (const char* typed : {"100", "abc"}) {
        Type(typed);
        Spin(typed[0] == 'a' ? SB_LINEDOWN : SB_LINEUP);
        EXPECT_EQ(Value(), typed[0] == 'a' ? "64" : "128");
        EXPECT_TRUE(WholeValueSelected()) << typed;
    }
    // Only the line arrows step; the value takes seven characters at most.
    Type("12345678");
    for (int code : {SB_PAGEUP, SB_THUMBPOSITION, SB_ENDSCROLL}) Spin(code);
    EXPECT_EQ(Value(), "1234567");
    // Alt+M comes back to the value; Default shows 64; Esc writes nothing.
    SetFocus(Item(IDC_LOGSET_HELP));
    PressAltKey('m');
    EXPECT_EQ(Focus(), Item(IDC_LOGSET_SIZE));
    Click(IDC_LOGSET_DEFAULT);
    EXPECT_EQ(Value(), "64");
    EXPECT_EQ(PressKey(VK_ESCAPE), kClosed);

    Open();
    EXPECT_EQ(Value(), "1048576");
    g_boxAnswers = {IDOK, IDOK, IDOK};
    for (const char* typed : {"63", "1048577", ""}) {
        Type(typed);
        Click(IDC_LOGSET_OK);
        EXPECT_TRUE(PumpMessages().empty()) << typed;
        ASSERT_NE(Dialog(), nullptr) << typed;
        EXPECT_EQ(Value(), typed);
    }
    ASSERT_EQ(g_boxes.size(), 3u);
    for (const RecordedBox& box : g_boxes) EXPECT_EQ(box.id, UINT(IDS_ERR_MAX_LOG_SIZE));
    EXPECT_EQ(g_boxes[0].text, "Maximum log size is not set properly.\r\n  Input a numeric value (64 to 1048576).");
    EXPECT_EQ(g_boxes[0].style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL | MB_SETFOREGROUND));
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    // 100 kilobytes is written as one 64-kilobyte step.
    Type("100");
    EXPECT_EQ(PressKey(VK_RETURN), kClosed);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(GetForegroundWindow(), g_mainWindow);
    Open();
    EXPECT_EQ(Value(), "64");
}
