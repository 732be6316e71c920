// The Filter dialog opened from the real main window and driven as a user
// would: typed fields, spin arrows, buttons, lists, Enter and Esc through the
// message loop's dialog handling.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_window_win32.h"
#include "eventlist/filter.h"
#include "resources/resource_ids.h"
#include "tests/win32/filter_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

HWND Dialog() { return g_activeDialog != g_mainWindow ? g_activeDialog : nullptr; }
HWND Item(int id) { return GetDlgItem(g_activeDialog, id); }

std::string Text(int id) {
    char text[64] = "";
    GetWindowTextA(Item(id), text, sizeof text);
    return text;
}

bool Checked(int id) { return SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Click(int id) { SendMessageA(Item(id), BM_CLICK, 0, 0); }

// A click into the field, all of it selected and erased, then the keys.
void Type(int id, const char* text) {
    HWND field = Item(id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 1);
    for (const char* p = text; *p != '\0'; ++p) SendMessageA(field, WM_CHAR, WPARAM(uint8_t(*p)), 1);
}

// The six fields of a side, typed one by one.
void TypeSide(int firstField, const char* const texts[6]) {
    for (int i = 0; i < 6; ++i) Type(firstField + i, texts[i]);
}

std::string SideText(int firstField) {
    std::string s;
    for (int i = 0; i < 6; ++i) s += Text(firstField + i) + (i < 5 ? "." : "");
    return s;
}

void Spin(int barId, int code) {
    SendMessageA(Dialog(), WM_VSCROLL, MAKEWPARAM(code, 0), LPARAM(Item(barId)));
}

void Choose(int comboId, int index) {
    SendMessageA(Item(comboId), CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), LPARAM(Item(comboId)));
}

// Delivers every pending message as the program's loop does, and returns the
// commands that were posted to the main window, in order.
std::vector<UINT> RunLoop() {
    std::vector<UINT> posted;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) break;
        if (msg.hwnd == g_mainWindow && msg.message == WM_COMMAND) posted.push_back(LOWORD(msg.wParam));
        if (g_activeDialog != g_mainWindow && IsDialogMessageA(g_activeDialog, &msg)) continue;
        if (TranslateAcceleratorA(msg.hwnd, g_accelerators, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return posted;
}

// A key pressed in the window that has the focus.
std::vector<UINT> Press(UINT key) {
    PostMessageA(GetFocus(), WM_KEYDOWN, key, 1);
    return RunLoop();
}

// An access key: Alt and the letter.
void PressAlt(char letter) {
    PostMessageA(GetFocus(), WM_SYSCHAR, WPARAM(letter), LPARAM(1u << 29));
    RunLoop();
}

std::string Stamp(const EventEntry* e) { return std::string(e->date, 10) + std::string(e->time, 8); }

// The rows of the list, newest first, as their stamps.
std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int i = 0; i < ListCount(); ++i) rows.push_back(Stamp(g_viewer.table.visibleRows[i]));
    return rows;
}

std::string From() { return std::string(g_viewer.range.from, kStampSize); }
std::string Through() { return std::string(g_viewer.range.through, kStampSize); }

const char* const kYear1999End[6] = {"99", "12", "31", "23", "59", "59"};
const char* const kYear2005Morning[6] = {"05", "06", "15", "09", "30", "00"};
const char* const kYear2005Ten[6] = {"05", "06", "15", "10", "00", "00"};

class FilterDialog : public testing::Test {
protected:
    void SetUp() override {
        ClearBoxes();
        const std::string path = TempLogPath("PERN.EVT");
        ASSERT_TRUE(WriteFilterTestLog(path));
        OpenLog(path);
        RunLoop();
        ASSERT_EQ(ListCount(), 6);
        ASSERT_TRUE(g_boxes.empty());
    }
    void TearDown() override {
        if (Dialog() != nullptr) SendMessageA(Dialog(), WM_COMMAND, IDCANCEL, 0);
        RunLoop();
    }
    void Open() {
        Command(IDM_VIEW_FILTER);
        ASSERT_NE(Dialog(), nullptr);
    }
    // OK pressed; the dialog's posted commands run as the loop runs them.
    std::vector<UINT> PressOk() {
        Click(IDC_FILTER_OK);
        return RunLoop();
    }
};

}  // namespace

