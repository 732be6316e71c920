// The Event Detail dialog and the About box of the real program, in this
// process: opened as the user opens them, driven with real messages and keys
// through the program's own message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "app/startup_win32.h"
#include "eventlist/panes_win32.h"
#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

// Delivers pending messages the way the program's loop does, so Tab, Enter,
// Esc and access keys reach the open dialog.
void PumpLoop() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        DispatchLoopMessage(&msg);
    }
}

// Another test program on the same display may have taken the foreground;
// coming back restores the focus the window had.
void TakeForeground() {
    if (GetForegroundWindow() != g_activeDialog) SetForegroundWindow(g_activeDialog);
}

// The window with the keyboard focus once the active dialog is in front again.
HWND Focus() {
    TakeForeground();
    return GetFocus();
}

// A key as the keyboard delivers it to the window with the focus.
void PressKey(WPARAM key) {
    TakeForeground();
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageA(GetFocus(), WM_KEYUP, key, 0xC0000001);
    PumpLoop();
}

// Alt and a letter: the system character the keyboard gives for an access key.
void PressAltKey(char letter) {
    TakeForeground();
    PostMessageA(GetFocus(), WM_SYSCHAR, WPARAM(letter), 1 | (1 << 29));
    PumpLoop();
}

std::string Text(HWND window) {
    std::vector<char> text(0x60000);
    GetWindowTextA(window, text.data(), int(text.size()));
    return text.data();
}

// Whether the dialog took input while each box was up.
MessageBoxFunction g_scriptedBox;
std::vector<bool> g_dialogEnabledAtBox;
int WatchDialogAtBox(HWND owner, UINT id, const char* text, const char* caption, UINT style) {
    g_dialogEnabledAtBox.push_back(IsWindowEnabled(g_activeDialog) != 0);
    return g_scriptedBox(owner, id, text, caption, style);
}

std::vector<std::pair<std::string, UINT>> g_helpRequests;
void RecordHelp(HWND, const char* helpFile, UINT context) { g_helpRequests.emplace_back(helpFile, context); }

bool RepaintPosted() {
    MSG msg;
    while (PeekMessageA(&msg, g_mainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
        if (LOWORD(msg.wParam) == IDM_REPAINT_LIST) return true;
    }
    return false;
}

class EventDetail : public testing::Test {
protected:
    void SetUp() override {
        ClearBoxes();
        g_dialogEnabledAtBox.clear();
        g_helpRequests.clear();
        g_scriptedBox = g_showMessageBox;
        g_showMessageBox = WatchDialogAtBox;
        g_showHelpContext = RecordHelp;
        const std::string path = TempLogPath("DETAIL.EVT");
        ASSERT_EQ(WriteDetailLog(path.c_str()), 1);
        OpenLog(path);
        ASSERT_EQ(ListCount(), kDetailRowCount);
    }
    void TearDown() override {
        if (dialog != nullptr && IsWindow(dialog)) SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        PumpLoop();
        g_showMessageBox = g_scriptedBox;
    }

    // Selects the row and presses Enter on the list, as the user opens the dialog.
    void OpenOn(int row) {
        SendMessageA(g_eventList, LB_SETCURSEL, WPARAM(row), 0);
        TakeForeground();
        SetFocus(g_eventList);
        PressKey(VK_RETURN);
        dialog = g_activeDialog;
        ASSERT_NE(dialog, g_mainWindow);
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    std::string ItemText(int id) const { return Text(Item(id)); }
    // A click takes the mouse capture for a moment, which a change of the
    // foreground would cancel.
    void Click(int id) {
        TakeForeground();
        SendMessageA(Item(id), BM_CLICK, 0, 0);
    }
    bool Checked(int id) const { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != 0; }

    HWND dialog = nullptr;
};

}  // namespace

TEST_F(EventDetail, EnterOnTheListOpensTheSelectedEventInFull) {
    OpenOn(kRowLetters);
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    if (GetACP() != 932) {
        EXPECT_EQ(Text(dialog), "Event Detail");
    }
    EXPECT_EQ(ItemText(IDC_DETAIL_DATE), "01/02/03");
    EXPECT_EQ(ItemText(IDC_DETAIL_TIME), DetailRowTime(kRowLetters));
    EXPECT_EQ(ItemText(IDC_DETAIL_COMPUTER), "TESTPC");
    EXPECT_EQ(ItemText(IDC_DETAIL_COMPONENT), "HALDOR/TOLVA          ");
    EXPECT_EQ(ItemText(IDC_DETAIL_MODULE), "HALDOR/TOLVA");
    EXPECT_EQ(ItemText(IDC_DETAIL_TYPE), g_texts.typeError);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), kLettersDescription);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));
    EXPECT_FALSE(Checked(IDC_DETAIL_WORD));
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DESCRIPTION));
    EXPECT_EQ(ListSelection(), kRowLetters);

    // Centred over the main window.
    RECT d, m;
    GetWindowRect(dialog, &d);
    GetWindowRect(g_mainWindow, &m);
    EXPECT_EQ(d.left, std::max(0L, m.left + ((m.right - m.left) - (d.right - d.left)) / 2));
    EXPECT_EQ(d.top, std::max(0L, m.top + ((m.bottom - m.top) - (d.bottom - d.top)) / 2));
}

