// The Filter dialog opened from the real main window and driven as a user
// would: typed fields, spin arrows, buttons, lists, Enter and Esc through the
// message loop's dialog handling.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "app/main_window_win32.h"
#include "eventlist/filter.h"
#include "resources/resource_ids.h"
#include "tests/win32/filter_test_log.h"
#include "tests/win32/win32_test_support.h"

namespace {

using Commands = std::vector<UINT>;
using Stamps = std::vector<std::string>;
const Commands kApplied = {IDM_APPLY_FILTER, IDM_REPAINT_LIST};
const Commands kCancelled = {IDM_REPAINT_LIST};

// A click into the field, all of it selected and erased, then the keys.
void Type(int id, const std::string& text) {
    HWND field = Item(id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, WM_CHAR, VK_BACK, 1);
    for (char c : text) SendMessageA(field, WM_CHAR, WPARAM(uint8_t(c)), 1);
}

// The six fields of a side, "yy.mm.dd.hh.mm.ss", typed one by one and read back.
void TypeSide(int firstField, const std::string& fields) {
    size_t at = 0;
    for (int i = 0; i < 6; ++i, at = fields.find('.', at) + 1) Type(firstField + i, fields.substr(at, fields.find('.', at) - at));
}
std::string SideText(int firstField) {
    std::string s;
    for (int i = 0; i < 6; ++i) s += ItemText(firstField + i) + (i < 5 ? "." : "");
    return s;
}

// Which button of each side is on: the given date, or the first and the last event.
void ExpectGiven(bool from, bool through) {
    EXPECT_EQ(Checked(IDC_FILTER_FROM_STAMP), from);
    EXPECT_EQ(Checked(IDC_FILTER_FROM_FIRST), !from);
    EXPECT_EQ(Checked(IDC_FILTER_THROUGH_STAMP), through);
    EXPECT_EQ(Checked(IDC_FILTER_THROUGH_LAST), !through);
}

void Spin(int barId, int code) { SendMessageA(Dialog(), WM_VSCROLL, MAKEWPARAM(code, 0), LPARAM(Item(barId))); }

void Choose(int comboId, int index) {
    SendMessageA(Item(comboId), CB_SETCURSEL, WPARAM(index), 0);
    SendMessageA(Dialog(), WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), LPARAM(Item(comboId)));
}
LRESULT ComboSelection(int comboId) { return SendMessageA(Item(comboId), CB_GETCURSEL, 0, 0); }

std::string From() { return std::string(g_viewer.range.from, kStampSize); }
std::string Through() { return std::string(g_viewer.range.through, kStampSize); }

class FilterDialog : public testing::Test {
protected:
    void SetUp() override {
        const std::string path = TempLogPath("PERN.EVT");
        ASSERT_TRUE(WriteFilterTestLog(path));
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
};

}  // namespace

TEST_F(FilterDialog, OpensOnTheConditionsInForceAndEscCancelOrCloseStoreNothing) {
    const ViewConditions before = g_viewer.conditions;
    for (int way = 0; way < 3; ++way) {
        Open();
        EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
        // From the first event through the last, every type, component and module.
        ExpectGiven(false, false);
        EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.00.00");
        EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "89.12.31.23.59.59");
        for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_TRUE(Checked(id)) << id;
        EXPECT_EQ(ComboSelection(IDC_FILTER_COMPONENT), 0);
        EXPECT_EQ(ComboSelection(IDC_FILTER_MODULE), 0);

        Click(IDC_FILTER_ERROR);
        TypeSide(IDC_FILTER_FROM_YEAR, "05.06.15.09.30.00");
        Commands posted;
        if (way == 0) posted = PressKey(VK_ESCAPE);
        if (way == 1) Click(IDCANCEL);
        if (way == 2) SendMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
        if (way != 0) posted = PumpMessages();
        EXPECT_EQ(Dialog(), nullptr) << way;
        EXPECT_TRUE(IsWindowEnabled(g_mainWindow)) << way;
        EXPECT_EQ(posted, kCancelled) << way;
    }
    EXPECT_EQ(memcmp(&g_viewer.conditions, &before, sizeof before), 0);
    EXPECT_EQ(ListCount(), 6);
}

TEST_F(FilterDialog, TwoDigitYearsNinetyToNinetyNineAreTheNineteenNineties) {
    // 99 is 1999 and 05 is 2005: the window holds the turn of the century.
    Open();
    TypeSide(IDC_FILTER_FROM_YEAR, "99.12.31.23.59.59");
    TypeSide(IDC_FILTER_THROUGH_YEAR, "05.06.15.09.30.00");
    ExpectGiven(true, true);
    EXPECT_EQ(PressKey(VK_RETURN), kApplied);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(From(), "1999/12/3123:59:59");
    EXPECT_EQ(Through(), "2005/06/1509:30:00");
    EXPECT_EQ(Rows(), (Stamps{"2005/06/1509:30:00", "2000/01/0100:00:00", "1999/12/3123:59:59"}));
}