TEST_F(FilterDialog, OpensOverTheDisabledMainWindowWithTheConditionsInForce) {
    Open();
    HWND dialog = Dialog();
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    char title[64];
    GetWindowTextA(dialog, title, sizeof title);
    EXPECT_STREQ(title, "Filter");
    RECT d, m;
    GetWindowRect(dialog, &d);
    GetWindowRect(g_mainWindow, &m);
    EXPECT_NEAR((d.left + d.right) / 2, (m.left + m.right) / 2, 1);
    EXPECT_NEAR((d.top + d.bottom) / 2, (m.top + m.bottom) / 2, 1);

    // From the first event through the last, every type, component and module.
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_FIRST));
    EXPECT_FALSE(Checked(IDC_FILTER_FROM_STAMP));
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_LAST));
    EXPECT_FALSE(Checked(IDC_FILTER_THROUGH_STAMP));
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_FIRST));
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.00.00");
    EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "89.12.31.23.59.59");
    EXPECT_EQ(Text(IDC_FILTER_FROM_DATE_SEP1) + Text(IDC_FILTER_THROUGH_DATE_SEP2), "//");
    EXPECT_EQ(Text(IDC_FILTER_FROM_TIME_SEP2) + Text(IDC_FILTER_THROUGH_TIME_SEP1), "::");
    for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_TRUE(Checked(id)) << id;
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_COMPONENT), CB_GETCOUNT, 0, 0), 5);
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_MODULE), CB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_COMPONENT), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_MODULE), CB_GETCURSEL, 0, 0), 0);
    // Each field takes two characters.
    for (int id = IDC_FILTER_FROM_YEAR; id <= IDC_FILTER_THROUGH_SECOND; ++id) {
        EXPECT_EQ(SendMessageA(Item(id), EM_GETLIMITTEXT, 0, 0), 2) << id;
    }
}

TEST_F(FilterDialog, EscCancelAndTheCloseBoxCloseWithoutStoring) {
    const ViewConditions before = g_viewer.conditions;
    for (int way = 0; way < 3; ++way) {
        Open();
        Click(IDC_FILTER_ERROR);
        TypeSide(IDC_FILTER_FROM_YEAR, kYear2005Morning);
        std::vector<UINT> posted;
        if (way == 0) posted = Press(VK_ESCAPE);
        if (way == 1) {
            Click(IDCANCEL);
            posted = RunLoop();
        }
        if (way == 2) {
            SendMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
            posted = RunLoop();
        }
        EXPECT_EQ(Dialog(), nullptr) << way;
        EXPECT_TRUE(IsWindowEnabled(g_mainWindow)) << way;
        EXPECT_EQ(posted, std::vector<UINT>{IDM_REPAINT_LIST}) << way;
    }
    EXPECT_EQ(memcmp(&g_viewer.conditions, &before, sizeof before), 0);
    EXPECT_EQ(From().substr(0, 10), "1990/01/01");
    EXPECT_EQ(ListCount(), 6);
    EXPECT_EQ(StatusText(2), "");
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(FilterDialog, YearsNinetyToNinetyNineAreTheNineteenNineties) {
    // 99 is 1999 and 05 is 2005: the window holds the turn of the century.
    Open();
    TypeSide(IDC_FILTER_FROM_YEAR, kYear1999End);
    TypeSide(IDC_FILTER_THROUGH_YEAR, kYear2005Morning);
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_STAMP));
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_STAMP));
    EXPECT_EQ(Press(VK_RETURN), (std::vector<UINT>{IDM_APPLY_FILTER, IDM_REPAINT_LIST}));
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(From(), "1999/12/3123:59:59");
    EXPECT_EQ(Through(), "2005/06/1509:30:00");
    EXPECT_EQ(g_viewer.conditions.fromIsStamp, 1);
    EXPECT_EQ(g_viewer.conditions.throughIsStamp, 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2005/06/1509:30:00", "2000/01/0100:00:00", "1999/12/3123:59:59"}));
    EXPECT_EQ(StatusText(0), "Total number of Event3");
    EXPECT_EQ(StatusText(2), "Filter");
    EXPECT_TRUE(MenuChecked(IDM_VIEW_FILTER));

    // 90 is 1990 and 89 is 2089: every event lies between them.
    Open();
    const char* const start[6] = {"90", "01", "01", "00", "00", "00"};
    const char* const end[6] = {"89", "12", "31", "23", "59", "59"};
    TypeSide(IDC_FILTER_FROM_YEAR, start);
    TypeSide(IDC_FILTER_THROUGH_YEAR, end);
    PressOk();
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(From(), "1990/01/0100:00:00");
    EXPECT_EQ(Through(), "2089/12/3123:59:59");
    EXPECT_EQ(ListCount(), 6);
}