TEST_F(EventDetail, ControlBytesAndOtherTypesAreShownAsTheyAre) {
    OpenOn(kRowControlBytes);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kControlBytesDump);
    EXPECT_EQ(ItemText(IDC_DETAIL_COMPONENT), "Setup Tool            ");
    EXPECT_EQ(ItemText(IDC_DETAIL_MODULE), "HALKESTR");
    EXPECT_EQ(ItemText(IDC_DETAIL_TYPE), g_texts.typeWarning);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ItemText(IDC_DETAIL_COMPONENT), "unknown               ");
    EXPECT_EQ(ItemText(IDC_DETAIL_MODULE), "unknown");
    EXPECT_EQ(ItemText(IDC_DETAIL_TYPE), g_texts.typeInformation);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ItemText(IDC_DETAIL_TYPE), "");   // type code 3 has no name
}

TEST_F(EventDetail, WordAndByteRedrawTheDumpOfTheShownEvent) {
    OpenOn(kRowLetters);
    Click(IDC_DETAIL_WORD);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);
    EXPECT_TRUE(Checked(IDC_DETAIL_WORD));
    Click(IDC_DETAIL_BYTE);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    // A step shows the next event in the Byte layout, whatever was chosen.
    Click(IDC_DETAIL_WORD);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ListSelection(), kRowControlBytes);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kControlBytesDump);
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));
    EXPECT_FALSE(Checked(IDC_DETAIL_WORD));

    // 16 to 19 bytes: the last group keeps its eight-digit field.
    const std::string head = "0000: 04030201 08070605 0C0B0A09 100F0E0D";
    const std::pair<int, std::string> words[] = {{kRowCount16, head},
                                                 {kRowCount17, head + "\r\n0010:       11"},
                                                 {kRowCount18, head + "\r\n0010:     1211"},
                                                 {kRowCount19, head + "\r\n0010:   131211"}};
    for (const auto& w : words) {
        SendMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        OpenOn(w.first);
        Click(IDC_DETAIL_WORD);
        EXPECT_EQ(ItemText(IDC_DETAIL_DATA), w.second) << w.first;
    }
}

TEST_F(EventDetail, EventWithoutDataDisablesTheDataControls) {
    OpenOn(kRowControlBytes);
    Click(IDC_DETAIL_WORD);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ListSelection(), kRowNoData);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), "");
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), "");
    for (int id : {IDC_DETAIL_DATA_LABEL, IDC_DETAIL_DATA, IDC_DETAIL_BYTE, IDC_DETAIL_WORD}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));
    Click(IDC_DETAIL_NEXT);
    for (int id : {IDC_DETAIL_DATA_LABEL, IDC_DETAIL_DATA, IDC_DETAIL_BYTE, IDC_DETAIL_WORD}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA).substr(0, 5), "0000:");
}

