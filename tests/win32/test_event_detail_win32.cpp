// The Event Detail dialog and the About box of the real program, opened and driven by keys and clicks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

void ExpectDataControls(bool enabled) {
    for (int id : {IDC_DETAIL_DATA_LABEL, IDC_DETAIL_DATA, IDC_DETAIL_BYTE, IDC_DETAIL_WORD}) {
        EXPECT_EQ(IsWindowEnabled(Item(id)) != 0, enabled) << id;
    }
}

class EventDetail : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = TempLogPath("DETAIL.EVT");
        ASSERT_EQ(WriteDetailLog(path.c_str()), 1);
        OpenLog(path);
        SendMessageA(g_eventList, LB_SETCURSEL, kRowLetters, 0);
        PressKey(VK_RETURN, g_eventList);
        ASSERT_NE(Dialog(), nullptr);
    }
};

// Read inside the About box's own loop: up and modal, and its fields' texts; then the key closes it.
std::string g_aboutFields;
WPARAM g_aboutCloseKey;
void CALLBACK LookAtAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    // The modal loop may take a tick before it shows the box: look again then.
    if (Dialog() == nullptr || !IsWindowVisible(Dialog())) return;
    KillTimer(nullptr, timer);
    g_aboutFields = IsWindowEnabled(g_mainWindow) ? "<not modal>" : "";
    for (int id = IDC_ABOUT_LEGAL_COPYRIGHT; id <= IDC_ABOUT_FILE_VERSION; ++id) g_aboutFields += ItemText(id);
    SetAltKey(false);
    // To its button: a test running beside may hold the focus.
    PostMessageA(GetDlgItem(Dialog(), IDOK), WM_KEYDOWN, g_aboutCloseKey, 1);
}

}  // namespace

TEST_F(EventDetail, EnterOpensTheSelectedEventAndNextWalksEveryRowInFull) {
    std::string fields;   // the texts are the core's; here each in its control
    for (int id = IDC_DETAIL_DATE; id <= IDC_DETAIL_TYPE; ++id) fields += ItemText(id) + "|";
    EXPECT_EQ(fields, "01/02/03|" + DetailRowTime(kRowLetters) + "|TESTPC|HALDOR/TOLVA          |HALDOR/TOLVA|" +
                          g_texts.typeError + "|");
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), kLettersDescription);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DESCRIPTION));
    // Word redraws the dump; a step shows the next event in Byte.
    Click(IDC_DETAIL_WORD);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ListSelection(), kRowControlBytes);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), kControlBytesDescription);   // as stored, not read as rich text
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kControlBytesDump);
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE) && !Checked(IDC_DETAIL_WORD));

    // An event without data or description: the data controls are disabled.
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION) + ItemText(IDC_DETAIL_DATA) + ItemText(IDC_DETAIL_MODULE), "unknown");
    ExpectDataControls(false);
    Click(IDC_DETAIL_NEXT);
    ExpectDataControls(true);
}

// The wrap questions' texts and OK on them: end to end.
TEST_F(EventDetail, CancelAtTheTopOrOutOfMemoryKeepTheEventAndKeysReachTheDialog) {
    Click(IDC_DETAIL_WORD);
    g_boxAnswers = {IDCANCEL, IDOK};
    Click(IDC_DETAIL_PREVIOUS);
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(IDC_DETAIL_DATA, EN_ERRSPACE), LPARAM(Item(IDC_DETAIL_DATA)));
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_TRUE(g_boxes[0].id == 253 && g_boxes[0].style == kOkCancelBoxStyle && g_boxes[0].owner == g_mainWindow);
    EXPECT_TRUE(g_boxes[1].id == 224 && g_boxes[1].style == kErrorBoxStyle);
    EXPECT_FALSE(g_boxes[0].frontEnabled || g_boxes[1].frontEnabled);
    EXPECT_TRUE(IsWindowEnabled(Dialog()) && ListSelection() == kRowLetters);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);
    // Alt+B picks Byte, Alt+N and Alt+P step.
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DESCRIPTION));
    PressAltKey('b');
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    PressAltKey('n');
    EXPECT_EQ(ListSelection(), kRowControlBytes);
    PressAltKey('p');
    EXPECT_EQ(ListSelection(), kRowLetters);
    // Enter in the description presses the default button, Close.
    SetFocus(Item(IDC_DETAIL_DESCRIPTION));
    EXPECT_EQ(PressKey(VK_RETURN), std::vector<UINT>{IDM_REPAINT_LIST});
    EXPECT_TRUE(Dialog() == nullptr && IsWindowEnabled(g_mainWindow));
}

TEST(AboutBox, AltQuestionMarkAndAltSlashOpenItModally) {
    // This test program has no version information: every field is empty.
    const std::pair<char, WPARAM> cases[] = {{'?', VK_ESCAPE}, {'/', VK_RETURN}};
    for (const auto& c : cases) {
        g_aboutFields = "<not up>";
        g_aboutCloseKey = c.second;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, LookAtAbout);
        const std::vector<UINT> posted = PressAltKey(c.first, g_eventList);
        KillTimer(nullptr, timer);
        EXPECT_EQ(g_aboutFields, "") << c.first;
        EXPECT_TRUE(Dialog() == nullptr && IsWindowEnabled(g_mainWindow));
        EXPECT_EQ(std::count(posted.begin(), posted.end(), UINT(IDM_REPAINT_LIST)), 1);
    }
}