TEST_F(FilterDialog, StartAfterEndIsRefusedAndTheDialogStays) {
    Open();
    g_boxAnswers = {IDOK, IDOK};
    // 00 is 2000 and 99 is 1999.
    const char* const start[6] = {"00", "01", "01", "00", "00", "00"};
    const char* const end[6] = {"99", "12", "31", "23", "59", "59"};
    TypeSide(IDC_FILTER_FROM_YEAR, start);
    TypeSide(IDC_FILTER_THROUGH_YEAR, end);
    EXPECT_TRUE(PressOk().empty());
    // Within one day, one hour back.
    TypeSide(IDC_FILTER_FROM_YEAR, kYear2005Ten);
    TypeSide(IDC_FILTER_THROUGH_YEAR, kYear2005Morning);
    EXPECT_TRUE(PressOk().empty());
    ASSERT_EQ(g_boxes.size(), 2u);
    for (const RecordedBox& box : g_boxes) {
        EXPECT_EQ(box.id, UINT(IDS_ERR_FROM_AFTER_THROUGH));
        EXPECT_EQ(box.text, "If date / time of the commencement of a display is not a smaller value than date / time of "
                            "the completion of a display, will not become.");
        EXPECT_EQ(box.caption, "Failure in DARVEX");
        EXPECT_EQ(box.style, UINT(MB_OK | MB_ICONEXCLAMATION | MB_TASKMODAL | MB_SETFOREGROUND));
    }
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(g_viewer.conditions.fromIsStamp, 0);
    EXPECT_EQ(g_viewer.conditions.throughIsStamp, 0);
    EXPECT_EQ(From(), "1990/01/0100:00:00");
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "05.06.15.10.00.00");

    // The same second at both ends is a window of one second.
    TypeSide(IDC_FILTER_THROUGH_YEAR, kYear2005Ten);
    EXPECT_EQ(PressOk(), (std::vector<UINT>{IDM_APPLY_FILTER, IDM_REPAINT_LIST}));
    EXPECT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(Rows(), std::vector<std::string>{"2005/06/1510:00:00"});
}

TEST_F(FilterDialog, FieldThatIsNotANumberIsRefusedOnlyOnAGivenSide) {
    Open();
    g_boxAnswers = {IDOK, IDOK, IDOK};
    for (const char* text : {"", "a", "1a"}) {
        TypeSide(IDC_FILTER_FROM_YEAR, kYear2005Morning);
        Type(IDC_FILTER_FROM_MINUTE, text);
        EXPECT_TRUE(PressOk().empty()) << text;
    }
    ASSERT_EQ(g_boxes.size(), 3u);
    for (const RecordedBox& box : g_boxes) {
        EXPECT_EQ(box.id, UINT(IDS_ERR_DATE_TIME));
        EXPECT_EQ(box.text, "Date or time is not set properly.  \r\n  Input a numeric value.");
    }
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(g_viewer.conditions.fromIsStamp, 0);

    // Blanks before the digits are allowed; the end is not read while it is the last event.
    Type(IDC_FILTER_FROM_MINUTE, " 3");
    Type(IDC_FILTER_THROUGH_DAY, "xx");
    Click(IDC_FILTER_THROUGH_LAST);
    EXPECT_EQ(PressOk(), (std::vector<UINT>{IDM_APPLY_FILTER, IDM_REPAINT_LIST}));
    EXPECT_EQ(g_boxes.size(), 3u);
    EXPECT_EQ(g_viewer.conditions.fromIsStamp, 1);
    EXPECT_EQ(g_viewer.conditions.throughIsStamp, 0);
    EXPECT_EQ(Through(), "2089/12/3123:59:59");
}

TEST_F(FilterDialog, SingleTypedDigitsAreStoredWithALeadingZero) {
    Open();
    const char* const start[6] = {"5", "6", "15", "9", "30", "0"};
    TypeSide(IDC_FILTER_FROM_YEAR, start);
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_STAMP));
    EXPECT_FALSE(Checked(IDC_FILTER_THROUGH_STAMP));
    PressOk();
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(From(), "2005/06/1509:30:00");
    EXPECT_EQ(g_viewer.conditions.throughIsStamp, 0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2089/12/3123:59:59", "2005/06/1510:00:00", "2005/06/1509:30:00"}));
}