TEST_F(EventDetail, LongDataAndDescriptionAreCutToWhatTheViewsShow) {
    OpenOn(kRowLong);
    const std::string dump = ItemText(IDC_DETAIL_DATA);
    EXPECT_EQ(dump.size(), 8191u * 45 + 5 + 7 * 3 + 9 + 7);
    EXPECT_EQ(dump.substr(dump.rfind("\r\n") + 2), "FFF8: 38 39 30 31 32 33 34         8901234");
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), std::string(4096, 'D'));
    // The record itself keeps its whole text: the view got a copy.
    const EventEntry* e = g_viewer.table.visibleRows[kRowLong];
    EXPECT_EQ(strlen(reinterpret_cast<const char*>(RecordDescription(e->record))), 5000u);
}

TEST_F(EventDetail, DescriptionAndDumpKeepTheBytesOfTheCodePage) {
    OpenOn(kRowJapanese);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), kJapaneseDescription);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), GetACP() == 932 ? kJapaneseRowDump932 : kJapaneseRowDumpSingleByte);
    EXPECT_EQ(SendMessageA(Item(IDC_DETAIL_DATA), EM_GETLINECOUNT, 0, 0), 2);
}

TEST_F(EventDetail, WrapQuestionsAtBothEndsKeepOrMoveTheSelection) {
    OpenOn(kRowLetters);
    Click(IDC_DETAIL_WORD);
    g_boxAnswers = {IDCANCEL, IDOK, IDCANCEL, IDOK};
    Click(IDC_DETAIL_PREVIOUS);
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].id, 253u);
    EXPECT_EQ(g_boxes[0].style, kOkCancelBoxStyle);
    EXPECT_EQ(g_boxes[0].owner, g_mainWindow);
    EXPECT_FALSE(g_dialogEnabledAtBox[0]);
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DESCRIPTION));
    EXPECT_EQ(ListSelection(), kRowLetters);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);   // Cancel changed nothing

    Click(IDC_DETAIL_PREVIOUS);
    EXPECT_EQ(g_boxes.at(1).id, 253u);
    EXPECT_EQ(ListSelection(), kDetailRowCount - 1);
    EXPECT_EQ(ItemText(IDC_DETAIL_TIME), DetailRowTime(kDetailRowCount - 1));
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));

    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(g_boxes.at(2).id, 252u);
    EXPECT_FALSE(g_dialogEnabledAtBox[2]);
    EXPECT_EQ(ListSelection(), kDetailRowCount - 1);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(g_boxes.at(3).id, 252u);
    EXPECT_EQ(ListSelection(), kRowLetters);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    if (GetACP() != 932) {
        EXPECT_EQ(g_boxes[0].text,
                  "The cursor has reached to the top of the event log.\r\nIs the processing is continued from the end ?");
        EXPECT_EQ(g_boxes[2].text,
                  "The cursor has reached to the end of the event log.\r\nIs the processing is continued from the top ?");
    }
}

TEST_F(EventDetail, OutOfMemoryInAViewShowsMessage224AndTheDialogStays) {
    OpenOn(kRowLetters);
    g_boxAnswers = {IDOK};
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DETAIL_DATA, EN_ERRSPACE), LPARAM(Item(IDC_DETAIL_DATA)));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].id, 224u);
    EXPECT_EQ(g_boxes[0].style, kErrorBoxStyle);
    EXPECT_FALSE(g_dialogEnabledAtBox[0]);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    EXPECT_EQ(g_activeDialog, dialog);
}

TEST_F(EventDetail, HelpOpensTopic904) {
    OpenOn(kRowLetters);
    Click(IDC_DETAIL_HELP);
    ASSERT_EQ(g_helpRequests.size(), 1u);
    EXPECT_EQ(g_helpRequests[0].first, g_helpFilePath);
    EXPECT_EQ(g_helpRequests[0].second, 904u);
    EXPECT_TRUE(IsWindow(dialog));
}

