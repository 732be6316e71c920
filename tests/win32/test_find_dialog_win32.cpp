// The Find dialog in the real program: opened, filled and pressed as a user
// would, with the search it starts and the F3 that repeats it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/main_window_win32.h"
#include "dialogs/find.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/win32_test_support.h"

namespace {

struct Event {
    uint16_t type;
    uint32_t moduleCode;
    const char* text;
};

// Listed newest first: row 0 is the last event here.
const Event kEvents[] = {
    {kTypeInformation, 0, "service started"},
    {kTypeWarning, 2, "Disk space LOW"},
    {kTypeError, 4, "error: disk failure"},
    {kTypeInformation, 1, "Backup done"},
    {kTypeInformation, 6, "ERROR recovered"},
};

std::string WriteEvents(const char* name) {
    LogImage image;
    InitLogImage(&image, 0, 4096);
    uint32_t offset = 88;
    for (uint16_t i = 0; i < 5; ++i) {
        RecordSpec r;
        r.timeStamp = MakeRecordTime(2021, 3, 4, 5, 6, i);
        r.type = kEvents[i].type;
        r.moduleCode = kEvents[i].moduleCode;
        r.text = kEvents[i].text;
        r.link = RecordSpecSize(r);
        offset = PlaceRecord(&image, offset, r);
    }
    SetRecordCount(&image, 5);
    SetOldestOffset(&image, 88);
    const std::string path = TempLogPath(name);
    EXPECT_EQ(WriteLogImage(image, path.c_str()), 1);
    return path;
}

struct FindDialogTest : ::testing::Test {
    void SetUp() override {
        ClearBoxes();
        OpenLog(WriteEvents("FIND.EVT"));
        ASSERT_EQ(ListCount(), 5);
    }
    HWND Open() {
        Command(IDM_VIEW_FIND);
        return g_activeDialog != g_mainWindow ? g_activeDialog : nullptr;
    }
    static void Click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    static bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
    static std::string ComboText(HWND dialog, int id, int item) {
        char text[64] = "";
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, WPARAM(item), LPARAM(text));
        return text;
    }
};

// Delivers pending messages the way the program's loop does, the open
// dialog first, then the accelerators, so keys reach what the user's would.
void PumpLikeTheLoop() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (g_activeDialog != g_mainWindow && IsDialogMessageA(g_activeDialog, &msg)) continue;
        if (TranslateAcceleratorA(msg.hwnd, g_accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void PressKey(HWND target, WPARAM key) {
    PostMessageA(target, WM_KEYDOWN, key, 0);
    PostMessageA(target, WM_KEYUP, key, 0xC0000000);
    PumpLikeTheLoop();
}

}  // namespace

TEST_F(FindDialogTest, FindNextSelectsTheMatchClosesAndF3Repeats) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    EXPECT_TRUE(Checked(dialog, IDC_FIND_INFORMATION) && Checked(dialog, IDC_FIND_WARNING) &&
                Checked(dialog, IDC_FIND_ERROR) && Checked(dialog, IDC_FIND_DOWN));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FIND_INFORMATION));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_FIND_COMPONENT, CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_FIND_MODULE, CB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(ComboText(dialog, IDC_FIND_MODULE, 0), "(All)");

    // Lower-case text finds the mixed-case description; row 0 is passed over.
    SetDlgItemTextA(dialog, IDC_FIND_DESCRIPTION, "error");
    Click(dialog, IDC_FIND_NEXT);
    EXPECT_EQ(ListSelection(), 2);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(g_activeDialog, g_mainWindow);
    EXPECT_STREQ(g_findCriteria.descriptionText, "error");

    // F3: nothing further down, so the wrap question, then "ERROR recovered".
    g_boxAnswers = {IDOK};
    PressKey(g_eventList, VK_F3);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].id, 254u);
    EXPECT_EQ(ListSelection(), 0);
}

TEST_F(FindDialogTest, ModuleItemsTwoAndOneMatchModuleCodesOneAndZero) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ComboText(dialog, IDC_FIND_MODULE, 1), ComboText(dialog, IDC_FIND_MODULE, 2));
    SendDlgItemMessageA(dialog, IDC_FIND_MODULE, CB_SETCURSEL, 2, 0);
    Click(dialog, IDC_FIND_NEXT);
    EXPECT_EQ(ListSelection(), 1);   // "Backup done", module code 1

    dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_FIND_MODULE, CB_GETCURSEL, 0, 0), 2);
    SendDlgItemMessageA(dialog, IDC_FIND_MODULE, CB_SETCURSEL, 1, 0);
    Click(dialog, IDC_FIND_NEXT);
    EXPECT_EQ(ListSelection(), 4);   // "service started", module code 0
}

TEST_F(FindDialogTest, NoMatchAsksThenFailsAndTheDialogStaysOpen) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, IDC_FIND_DESCRIPTION, "nowhere");
    CheckDlgButton(dialog, IDC_FIND_DOWN, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_FIND_UP, BST_CHECKED);
    SendMessageA(g_eventList, LB_SETCURSEL, 3, 0);
    g_boxAnswers = {IDOK, IDOK};
    Click(dialog, IDC_FIND_NEXT);
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[0].id, 255u);   // the top was reached
    EXPECT_EQ(g_boxes[1].id, 222u);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(GetFocus(), GetDlgItem(dialog, IDC_FIND_INFORMATION));
    EXPECT_EQ(ListSelection(), 3);
    EXPECT_EQ(g_findCriteria.direction, kFindUp);
    Click(dialog, IDCANCEL);
}

TEST_F(FindDialogTest, ClearResetsTheControlsAndCancelKeepsTheCriteria) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextA(dialog, IDC_FIND_DESCRIPTION, "disk");
    CheckDlgButton(dialog, IDC_FIND_ERROR, BST_UNCHECKED);
    SendDlgItemMessageA(dialog, IDC_FIND_COMPONENT, CB_SETCURSEL, 2, 0);
    Click(dialog, IDC_FIND_CLEAR);
    char text[16] = "x";
    GetDlgItemTextA(dialog, IDC_FIND_DESCRIPTION, text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_TRUE(Checked(dialog, IDC_FIND_ERROR));
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_FIND_COMPONENT, CB_GETCURSEL, 0, 0), 0);

    // Changed controls are dropped by Esc: F3 still searches with the old criteria.
    SetDlgItemTextA(dialog, IDC_FIND_DESCRIPTION, "disk");
    PressKey(GetDlgItem(dialog, IDC_FIND_DESCRIPTION), VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(g_activeDialog, g_mainWindow);
    EXPECT_STREQ(g_findCriteria.descriptionText, "");
    PressKey(g_eventList, VK_F3);
    EXPECT_EQ(ListSelection(), 1);
}

TEST_F(FindDialogTest, EnterInTheTextBoxPressesFindNext) {
    HWND dialog = Open();
    ASSERT_NE(dialog, nullptr);
    HWND text = GetDlgItem(dialog, IDC_FIND_DESCRIPTION);
    SetFocus(text);
    SetWindowTextA(text, "BACKUP");
    PressKey(text, VK_RETURN);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(ListSelection(), 1);
}