TEST_F(FilterDialog, SpinArrowsStopAtTheEndsOfTheFieldsRange) {
    Open();
    const struct {
        int field, bar;
        const char* typed;
        int code, clicks;
        const char* shown;
    } cases[] = {
        {IDC_FILTER_FROM_DAY, IDC_FILTER_FROM_DATE_SPIN, "31", SB_LINEUP, 1, "31"},
        {IDC_FILTER_FROM_DAY, IDC_FILTER_FROM_DATE_SPIN, "1", SB_LINEDOWN, 1, "01"},
        {IDC_FILTER_FROM_DAY, IDC_FILTER_FROM_DATE_SPIN, "45", SB_LINEUP, 1, "31"},
        {IDC_FILTER_FROM_DAY, IDC_FILTER_FROM_DATE_SPIN, "45", SB_LINEDOWN, 1, "31"},
        {IDC_FILTER_FROM_MONTH, IDC_FILTER_FROM_DATE_SPIN, "12", SB_LINEUP, 1, "12"},
        {IDC_FILTER_FROM_YEAR, IDC_FILTER_FROM_DATE_SPIN, "98", SB_LINEUP, 2, "99"},
        {IDC_FILTER_FROM_HOUR, IDC_FILTER_FROM_TIME_SPIN, "00", SB_LINEDOWN, 1, "00"},
        {IDC_FILTER_FROM_HOUR, IDC_FILTER_FROM_TIME_SPIN, "22", SB_LINEUP, 2, "23"},
        {IDC_FILTER_THROUGH_SECOND, IDC_FILTER_THROUGH_TIME_SPIN, "58", SB_LINEUP, 2, "59"},
        {IDC_FILTER_THROUGH_SECOND, IDC_FILTER_THROUGH_TIME_SPIN, "b", SB_LINEUP, 1, "01"},
    };
    for (const auto& c : cases) {
        Type(c.field, c.typed);
        for (int i = 0; i < c.clicks; ++i) Spin(c.bar, c.code);
        EXPECT_EQ(Text(c.field), c.shown) << c.field << " " << c.typed;
    }
    // Only the line arrows step; what the field holds is selected for typing over.
    Type(IDC_FILTER_FROM_DAY, "7");
    for (int code : {SB_PAGEUP, SB_THUMBPOSITION, SB_ENDSCROLL}) Spin(IDC_FILTER_FROM_DATE_SPIN, code);
    EXPECT_EQ(Text(IDC_FILTER_FROM_DAY), "7");
    Spin(IDC_FILTER_FROM_DATE_SPIN, SB_LINEUP);
    EXPECT_EQ(Text(IDC_FILTER_FROM_DAY), "08");
    DWORD first = 0, last = 0;
    SendMessageA(Item(IDC_FILTER_FROM_DAY), EM_GETSEL, WPARAM(&first), LPARAM(&last));
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(last, 2u);
}

TEST_F(FilterDialog, SpinArrowsActOnTheirRowAndChooseTheGivenDate) {
    Open();
    // Nothing entered yet: the date arrows step the year.
    Spin(IDC_FILTER_FROM_DATE_SPIN, SB_LINEUP);
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_STAMP));
    EXPECT_FALSE(Checked(IDC_FILTER_FROM_FIRST));
    EXPECT_EQ(Text(IDC_FILTER_FROM_YEAR), "91");
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_YEAR));
    // The time arrows leave the date row's field alone and step the hour.
    Type(IDC_FILTER_FROM_DAY, "10");
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    EXPECT_EQ(Text(IDC_FILTER_FROM_DAY), "10");
    EXPECT_EQ(Text(IDC_FILTER_FROM_HOUR), "01");
    // The minute, once entered, is what the time arrows step.
    Type(IDC_FILTER_FROM_MINUTE, "58");
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    EXPECT_EQ(Text(IDC_FILTER_FROM_MINUTE), "59");
    EXPECT_EQ(Text(IDC_FILTER_FROM_HOUR), "01");
    // Any code from the end's arrows chooses the end's given date; with no end
    // field entered yet, the date arrows step the end's year.
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_LAST));
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_ENDSCROLL);
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_STAMP));
    EXPECT_EQ(Text(IDC_FILTER_THROUGH_YEAR), "89");
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_LINEDOWN);
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_STAMP));
    EXPECT_FALSE(Checked(IDC_FILTER_THROUGH_LAST));
    EXPECT_EQ(Text(IDC_FILTER_THROUGH_YEAR), "88");
    EXPECT_EQ(Text(IDC_FILTER_FROM_MINUTE), "59");
    Spin(IDC_FILTER_THROUGH_TIME_SPIN, SB_LINEDOWN);
    EXPECT_EQ(Text(IDC_FILTER_THROUGH_HOUR), "22");

    PressOk();
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(From(), "1991/01/1001:59:00");
    EXPECT_EQ(Through(), "2088/12/3122:59:59");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2005/06/1510:00:00", "2005/06/1509:30:00",
                                                "2000/01/0100:00:00", "1999/12/3123:59:59"}));
}

