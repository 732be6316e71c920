// The Event Detail dialog and the About box of the real program, in this
// process: opened as the user opens them, driven with real messages and keys
// through the program's own message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "app/dialog_frame_win32.h"
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

std::vector<std::pair<std::string, UINT>> g_helpRequests;
void RecordHelp(HWND, const char* helpFile, UINT context) { g_helpRequests.emplace_back(helpFile, context); }

class EventDetail : public testing::Test {
protected:
    void SetUp() override {
        g_showHelpContext = RecordHelp;
        const std::string path = TempLogPath("DETAIL.EVT");
        ASSERT_EQ(WriteDetailLog(path.c_str()), 1);
        OpenLog(path);
        ASSERT_EQ(ListCount(), kDetailRowCount);
    }
    // Selects the row and presses Enter on the list, as the user opens the dialog.
    void OpenOn(int row) {
        SendMessageA(g_eventList, LB_SETCURSEL, WPARAM(row), 0);
        PressKey(VK_RETURN, g_eventList);
        ASSERT_NE(Dialog(), nullptr);
    }
};

}  // namespace

TEST_F(EventDetail, EnterOpensTheSelectedEventAndNextWalksEveryRowInFull) {
    OpenOn(kRowLetters);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATE), "01/02/03");
    EXPECT_EQ(ItemText(IDC_DETAIL_TIME), DetailRowTime(kRowLetters));
    EXPECT_EQ(ItemText(IDC_DETAIL_COMPUTER), "TESTPC");
    EXPECT_EQ(ItemText(IDC_DETAIL_COMPONENT), "HALDOR/TOLVA          ");
    EXPECT_EQ(ItemText(IDC_DETAIL_MODULE), "HALDOR/TOLVA");
    EXPECT_EQ(ItemText(IDC_DETAIL_TYPE), g_texts.typeError);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), kLettersDescription);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));
    EXPECT_EQ(Focus(), Item(IDC_DETAIL_DESCRIPTION));
    // Word and Byte redraw the dump; a step shows the next event in Byte, whatever was chosen.
    Click(IDC_DETAIL_WORD);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);
    Click(IDC_DETAIL_BYTE);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
    Click(IDC_DETAIL_WORD);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ListSelection(), kRowControlBytes);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kControlBytesDump);
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));
    EXPECT_FALSE(Checked(IDC_DETAIL_WORD));

    // An event without data or description: the data controls are disabled.
    Click(IDC_DETAIL_WORD);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION) + ItemText(IDC_DETAIL_DATA), "");
    ExpectDataControls(false);
    EXPECT_TRUE(Checked(IDC_DETAIL_BYTE));
    EXPECT_EQ(ItemText(IDC_DETAIL_MODULE), "unknown");

    // 16 to 19 bytes: the last Word group keeps its eight-digit field.
    const std::string head = "0000: 04030201 08070605 0C0B0A09 100F0E0D";
    const std::string words[] = {head, head + "\r\n0010:       11", head + "\r\n0010:     1211", head + "\r\n0010:   131211"};
    for (int row = kRowCount16; row <= kRowCount19; ++row) {
        Click(IDC_DETAIL_NEXT);
        ExpectDataControls(true);
        EXPECT_EQ(ItemText(IDC_DETAIL_TYPE), row == kRowCount16 ? "" : g_texts.typeInformation);   // type 3 has no name
        Click(IDC_DETAIL_WORD);
        EXPECT_EQ(ItemText(IDC_DETAIL_DATA), words[row - kRowCount16]) << row;
    }

    // Description and dump keep the bytes of the code page.
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), kJapaneseDescription);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), GetACP() == 932 ? kJapaneseRowDump932 : kJapaneseRowDumpSingleByte);
    EXPECT_EQ(SendMessageA(Item(IDC_DETAIL_DATA), EM_GETLINECOUNT, 0, 0), 2);

    // Long data and description are cut to what the views show; the record keeps its whole text.
    Click(IDC_DETAIL_NEXT);
    const std::string dump = ItemText(IDC_DETAIL_DATA);
    EXPECT_EQ(dump.size(), 8191u * 45 + 5 + 7 * 3 + 9 + 7);
    EXPECT_EQ(dump.substr(dump.rfind("\r\n") + 2), "FFF8: 38 39 30 31 32 33 34         8901234");
    EXPECT_EQ(ItemText(IDC_DETAIL_DESCRIPTION), std::string(4096, 'D'));
    const EventEntry* e = g_viewer.table.visibleRows[kRowLong];
    EXPECT_EQ(strlen(reinterpret_cast<const char*>(RecordDescription(e->record))), 5000u);
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
    EXPECT_FALSE(g_boxes[0].frontEnabled);
    EXPECT_TRUE(IsWindowEnabled(Dialog()));
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
    EXPECT_FALSE(g_boxes[2].frontEnabled);
    EXPECT_EQ(ListSelection(), kDetailRowCount - 1);
    Click(IDC_DETAIL_NEXT);
    EXPECT_EQ(g_boxes.at(3).id, 252u);
    EXPECT_EQ(ListSelection(), kRowLetters);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersByteDump);
}

