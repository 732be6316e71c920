// The Filter dialog of the real main window, typed into and pressed; the field rules are the core's.
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

// A side's six fields as "yy.mm.dd.hh.mm.ss".
void TypeSide(int firstField, const std::string& fields) {
    for (int i = 0; i < 6; ++i) Type(firstField + i, fields.substr(size_t(i) * 3, 2));
}
std::string SideText(int firstField) {
    std::string s;
    for (int i = 0; i < 6; ++i) s += ItemText(firstField + i) + (i < 5 ? "." : "");
    return s;
}

// Whether each side's given date (not the first or the last event) is chosen.
void ExpectGiven(bool from, bool through) {
    EXPECT_TRUE(Checked(IDC_FILTER_FROM_STAMP) == from && Checked(IDC_FILTER_FROM_FIRST) != from) << from;
    EXPECT_TRUE(Checked(IDC_FILTER_THROUGH_STAMP) == through && Checked(IDC_FILTER_THROUGH_LAST) != through) << through;
}

void Spin(int barId, int code) { SendMessageA(Dialog(), WM_VSCROLL, MAKEWPARAM(code, 0), LPARAM(Item(barId))); }

LRESULT ComboSelection(int comboId) { return SendMessageA(Item(comboId), CB_GETCURSEL, 0, 0); }

// The stored window: the from and through stamps.
std::string Window() { return std::string(g_viewer.range.from, 2 * kStampSize); }

class FilterDialog : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = TempLogPath("PERN.EVT");
        ASSERT_EQ(WriteFilterTestLog(path.c_str()), 1);
        OpenLog(path);
    }
    void Open() {
        Command(IDM_VIEW_FILTER);
        ASSERT_NE(Dialog(), nullptr);
    }
    Commands PressOk() {
        Click(IDC_FILTER_OK);
        return PumpMessages();
    }
    // Every control as Clear sets it.
    void ExpectCleared() {
        EXPECT_EQ(ComboSelection(IDC_FILTER_COMPONENT) + ComboSelection(IDC_FILTER_MODULE), 0);
        ExpectGiven(false, false);
        for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_TRUE(Checked(id)) << id;
        EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.00.00");
        EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "89.12.31.23.59.59");
    }
};

}  // namespace

TEST_F(FilterDialog, FieldsKeysAndArrowsChooseTheirSidesGivenDateAndStepTheirRow) {
    // Entering a field chooses its side's date, Alt+L the last event.
    Open();
    SetFocus(Item(IDC_FILTER_THROUGH_MINUTE));
    ExpectGiven(false, true);
    PressAltKey('l');
    ExpectGiven(false, false);
    SetFocus(Item(IDC_FILTER_FROM_YEAR));
    ExpectGiven(true, false);

    // The arrows step the year or hour, else the field entered; only the line arrows step,
    // and they select the field for typing over.
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
    // Any code from the end's arrows chooses its date; none of its fields entered: year and hour.
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_ENDSCROLL);
    ExpectGiven(true, true);
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_LINEDOWN);
    Spin(IDC_FILTER_THROUGH_TIME_SPIN, SB_LINEDOWN);
    EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "88.12.31.22.59.59");
    PressOk();
    EXPECT_EQ(Window(), "1991/01/0823:59:002088/12/3122:59:59");
}

TEST_F(FilterDialog, RefusesBadDatesThenClearResetsTheControlsOnlyCancelKeepsAndOkStoresTheDefaults) {
    Open();
    ExpectCleared();
    g_boxAnswers = {IDOK};
    Type(IDC_FILTER_FROM_MINUTE, "1a");
    EXPECT_TRUE(PressOk().empty());
    ASSERT_EQ(g_boxes.size(), 1u);
    EXPECT_EQ(g_boxes[0].text, "Date or time is not set properly.  \r\n  Input a numeric value.");
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.1a.00");
    Click(IDC_FILTER_WARNING);
    SendMessageA(Item(IDC_FILTER_COMPONENT), CB_SETCURSEL, 1, 0);
    SendMessageA(Item(IDC_FILTER_MODULE), CB_SETCURSEL, 2, 0);
    // 99 is 1999, 05 is 2005; Enter is OK.
    TypeSide(IDC_FILTER_FROM_YEAR, "99.12.31.23.59.59");
    TypeSide(IDC_FILTER_THROUGH_YEAR, "05.06.15.09.30.00");
    EXPECT_EQ(PressKey(VK_RETURN), (Commands{IDM_APPLY_FILTER, IDM_REPAINT_LIST}));
    ASSERT_EQ(Rows(), std::vector<std::string>{"2005/06/1509:30:00"});
    const ViewConditions stored = g_viewer.conditions;

    // Reopened on what is stored; Clear shows the first and the last event, not the stored window.
    Open();
    EXPECT_TRUE(ComboSelection(IDC_FILTER_MODULE) == 2 && !Checked(IDC_FILTER_WARNING));
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
    EXPECT_TRUE(ListCount() == 6 && MenuChecked(IDM_VIEW_FILTER));
    EXPECT_EQ(StatusText(2), "Filter");
}

TEST_F(FilterDialog, FieldGroupsAreFramedAsSunkenBoxes) {
    Open();
    HWND dialog = Dialog();
    RECT a = {30, 42, 74, 54}, b = {124, 58, 169, 70};   // start date, end time
    MapDialogRect(dialog, &a);
    MapDialogRect(dialog, &b);
    const RECT frames[4] = {a, {a.left, b.top, a.right, b.bottom}, {b.left, a.top, b.right, a.bottom}, b};
    const COLORREF black = RGB(0, 0, 0), gray = RGB(0x80, 0x80, 0x80), white = RGB(0xFF, 0xFF, 0xFF);
    // As first painted (four pixels beside the fields), then with the fields hidden.
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
                EXPECT_EQ(GetPixel(dc, pixels[i].first.x, pixels[i].first.y), pixels[i].second) << i << " " << hidden;
            }
        }
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ShowWindow(child, SW_HIDE);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    ReleaseDC(dialog, dc);
}