TEST_F(FilterDialog, EnteringAFieldChoosesItsSidesGivenDate) {
    Open();
    SetFocus(Item(IDC_FILTER_THROUGH_MINUTE));
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_STAMP));
    EXPECT_FALSE(Checked(IDC_FILTER_THROUGH_LAST));
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_FIRST));
    // Alt+L goes back to the last event; Tab from the start's buttons enters its year.
    PressAlt('l');
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_LAST));
    EXPECT_FALSE(Checked(IDC_FILTER_THROUGH_STAMP));
    SetFocus(Item(IDC_FILTER_FROM_FIRST));
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_YEAR));
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_STAMP));
    EXPECT_FALSE(Checked(IDC_FILTER_FROM_FIRST));
    // Tab moves through the fields in order, skipping the separators.
    Press(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_MONTH));

    PressOk();
    EXPECT_EQ(g_viewer.conditions.fromIsStamp, 1);
    EXPECT_EQ(g_viewer.conditions.throughIsStamp, 0);
    EXPECT_EQ(ListCount(), 6);
}

TEST_F(FilterDialog, FilterThatHidesEveryRowGraysTheEventItems) {
    Open();
    for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) Click(id);
    PressOk();
    EXPECT_EQ(g_viewer.conditions.informationType, 0);
    EXPECT_EQ(g_viewer.conditions.warningType, 0);
    EXPECT_EQ(g_viewer.conditions.errorType, 0);
    EXPECT_EQ(ListCount(), 0);
    EXPECT_EQ(StatusText(0), "Total number of Event0");
    EXPECT_EQ(StatusText(2), "Filter");
    for (UINT id : {IDM_FILE_PRINT, IDM_VIEW_FIND, IDM_VIEW_DETAIL}) EXPECT_TRUE(MenuGrayed(id)) << id;

    // The dialog opens on what is stored: no type checked.
    Open();
    for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_FALSE(Checked(id)) << id;
}

TEST_F(FilterDialog, SecondPernModuleItemSelectsModuleCodeOne) {
    Open();
    Choose(IDC_FILTER_MODULE, 2);
    PressOk();
    EXPECT_EQ(g_viewer.conditions.moduleIndex, 2u);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2005/06/1509:30:00", "1999/12/3123:59:59"}));

    Open();
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_MODULE), CB_GETCURSEL, 0, 0), 2);
    Choose(IDC_FILTER_MODULE, 1);
    PressOk();
    EXPECT_EQ(Rows(), std::vector<std::string>{"1990/01/0100:00:00"});

    // Component and module must both match.
    Open();
    Choose(IDC_FILTER_COMPONENT, 3);
    PressOk();
    EXPECT_EQ(g_viewer.conditions.componentIndex, 3);
    EXPECT_EQ(ListCount(), 0);
}

TEST_F(FilterDialog, ClearThenCancelChangesNothing) {
    Open();
    Click(IDC_FILTER_WARNING);
    Choose(IDC_FILTER_COMPONENT, 1);
    Choose(IDC_FILTER_MODULE, 2);
    TypeSide(IDC_FILTER_FROM_YEAR, kYear1999End);
    PressOk();
    ASSERT_EQ(Rows(), (std::vector<std::string>{"2005/06/1509:30:00"}));
    const ViewConditions stored = g_viewer.conditions;

    Open();
    Click(IDC_FILTER_CLEAR);
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_COMPONENT), CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_MODULE), CB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_FIRST));
    EXPECT_FALSE(Checked(IDC_FILTER_FROM_STAMP));
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_LAST));
    for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_TRUE(Checked(id)) << id;
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.00.00");
    EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "89.12.31.23.59.59");
    EXPECT_EQ(Press(VK_ESCAPE), std::vector<UINT>{IDM_REPAINT_LIST});

    EXPECT_EQ(memcmp(&g_viewer.conditions, &stored, sizeof stored), 0);
    EXPECT_EQ(From(), "1999/12/3123:59:59");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"2005/06/1509:30:00"}));
}

