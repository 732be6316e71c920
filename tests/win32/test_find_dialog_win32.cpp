// The Find dialog in the real program: opened, filled and pressed as a user
// would, with the search it starts and the F3 that repeats it.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "dialogs/find.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

LRESULT Send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(g_activeDialog, id, message, wParam, lParam);
}

// Typed key by key over the whole text of the box.
void Type(int id, const char* text) {
    SetFocus(Item(id));
    SendMessageA(Item(id), EM_SETSEL, 0, -1);
    for (const char* c = text; *c != '\0'; ++c) SendMessageA(Item(id), WM_CHAR, WPARAM(uint8_t(*c)), 1);
}

// A real box takes the focus and may give it to no window when it closes.
MessageBoxFunction g_scriptedBox;
int BoxTakingTheFocus(HWND owner, UINT id, const char* text, const char* caption, UINT style) {
    SetFocus(nullptr);
    return g_scriptedBox(owner, id, text, caption, style);
}

struct FindDialog : testing::Test {
    void SetUp() override {
        // Oldest first; the list shows them newest first, so row 0 is the last one.
        const struct { uint16_t type; uint32_t moduleCode; const char* text; } events[] = {{kTypeInformation, 0, "service started"}, {kTypeWarning, 2, "Disk space LOW"},
                      {kTypeError, 4, "error: disk failure"},  {kTypeInformation, 1, "Backup done"},
                      {kTypeInformation, 6, "ERROR recovered"}};
        RecordSpec records[5];
        for (int i = 0; i < 5; ++i) {
            records[i].timeStamp = MakeRecordTime(2021, 3, 4, 5, 6, uint16_t(i));
            records[i].type = events[i].type;
            records[i].moduleCode = events[i].moduleCode;
            records[i].text = events[i].text;
        }
        const std::string path = TempLogPath("FIND.EVT");
        ASSERT_EQ(WriteRecordsLog(path.c_str(), records, 5), 1);
        OpenLog(path);
        ASSERT_EQ(ListCount(), 5);
    }
    void Open() {
        Command(IDM_VIEW_FIND);
        ASSERT_NE(Dialog(), nullptr);
    }
};

}  // namespace

TEST_F(FindDialog, EnterFindsTheMatchAndClosesThenF3RepeatsAndAsksToWrap) {
    Open();
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    for (int id : {IDC_FIND_INFORMATION, IDC_FIND_WARNING, IDC_FIND_ERROR, IDC_FIND_DOWN}) EXPECT_TRUE(Checked(id)) << id;

    // Lower-case text finds the mixed-case description; row 0 is passed over.
    Type(IDC_FIND_DESCRIPTION, "error");
    PressKey(VK_RETURN);
    EXPECT_EQ(ListSelection(), 2);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));

    // F3: nothing further down, so the wrap question; Cancel stays, OK wraps to "ERROR recovered".
    g_boxAnswers = {IDCANCEL, IDOK};
    PressKey(VK_F3, g_eventList);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].id, 254u);
    EXPECT_EQ(g_boxes[0].style, 0x12021u);
    EXPECT_FALSE(g_boxes[0].frontEnabled);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(ListSelection(), 2);
    PressKey(VK_F3, g_eventList);
    EXPECT_EQ(ListSelection(), 0);
}

TEST_F(FindDialog, UpWrapsToTheLastRowAndAFailedSearchKeepsTheDialogAndTheTextAsTyped) {
    // Up from row 0 asks at once; OK goes on from the last row.
    Open();
    Type(IDC_FIND_DESCRIPTION, "service");
    Send(IDC_FIND_MODULE, CB_SETCURSEL, 1);   // the first "HALDOR/PERN", module code 0
    CheckRadioButton(Dialog(), IDC_FIND_UP, IDC_FIND_DOWN, IDC_FIND_UP);
    g_boxAnswers = {IDOK};
    Click(IDC_FIND_NEXT);
    EXPECT_EQ(ListSelection(), 4);
    EXPECT_EQ(Dialog(), nullptr);

    // Reopened on the stored criteria; Clear and Esc change none of them.
    Open();
    EXPECT_TRUE(Checked(IDC_FIND_UP) && !Checked(IDC_FIND_DOWN));
    EXPECT_EQ(Send(IDC_FIND_MODULE, CB_GETCURSEL), 1);
    CheckDlgButton(Dialog(), IDC_FIND_ERROR, BST_UNCHECKED);
    Send(IDC_FIND_COMPONENT, CB_SETCURSEL, 2);
    Click(IDC_FIND_CLEAR);
    EXPECT_EQ(ItemText(IDC_FIND_DESCRIPTION), "");
    EXPECT_TRUE(Checked(IDC_FIND_ERROR) && Checked(IDC_FIND_DOWN) && !Checked(IDC_FIND_UP));
    EXPECT_EQ(Send(IDC_FIND_COMPONENT, CB_GETCURSEL) + Send(IDC_FIND_MODULE, CB_GETCURSEL), 0);
    PressKey(VK_ESCAPE, Item(IDC_FIND_DESCRIPTION));
    EXPECT_STREQ(g_findCriteria.descriptionText, "service");
    EXPECT_EQ(g_findCriteria.direction, kFindUp);

    // No match on either pass: both boxes, then the focus is back on the
    // dialog's first box.
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
    EXPECT_EQ(g_boxes[0].id, 255u);   // the top was reached
    EXPECT_EQ(g_boxes[1].id, 222u);
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(Dialog()));
    EXPECT_EQ(GetFocus(), Item(IDC_FIND_INFORMATION));
    EXPECT_EQ(ListSelection(), 4);
    // The text reopens as stored, not read as a rich text document.
    PressKey(VK_ESCAPE);
    Open();
    EXPECT_EQ(ItemText(IDC_FIND_DESCRIPTION), text);
}