TEST_F(FilterDialog, StartAfterEndOrAFieldNotANumberIsRefusedAndTheDialogStays) {
    Open();
    g_boxAnswers = {IDOK, IDOK};
    // 00 is 2000 and 99 is 1999.
    TypeSide(IDC_FILTER_FROM_YEAR, "00.01.01.00.00.00");
    TypeSide(IDC_FILTER_THROUGH_YEAR, "99.12.31.23.59.59");
    EXPECT_TRUE(PressOk().empty());
    Type(IDC_FILTER_FROM_MINUTE, "1a");
    EXPECT_TRUE(PressOk().empty());
    ASSERT_EQ(g_boxes.size(), 2u);
    EXPECT_EQ(g_boxes[0].id, UINT(IDS_ERR_FROM_AFTER_THROUGH));
    EXPECT_EQ(g_boxes[0].text, "If date / time of the commencement of a display is not a smaller value than date / "
                               "time of the completion of a display, will not become.");
    EXPECT_EQ(g_boxes[1].id, UINT(IDS_ERR_DATE_TIME));
    EXPECT_EQ(g_boxes[1].text, "Date or time is not set properly.  \r\n  Input a numeric value.");
    ASSERT_NE(Dialog(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(g_mainWindow));
    EXPECT_EQ(g_viewer.conditions.fromIsStamp + g_viewer.conditions.throughIsStamp, 0);
    EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "00.01.01.00.1a.00");
}

TEST_F(FilterDialog, SpinArrowsStepTheirRowWithinTheFieldsRange) {
    Open();
    const struct {
        int field, bar;
        const char* typed;
        int code, clicks;
        const char* shown;
    } cases[] = {
        {IDC_FILTER_FROM_HOUR, IDC_FILTER_FROM_TIME_SPIN, "22", SB_LINEUP, 2, "23"},
        {IDC_FILTER_THROUGH_SECOND, IDC_FILTER_THROUGH_TIME_SPIN, "b", SB_LINEUP, 1, "01"},
    };
    for (const auto& c : cases) {
        Type(c.field, c.typed);
        for (int i = 0; i < c.clicks; ++i) Spin(c.bar, c.code);
        EXPECT_EQ(ItemText(c.field), c.shown) << c.field << " " << c.typed;
    }
    // Only the line arrows step; what the field holds is selected for typing over.
    Type(IDC_FILTER_FROM_DAY, "7");
    for (int code : {SB_PAGEUP, SB_THUMBPOSITION, SB_ENDSCROLL}) Spin(IDC_FILTER_FROM_DATE_SPIN, code);
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_DAY), "7");
    Spin(IDC_FILTER_FROM_DATE_SPIN, SB_LINEUP);
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_DAY), "08");
    EXPECT_EQ(SendMessageA(Item(IDC_FILTER_FROM_DAY), EM_GETSEL, 0, 0), MAKELRESULT(0, 2));
}

TEST_F(FilterDialog, KeysFieldsAndArrowsChooseTheirSidesGivenDate) {
    // Entering a field chooses its side; Alt+L goes back to the last event;
    // Tab from the start's buttons enters its year, then goes on to the month.
    Open();
    SetFocus(Item(IDC_FILTER_THROUGH_MINUTE));
    ExpectGiven(false, true);
    PressAltKey('l');
    ExpectGiven(false, false);
    SetFocus(Item(IDC_FILTER_FROM_FIRST));
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_YEAR));
    ExpectGiven(true, false);
    PressKey(VK_TAB);
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_MONTH));
    PressOk();
    EXPECT_EQ(g_viewer.conditions.fromIsStamp, 1);
    EXPECT_EQ(g_viewer.conditions.throughIsStamp, 0);

    // Nothing entered yet: the date arrows step the year.
    Open();
    Spin(IDC_FILTER_FROM_DATE_SPIN, SB_LINEUP);
    ExpectGiven(true, false);
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_YEAR), "91");
    EXPECT_EQ(GetFocus(), Item(IDC_FILTER_FROM_YEAR));
    // The time arrows leave the date row's field alone and step the hour.
    Type(IDC_FILTER_FROM_DAY, "10");
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_DAY), "10");
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_HOUR), "01");
    // The minute, once entered, is what the time arrows step.
    Type(IDC_FILTER_FROM_MINUTE, "58");
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    Spin(IDC_FILTER_FROM_TIME_SPIN, SB_LINEUP);
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_MINUTE), "59");
    EXPECT_EQ(ItemText(IDC_FILTER_FROM_HOUR), "01");
    // Any code from the end's arrows chooses the end's given date; with no end
    // field entered yet, the date arrows step the end's year.
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_ENDSCROLL);
    ExpectGiven(true, true);
    EXPECT_EQ(ItemText(IDC_FILTER_THROUGH_YEAR), "89");
    Spin(IDC_FILTER_THROUGH_DATE_SPIN, SB_LINEDOWN);
    EXPECT_EQ(ItemText(IDC_FILTER_THROUGH_YEAR), "88");
    Spin(IDC_FILTER_THROUGH_TIME_SPIN, SB_LINEDOWN);
    EXPECT_EQ(ItemText(IDC_FILTER_THROUGH_HOUR), "22");
    PressOk();
    EXPECT_EQ(From(), "1991/01/1001:59:00");
    EXPECT_EQ(Through(), "2088/12/3122:59:59");
    EXPECT_EQ(Rows(), (Stamps{"2005/06/1510:00:00", "2005/06/1509:30:00", "2000/01/0100:00:00", "1999/12/3123:59:59"}));
}