TEST_F(FilterDialog, ClearThenOkShowsEveryEventStillFiltered) {
    Open();
    Click(IDC_FILTER_ERROR);
    TypeSide(IDC_FILTER_THROUGH_YEAR, kYear2005Morning);
    PressOk();
    ASSERT_EQ(ListCount(), 3);

    Open();
    Click(IDC_FILTER_CLEAR);
    PressOk();
    const ViewConditions defaults = DefaultViewConditions();
    EXPECT_EQ(memcmp(&g_viewer.conditions, &defaults, sizeof defaults), 0);
    EXPECT_EQ(ListCount(), 6);
    EXPECT_EQ(g_viewer.viewMode, uint32_t(IDM_VIEW_FILTER));
    EXPECT_TRUE(MenuChecked(IDM_VIEW_FILTER));
    EXPECT_FALSE(MenuChecked(IDM_VIEW_ALL_EVENTS));
    EXPECT_EQ(StatusText(0), "Total number of Event6");
    EXPECT_EQ(StatusText(2), "Filter");
}

struct Frame {
    int left, top, right, bottom;
};

// The four frames in pixels: the start's and the end's x ranges, the date
// row's and the time row's y ranges.
std::vector<Frame> FieldFrames(HWND dialog) {
    RECT a = {30, 42, 74, 54};
    RECT b = {124, 58, 169, 70};
    MapDialogRect(dialog, &a);
    MapDialogRect(dialog, &b);
    return {{a.left, a.top, a.right, a.bottom},
            {a.left, b.top, a.right, b.bottom},
            {b.left, a.top, b.right, a.bottom},
            {b.left, b.top, b.right, b.bottom}};
}

TEST_F(FilterDialog, FieldGroupsAreFramedAsSunkenBoxes) {
    Open();
    HWND dialog = Dialog();
    // As the dialog first paints itself: the outer lines lie beside the fields.
    RunLoop();
    HDC dc = GetDC(dialog);
    for (const Frame& f : FieldFrames(dialog)) {
        EXPECT_EQ(GetPixel(dc, f.left, f.top), RGB(0, 0, 0)) << f.left << "," << f.top;
        EXPECT_EQ(GetPixel(dc, f.left, f.bottom - 1), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, f.left, f.bottom), RGB(0xFF, 0xFF, 0xFF));
        EXPECT_EQ(GetPixel(dc, f.right, f.top), RGB(0xFF, 0xFF, 0xFF));
    }

    // Drawn again with the fields hidden, so every line can be seen.
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        ShowWindow(child, SW_HIDE);
    }
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    for (const Frame& f : FieldFrames(dialog)) {
        EXPECT_EQ(GetPixel(dc, f.left, f.top), RGB(0, 0, 0)) << f.left << "," << f.top;
        EXPECT_EQ(GetPixel(dc, f.left, f.top + 1), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, f.left, f.bottom - 1), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, f.right - 1, f.top), RGB(0, 0, 0));
        EXPECT_EQ(GetPixel(dc, f.left + 1, f.top + 1), RGB(0x80, 0x80, 0x80));
        EXPECT_EQ(GetPixel(dc, f.right - 1, f.top + 1), RGB(0x80, 0x80, 0x80));
        EXPECT_EQ(GetPixel(dc, f.left + 1, f.bottom - 1), RGB(0x80, 0x80, 0x80));
        EXPECT_EQ(GetPixel(dc, f.left, f.bottom), RGB(0xFF, 0xFF, 0xFF));
        EXPECT_EQ(GetPixel(dc, f.right, f.top), RGB(0xFF, 0xFF, 0xFF));
        EXPECT_EQ(GetPixel(dc, f.right, f.bottom - 1), RGB(0xFF, 0xFF, 0xFF));
    }
    ReleaseDC(dialog, dc);
}
