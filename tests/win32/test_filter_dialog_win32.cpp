// The Filter dialog opened from the real main window and driven as a user
// would: typed fields, spin arrows, buttons, lists, Enter and Esc through the
// message loop's dialog handling. The field rules themselves are the core's.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window_win32.h"
#include "eventlist/filter.h"
#include "resources/resource_ids.h"
#include "tests/win32/detail_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

using Commands = std::vector<UINT>;
using Stamps = std::vector<std::string>;
const int kTypes[] = {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR};

// A click into the field, all of it selected and erased, then the keys.
void Type(int id, const std::string& text) {
    SetFocus(Item(id));
    SendMessageA(Item(id), EM_SETSEL, 0, -1);
    for (char c : "\b" + text) SendMessageA(Item(id), WM_CHAR, WPARAM(uint8_t(c)), 1);
}

// The six fields of a side as "yy.mm.dd.hh.mm.ss", typed one by one or read back.
void TypeSide(int firstField, const std::string& fields) {
    for (int i = 0; i < 6; ++i) Type(firstField + i, fields.substr(size_t(i) * 3, 2));
}
std::string SideText(int firstField) {
    std::string s;
    for (int i = 0; i < 6; ++i) s += ItemText(firstField + i) + (i < 5 ? "." : "");
    return s;
}

// Which button of each side is on: the given date, or the first and the last event.
void ExpectGiven(bool from, bool through) {
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_STAMP) == from && Checked(IDC_FILTER_FROM_FIRST) != from) << from;
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_STAMP) == through && Checked(IDC_FILTER_THROUGH_LAST) != through) << through;
}

void Spin(int barId, int code) { SendMessageA(Dialog(), WM_VSCROLL, MAKEWPARAM(code, 0), LPARAM(Item(barId))); }

void Choose(int comboId, int index) { SendMessageA(Item(comboId), CB_SETCURSEL, WPARAM(index), 0); }
LRESULT ComboSelection(int comboId) { return SendMessageA(Item(comboId), CB_GETCURSEL, 0, 0); }

// The stored window: the from and through stamps.
std::string Window() { return std::string(g_viewer.range.from, 2 * kStampSize); }

class FilterDialog : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = TempLogPath("PERN.EVT");
        ASSERT_EQ(WriteFilterTestLog(path.c_str()), 1);
        OpenLog(path);
        ASSERT_EQ(ListCount(), 6);
    }
    void Open() {
        Command(IDM_VIEW_FILTER);
        ASSERT_NE(Dialog(), nullptr);
    }
    // OK pressed; the dialog's posted commands run as the loop runs them.
    Commands PressOk() {
        Click(IDC_FILTER_OK);
        return PumpMessages();
    }
    // Every control as Clear sets it: any component and module, every type, the first and the last event.
    void ExpectCleared() {
        EXPECT_EQ(ComboSelection(IDC_FILTER_COMPONENT) + ComboSelection(IDC_FILTER_MODULE), 0);
        ExpectGiven(false, false);
        for (int id : kTypes) EXPECT_TRUE(Checked(id)) << id;
        EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.00.00");
        EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "89.12.31.23.59.59");
    }
};

}  // namespace

TEST_F(FilterDialog, OpensOnTheConditionsInForceRefusesBadDatesAndEscStoresNothing) {
    const ViewConditions before = g_viewer.conditions;
    Open();
    ExpectCleared();
    Click(IDC_FILTER_ERROR);
    // 00 is 2000 and 99 is 1999: the start after the end; then a field not a number.
    g_boxAnswers = {IDOK, IDOK};
    TypeSide(IDC_FILTER_FROM_YEAR, "00.01.01.00.00.00");
    TypeSide(IDC_FILTER_THROUGH_YEAR, "99.12.31.23.59.59");
    EXPECT_TRUE(PressOk().empty());
    Type(IDC_FILTER_FROM_MINUTE, "1a");
    EXPECT_TRUE(PressOk().empty());
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[0].id, UINT(IDS_ERR_FROM_AFTER_THROUGH));
    EXPECT_EQ(g_boxes[1].id, UINT(IDS_ERR_DATE_TIME));
    EXPECT_EQ(g_boxes[1].text, "Date or time is not set properly.  \r\n  Input a numeric value.");
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "00.01.01.00.1a.00");
    // Each way of closing is pressed in the main window's tests.
    EXPECT_EQ(PressKey(VK_ESCAPE), Commands{IDM_REPAINT_LIST});
    EXPECT_EQ(memcmp(&g_viewer.conditions, &before, sizeof before), 0);
    EXPECT_EQ(ListCount(), 6);
}