TEST_F(FilterDialog, TypesComponentsAndTheModuleNamedTwiceChooseTheRows) {
    // The second "HALDOR/PERN" item is module code 1, the first code 0.
    Open();
    Choose(IDC_FILTER_MODULE, 2);
    PressOk();
    EXPECT_EQ(Rows(), (Stamps{"2005/06/1509:30:00", "1999/12/3123:59:59"}));
    Open();
    EXPECT_EQ(ComboSelection(IDC_FILTER_MODULE), 2);
    Choose(IDC_FILTER_MODULE, 0);

    // No type at all hides every row.
    for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) Click(id);
    PressOk();
    EXPECT_EQ(g_viewer.conditions.informationType + g_viewer.conditions.warningType + g_viewer.conditions.errorType, 0);
    EXPECT_EQ(ListCount(), 0);
    Open();
    for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_FALSE(Checked(id)) << id;
}

TEST_F(FilterDialog, ClearResetsTheControlsOnlyThenCancelKeepsAndOkStoresTheDefaults) {
    Open();
    Click(IDC_FILTER_WARNING);
    Choose(IDC_FILTER_COMPONENT, 1);
    Choose(IDC_FILTER_MODULE, 2);
    TypeSide(IDC_FILTER_FROM_YEAR, "99.12.31.23.59.59");
    PressOk();
    ASSERT_EQ(Rows(), Stamps{"2005/06/1509:30:00"});
    const ViewConditions stored = g_viewer.conditions;

    const auto clearShowsTheDefaults = [] {
        Click(IDC_FILTER_CLEAR);
        EXPECT_EQ(ComboSelection(IDC_FILTER_COMPONENT), 0);
        EXPECT_EQ(ComboSelection(IDC_FILTER_MODULE), 0);
        ExpectGiven(false, false);
        for (int id : {IDC_FILTER_INFORMATION, IDC_FILTER_WARNING, IDC_FILTER_ERROR}) EXPECT_TRUE(Checked(id)) << id;
        EXPECT_EQ(SideText(IDC_FILTER_FROM_YEAR), "90.01.01.00.00.00");
        EXPECT_EQ(SideText(IDC_FILTER_THROUGH_YEAR), "89.12.31.23.59.59");
    };
    Open();
    clearShowsTheDefaults();
    EXPECT_EQ(PressKey(VK_ESCAPE), kCancelled);
    EXPECT_EQ(memcmp(&g_viewer.conditions, &stored, sizeof stored), 0);
    EXPECT_EQ(From(), "1999/12/3123:59:59");
    EXPECT_EQ(Rows(), Stamps{"2005/06/1509:30:00"});
    Open();
    clearShowsTheDefaults();
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
    // The four frames: the start's and the end's x ranges by the date row's and the time row's y ranges.
    RECT start = {30, 42, 74, 54}, end = {124, 58, 169, 70};
    MapDialogRect(dialog, &start);
    MapDialogRect(dialog, &end);
    const RECT frames[4] = {start, {start.left, end.top, start.right, end.bottom},
                            {end.left, start.top, end.right, start.bottom}, end};
    const COLORREF black = RGB(0, 0, 0), gray = RGB(0x80, 0x80, 0x80), white = RGB(0xFF, 0xFF, 0xFF);
    // As the dialog first paints itself, then drawn again with the fields hidden,
    // so that every line can be seen.
    PumpMessages();
    HDC dc = GetDC(dialog);
    for (bool hidden : {false, true}) {
        for (const RECT& f : frames) {
            const LONG l = f.left, t = f.top, r = f.right, b = f.bottom;
            // The first four lie beside the fields.
            const std::pair<POINT, COLORREF> pixels[] = {
                {{l, t}, black},         {{l, b - 1}, black},         {{l, b}, white},         {{r, t}, white},
                {{l, t + 1}, black},     {{r - 1, t}, black},         {{l + 1, t + 1}, gray},  {{r - 1, t + 1}, gray},
                {{l + 1, b - 1}, gray},  {{r, b - 1}, white}};
            for (int i = 0; i < (hidden ? 10 : 4); ++i) {
                const POINT p = pixels[i].first;
                EXPECT_EQ(GetPixel(dc, p.x, p.y), pixels[i].second) << p.x << "," << p.y << " hidden " << hidden;
            }
        }
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            ShowWindow(child, SW_HIDE);
        }
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
    ReleaseDC(dialog, dc);
}