TEST_F(EventDetail, CloseGivesTheMainWindowBackAndRepaintsTheList) {
    OpenOn(kRowControlBytes);
    RepaintPosted();
    Click(IDCANCEL);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(g_activeDialog, g_mainWindow);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_TRUE(RepaintPosted());
    EXPECT_EQ(ListSelection(), kRowControlBytes);
}

TEST_F(EventDetail, KeyboardReachesTheDialogThroughTheMessageLoop) {
    OpenOn(kRowLetters);
    // Tab order: description, the layout buttons, the data view, Close.
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_BYTE));
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DATA));
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Item(IDCANCEL));
    // Access keys: Alt+W picks Word, Alt+N steps to the next event.
    PressAltKey('w');
    EXPECT_TRUE(Checked(IDC_DETAIL_WORD));
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);
    PressAltKey('n');
    EXPECT_EQ(ListSelection(), kRowControlBytes);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kControlBytesDump);
    PressAltKey('p');
    EXPECT_EQ(ListSelection(), kRowLetters);
    // The data view that each step puts in place keeps its place in the order.
    SetFocus(Item(IDC_DETAIL_BYTE));
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DATA));
    PressKey(VK_TAB);
    EXPECT_EQ(Focus(), Item(IDCANCEL));
    // Enter in the description presses the default button, Close.
    SetFocus(Item(IDC_DETAIL_DESCRIPTION));
    PressKey(VK_RETURN);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(g_activeDialog, g_mainWindow);

    OpenOn(kRowLetters);
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
}

// ---------------------------------------------------------------------------
// About box

namespace {

// What the modal box showed, read from inside its own message loop.
struct AboutSeen {
    bool open = false;
    bool mainEnabled = true;
    bool active = false;
    std::string title;
    std::string fields[5];
    WPARAM closeKey = VK_ESCAPE;
};
AboutSeen g_about;

// The accelerator table asks for Alt to be held with the character.
void SetAltKey(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_MENU] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

void CALLBACK LookAtAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND box = g_activeDialog;
    g_about.open = box != g_mainWindow && IsWindowVisible(box);
    if (!g_about.open) return;
    g_about.active = true;
    g_about.mainEnabled = IsWindowEnabled(g_mainWindow) != 0;
    g_about.title = Text(box);
    const int ids[5] = {IDC_ABOUT_PRODUCT_NAME, IDC_ABOUT_PRODUCT_VERSION, IDC_ABOUT_LEGAL_COPYRIGHT,
                        IDC_ABOUT_FILE_DESCRIPTION, IDC_ABOUT_FILE_VERSION};
    for (int i = 0; i < 5; ++i) g_about.fields[i] = Text(GetDlgItem(box, ids[i]));
    SetAltKey(false);
    PostMessageA(GetFocus(), WM_KEYDOWN, g_about.closeKey, 1);
}

}  // namespace

TEST(AboutBox, IsModalAndShowsNoValuesWhenTheProgramIsNotDarvexExe) {
    // This test program is not DARVEX.EXE, so the lookup by name finds no
    // version resource and the five fields stay empty. Alt+? and Alt+/ open
    // the box from the list; Esc and Enter close it.
    const std::pair<char, WPARAM> cases[] = {{'?', VK_ESCAPE}, {'/', VK_RETURN}};
    for (const auto& c : cases) {
        g_about = AboutSeen();
        g_about.closeKey = c.second;
        SetTimer(nullptr, 0, 50, LookAtAbout);
        SetAltKey(true);
        PostMessageA(g_eventList, WM_SYSCHAR, WPARAM(c.first), 1 | (1 << 29));
        // The box runs its own loop inside one of these messages; it has
        // closed when that message returns.
        MSG msg;
        while (!g_about.open && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchLoopMessage(&msg);
        SetAltKey(false);
        EXPECT_TRUE(g_about.open) << c.first;
        EXPECT_FALSE(g_about.mainEnabled);
        for (const std::string& field : g_about.fields) EXPECT_EQ(field, "");
        EXPECT_EQ(g_activeDialog, g_mainWindow);
        EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
        EXPECT_TRUE(RepaintPosted());
    }
}