TEST_F(FilterDialog, FieldsKeysAndArrowsChooseTheirSidesGivenDateAndStepTheirRow) {
    // Entering a field chooses its side, Alt+L the last event; Tab enters the start's year.
    Open();
    SetFocus(Item(IDC_FILTER_THROUGH_MINUTE));
    ExpectGiven(false, true);
    PressAltKey('l');
    ExpectGiven(false, false);
    SetFocus(Item(IDC_FILTER_FROM_FIRST));
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_YEAR));
    ExpectGiven(true, false);

    // The date arrows step the year, or the date field entered, the time arrows
    // the hour or the time field entered, each within its range; only the line
    // arrows step, and the field is selected for typing over.
    Spin(IDC_FILTER_FROM_DATE_SPIN, SB_LINEUP);
    Type(IDC_FILTER_FROM_DAY, "7");
    for (int code : {SB_PAGEUP, SB_THUMBPOSITION, SB_ENDSCROLL}) Spin(IDC_FILTER_FROM_DATE_SPIN, code);
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "91.01.7.00.00.00");
    Spin(IDC_FILTER_FROM_DATE_SPIN, SB_LINEUP);
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_FROM_DAY), EM_GETSEL, 0, 0), MAKELRESULT(0, 2));
    Type(IDC_FILTER_FROM_HOUR, "22");
    for (int i = 0; i < 2; ++i) Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    Type(IDC_FILTER_FROM_MINUTE, "58");
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "91.01.08.23.59.00");
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_MINUTE));
    // Any code from the end's arrows chooses its given date; with no end field
    // entered, its arrows step its year and its hour.
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_ENDSCROLL);
    ExpectGiven(true, true);
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_LINEDOWN);
    Spin(IDC_FILTER_THROUGH_TIME_SPIN, SB_LINEDOWN);
    EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "88.12.31.22.59.59");
    PressOk();
    EXPECT_EQ(Window(), "1991/01/0823:59:002088/12/3122:59:59");
}

TEST_F(FilterDialog, ClearResetsTheControlsOnlyThenCancelKeepsAndOkStoresTheDefaults) {
    Open();
    Click(IDC_FILTER_WARNING);
    Choose(IDC_FILTER_COMPONENT, 1);
    Choose(IDC_FILTER_MODULE, 2);
    // 99 is 1999 and 05 is 2005; Enter is OK.
    TypeSide(IDC_FILTER_FROM_YEAR, "99.12.31.23.59.59");
    TypeSide(IDC_FILTER_THROUGH_YEAR, "05.06.15.09.30.00");
    EXPECT_EQ(PressKey(VK_RETURN), (Commands{IDM_APPLY_FILTER, IDM_REPAINT_LIST}));
    EXPECT_EQ(Dialog(), nullptr);
    ASSERT_EQ(Rows(), Stamps{"2005/06/1509:30:00"});
    const ViewConditions stored = g_viewer.conditions;

    // Reopened on what is stored; Clear shows the first and the last event, not the stored window.
    Open();
    EXPECT_EQ(ComboSelection(IDC_FILTER_MODULE), 2);   // the second "HALDOR/PERN", module code 1
    EXPECT_FALSE(Checked(IDC_FILTER_WARNING));
    Click(IDC_FILTER_CLEAR);
    ExpectCleared();
    EXPECT_EQ(PressKey(VK_ESCAPE), Commands{IDM_REPAINT_LIST});
    EXPECT_EQ(memcmp(&g_viewer.conditions, &stored, sizeof stored), 0);
    EXPECT_EQ(Window(), "1999/12/3123:59:592005/06/1509:30:00");
    Open();
    Click(IDC_FILTER_CLEAR);
    ExpectCleared();
    // OK after Clear: every event, still shown as filtered.
    PressOk();
    const ViewConditions defaults = DefaultViewConditions();
    EXPECT_EQ(memcmp(&g_viewer.conditions, &defaults, sizeof defaults), 0);
    EXPECT_EQ(ListCount(), 6);
    EXPECT_TRUE(MenuChecked(IDM_VIEW_FILTER));
    EXPECT_EQ(StatusText(2), "Filter");
}

TEST_F(FilterDialog, FieldGroupsAreFramedAsSunkenBoxes) {
    Open();
    HWND dialog = Dialog();
    // The start's and the end's x ranges by the date row's and the time row's y ranges.
    RECT a = {30, 42, 74, 54}, b = {124, 58, 169, 70};
    MapDialogRect(dialog, &a);
    MapDialogRect(dialog, &b);
    const RECT frames[4] = {a, {a.left, b.top, a.right, b.bottom}, {b.left, a.top, b.right, a.bottom}, b};
    const COLORREF black = RGB(0, 0, 0), gray = RGB(0x80, 0x80, 0x80), white = RGB(0xFF, 0xFF, 0xFF);
    // As the dialog first paints itself, then again with the fields hidden so
    // that every line can be seen; the first four pixels lie beside the fields.
    PumpMessages();
    HDC dc = GetDC(dialog);
    for (bool hidden : {false, true}) {
        for (const RECT& f : frames) {
            const LONG l = f.left, t = f.top, r = f.right, bo = f.bottom;
            const std::pair<POINT, COLORREF> pixels[] = {
                {{l, t}, black},     {{l, bo - 1}, black}, {{l, bo}, white},       {{r, t}, white},
                {{l, t + 1}, black}, {{r - 1, t}, black},  {{l + 1, t + 1}, gray}, {{r - 1, t + 1}, gray},
                {{l + 1, bo - 1}, gray}, {{r, bo - 1}, white}};
            for (int i = 0; i < (hidden ? 10 : 4); ++i) {
                const POINT p = pixels[i].first;
                EXPECT_EQ(GetPixel(dc, p.x, p.y), pixels[i].second) << p.x << "," << p.y << " hidden " << hidden;
            }
        }
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ShowWindow(child, SW_HIDE);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    ReleaseDC(dialog, dc);
}
