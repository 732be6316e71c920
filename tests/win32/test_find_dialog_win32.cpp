// The Find dialog in the real program, filled and pressed, and the F3 that repeats its search.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "dialogs/find.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

// A real box may leave the focus on no window when it closes.
MessageBoxFunction g_scriptedBox;
int BoxTakingTheFocus(HWND owner, UINT id, const char* text, const char* caption, UINT style) {
    SetFocus(nullptr);
    return g_scriptedBox(owner, id, text, caption, style);
}

// Row 0 says "Disk full.", row 1 "{\rtf1 {\b disk} full}"; of the module 0 rows only the last has a "D".
struct FindDialog : testing::Test {
    void SetUp() override {
        const std::string path = TempLogPath("DETAIL.EVT");
        ASSERT_EQ(WriteDetailLog(path.c_str()), 1);
        OpenLog(path);
    }
    void Open() {
        Command(IDM_VIEW_FIND);
        ASSERT_NE(Dialog(), nullptr);
    }
};

}  // namespace

TEST_F(FindDialog, EnterFindsTheMatchAndClosesThenF3RepeatsAndAsksToWrap) {
    Open();
    // Upper case finds lower case; row 0 is passed over.
    Type(IDC_FIND_DESCRIPTION, "DISK");
    PressKey(VK_RETURN);
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_TRUE(Dialog() == nullptr && IsWindowEnabled(g_mainWindow));

    // F3: nothing further down; Cancel on the wrap question stays, OK wraps to row 0.
    g_boxAnswers = {IDCANCEL, IDOK};
    PressKey(VK_F3, g_eventList);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_TRUE(g_boxes[0].id == 254 && g_boxes[0].style == 0x12021 && ListSelection() == 1);
    PressKey(VK_F3, g_eventList);
    EXPECT_EQ(ListSelection(), 0);
}

TEST_F(FindDialog, UpWrapsToTheLastRowAndAFailedSearchKeepsTheDialogAndTheTextAsTyped) {
    // Up from row 0 asks at once; OK goes on from the last row.
    Open();
    Type(IDC_FIND_DESCRIPTION, "ddd");
    SendMessageA(Item(IDC_FIND_MODULE), CB_SETCURSEL, 1, 0);   // the first "HALDOR/PERN", module code 0
    CheckRadioButton(Dialog(), IDC_FIND_UP, IDC_FIND_DOWN, IDC_FIND_UP);
    g_boxAnswers = {IDOK};
    Click(IDC_FIND_NEXT);
    EXPECT_EQ(ListSelection(), kRowLong);
    EXPECT_EQ(Dialog(), nullptr);

    // Reopened on the stored criteria; Clear and Esc change none of them.
    Open();
    EXPECT_TRUE(Checked(IDC_FIND_UP) && !Checked(IDC_FIND_DOWN));
    EXPECT_EQ(SendMessageA(Item(IDC_FIND_MODULE), CB_GETCURSEL, 0, 0), 1);
    CheckDlgButton(Dialog(), IDC_FIND_ERROR, BST_UNCHECKED);
    Click(IDC_FIND_CLEAR);
    EXPECT_TRUE(ItemText(IDC_FIND_DESCRIPTION).empty() && SendMessageA(Item(IDC_FIND_MODULE), CB_GETCURSEL, 0, 0) == 0);
    EXPECT_TRUE(Checked(IDC_FIND_ERROR) && Checked(IDC_FIND_DOWN) && !Checked(IDC_FIND_UP));
    PressKey(VK_ESCAPE, Item(IDC_FIND_DESCRIPTION));
    EXPECT_TRUE(strcmp(g_findCriteria.descriptionText, "ddd") == 0 && g_findCriteria.direction == kFindUp);

    // No match on either pass: both boxes, then the focus back on the dialog's first control.
    Open();
    const char* text = "{\\rtf1 {\\b nowhere}}";
    Type(IDC_FIND_DESCRIPTION, text);
    SetFocus(Item(IDC_FIND_NEXT));
    ClearBoxes();
    g_boxAnswers = {IDOK, IDOK};
    g_scriptedBox = g_showMessageBox;
    g_showMessageBox = BoxTakingTheFocus;
    Click(IDC_FIND_NEXT);
    g_showMessageBox = g_scriptedBox;
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_TRUE(g_boxes[0].id == 255 && g_boxes[1].id == 222);   // the top was reached
    ASSERT_TRUE(Dialog() != nullptr && IsWindowEnabled(Dialog()));
    EXPECT_EQ(GetFocus(), Item(IDC_FIND_INFORMATION));
    EXPECT_EQ(ListSelection(), kRowLong);
    // The text reopens as typed, not read as rich text.
    PressKey(VK_ESCAPE);
    Open();
    EXPECT_EQ(ItemText(IDC_FIND_DESCRIPTION), text);
}