TEST_F(EventDetail, OutOfMemoryAndHelpKeepTheDialogAndCloseGivesTheMainWindowBack) {
    OpenOn(kRowControlBytes);
    HWND dialog = Dialog();
    g_boxAnswers = {IDOK};
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_DETAIL_DATA, EN_ERRSPACE), LPARAM(Item(IDC_DETAIL_DATA)));
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].id, 224u);
    EXPECT_EQ(g_boxes[0].style, kErrorBoxStyle);
    EXPECT_FALSE(g_boxes[0].frontEnabled);
    EXPECT_TRUE(IsWindowEnabled(dialog));
    Click(IDC_DETAIL_HELP);
    ASSERT_EQ(g_helpRequests.size(), 1u);
    EXPECT_EQ(g_helpRequests[0].first, g_helpFilePath);
    EXPECT_EQ(g_helpRequests[0].second, 904u);
    EXPECT_EQ(Dialog(), dialog);

    Click(IDCANCEL);
    EXPECT_EQ(PumpMessages(), std::vector<UINT>{IDM_REPAINT_LIST});
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(ListSelection(), kRowControlBytes);
}

TEST_F(EventDetail, KeyboardReachesTheDialogThroughTheMessageLoop) {
    OpenOn(kRowLetters);
    // Tab order: description, the layout buttons, the data view, Close.
    for (int id : {IDC_DETAIL_BYTE, IDC_DETAIL_DATA, IDCANCEL}) {
        PressKey(VK_TAB);
        EXPECT_EQ(Focus(), Item(id));
    }
    // Access keys: Alt+W picks Word, Alt+N and Alt+P step.
    PressAltKey('w');
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kLettersWordDump);
    PressAltKey('n');
    EXPECT_EQ(ListSelection(), kRowControlBytes);
    EXPECT_EQ(ItemText(IDC_DETAIL_DATA), kControlBytesDump);
    PressAltKey('p');
    EXPECT_EQ(ListSelection(), kRowLetters);
    // The data view that each step puts in place keeps its place in the order.
    SetFocus(Item(IDC_DETAIL_BYTE));
    for (int id : {IDC_DETAIL_DATA, IDCANCEL}) {
        PressKey(VK_TAB);
        EXPECT_EQ(Focus(), Item(id));
    }
    // Enter in the description presses the default button, Close; Esc closes too.
    SetFocus(Item(IDC_DETAIL_DESCRIPTION));
    PressKey(VK_RETURN);
    EXPECT_EQ(Dialog(), nullptr);
    OpenOn(kRowLetters);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
}

namespace {

// What the modal About box showed, read from inside its own loop; the key then closes it.
bool g_aboutOpen, g_mainEnabledUnderAbout;
std::string g_aboutFields;
WPARAM g_aboutCloseKey;
void CALLBACK LookAtAbout(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_aboutOpen = Dialog() != nullptr && IsWindowVisible(Dialog());
    g_mainEnabledUnderAbout = IsWindowEnabled(g_mainWindow) != 0;
    for (int id = IDC_ABOUT_LEGAL_COPYRIGHT; id <= IDC_ABOUT_FILE_VERSION; ++id) g_aboutFields += ItemText(id);
    SetAltKey(false);
    PostMessageA(GetFocus(), WM_KEYDOWN, g_aboutCloseKey, 1);
}

}  // namespace

TEST(AboutBox, IsModalAndShowsNoValuesWhenTheProgramIsNotDarvexExe) {
    // This test program is not DARVEX.EXE, so the lookup by name finds no
    // version resource and the five fields stay empty. Alt+? and Alt+/ open
    // the box from the list; Esc and Enter close it.
    const std::pair<char, WPARAM> cases[] = {{'?', VK_ESCAPE}, {'/', VK_RETURN}};
    for (const auto& c : cases) {
        g_aboutOpen = false;
        g_aboutCloseKey = c.second;
        SetTimer(nullptr, 0, 50, LookAtAbout);
        // The box runs its own loop inside the key's message.
        const std::vector<UINT> posted = PressAltKey(c.first, g_eventList);
        EXPECT_TRUE(g_aboutOpen) << c.first;
        EXPECT_FALSE(g_mainEnabledUnderAbout);
        EXPECT_EQ(g_aboutFields, "");
        EXPECT_EQ(Dialog(), nullptr);
        EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
        EXPECT_EQ(std::count(posted.begin(), posted.end(), UINT(IDM_REPAINT_LIST)), 1);
    }
}
