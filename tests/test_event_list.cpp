#include "eventlist/filter.h"
#include "eventlist/filter_dialog.h"
#include "eventlist/ordering.h"
#include "test_support.h"

namespace {

using Rows = std::vector<int>;

// Newest first: PERN, PERN, BORAXLIN, setup tool, unknown of an unnamed type, TOLVA of type 0.
const SyntheticEvent kEvents[] = {{4, 0, "2003/05/0612:00:01", nullptr}, {2, 1, "2003/05/0612:00:00", nullptr},
                                  {1, 4, "2002/12/3123:59:59", nullptr}, {4, 6, "2002/01/0100:00:00", nullptr},
                                  {9, 9, "2001/01/0100:00:00", nullptr}, {0, 2, "2000/06/0100:00:00", nullptr}};

struct FilterTest : StateTest {
    void SetUp() override { StateTest::SetUp(); BuildSyntheticTable(&state, kEvents, 6); }
    void SetRange(const char* from, const char* through) {
        memcpy(state.range.from, from, 18);
        memcpy(state.range.through, through, 18);
        state.conditions.fromIsStamp = state.conditions.throughIsStamp = 1;
    }
    Rows Shown() {
        ApplyFilter(&state, &fx);
        return VisibleIndexes(state);
    }
};

// Bounds are inclusive to the second; unnamed type codes match no selected type.
TEST_F(FilterTest, WindowAndTypesChooseTheRowsAndAnEmptyResultGraysTheEventItems) {
    EXPECT_EQ((Rows{0, 1, 2, 3}), Shown());
    SetRange("2003/05/0612:00:01", "2003/05/0612:00:01");
    EXPECT_EQ((Rows{0}), Shown());
    SetRange("2002/12/3123:59:59", "2003/05/0612:00:00");
    ApplyFilterCommand(&state, &fx);
    EXPECT_EQ((Rows{1, 2}), VisibleIndexes(state));
    EXPECT_EQ("Total number of Event2|Filter", StatusText(fx, 0) + "|" + StatusText(fx, 2));
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 111));
    SetRange("2003/01/0100:00:00", "2002/01/0100:00:00");
    EXPECT_EQ((Rows{}), Shown());
    EXPECT_EQ(kMenuGray, LastMenuAction(fx, 115));
    state.conditions = DefaultViewConditions();
    state.conditions.errorType = state.conditions.warningType = state.conditions.informationType = 0;
    EXPECT_EQ((Rows{5}), Shown());   // only type code 0 equals a cleared type field
}

TEST_F(FilterTest, ModuleIndexSelectsOneCodeAndComponentMustAgree) {
    // The second "HALDOR/PERN" is module code 1; BORAXLIN with a PERN module: nothing.
    const struct { int module, component; Rows rows; } cases[] = {{2, 0, {1}}, {2, 3, {}}, {0, 3, {2}}};
    for (const auto& c : cases) {
        state.conditions.moduleIndex = c.module;
        state.conditions.componentIndex = c.component;
        EXPECT_EQ(c.rows, Shown()) << c.module << " " << c.component;
    }
}

TEST_F(FilterTest, AllEventsResetsConditionsButNotTheRange) {
    SetRange("2003/01/0100:00:00", "2003/05/0612:00:00");
    state.conditions.componentIndex = 2;
    ApplyFilterCommand(&state, &fx);
    ClearEffects(&fx);
    ASSERT_EQ(0, ShowAllEvents(&state, &fx));
    EXPECT_EQ("Total number of Event6|", StatusText(fx, 0) + "|" + StatusText(fx, 2));
    EXPECT_EQ(0, state.conditions.fromIsStamp + state.conditions.componentIndex);
    EXPECT_EQ("2003/01/0100:00:00", std::string(state.range.from, 18));
    EXPECT_EQ(1, ShowAllEvents(&state, &fx));   // already showing all events: only the first row is selected
}

TEST_F(StateTest, SortRequestStoresSelectsOrArranges) {
    EXPECT_EQ(kOrderStored, RequestOrder(&state, kOrderOldestFirst, 0, &fx));   // no events
    EXPECT_EQ(kOrderOldestFirst, state.sortOrder);
    BuildSyntheticTable(&state, kEvents, 3);
    state.sortOrder = kOrderNewestFirst;
    EXPECT_EQ(kOrderSelectFirstRow, RequestOrder(&state, kOrderNewestFirst, 0, &fx));
    state.table.entries[1].visible = 0;   // a filter survives the change of order
    EXPECT_EQ(kOrderArranged, RequestOrder(&state, kOrderOldestFirst, 0, &fx));
    EXPECT_EQ(kMenuUncheck, LastMenuAction(fx, 112));
    EXPECT_EQ((Rows{2, 0}), VisibleIndexes(state));
    EXPECT_EQ(kOrderNewestFirst, RestoredOrder(999));   // a stored order is not to be trusted
}

// Fields from "yy/mm/dd hh:mm:ss", each "_" an empty field.
StampFields Fields(const char* stamp) {
    StampFields f = {};
    char(&t)[kStampFieldCount][kFieldTextSize] = f.text;
    sscanf(stamp, "%2[^/]/%2[^/]/%2[^ ] %2[^:]:%2[^:]:%2s", t[0], t[1], t[2], t[3], t[4], t[5]);
    for (char* text : t) text[0] = text[0] == '_' ? '\0' : text[0];
    return f;
}

// Checks the sides (null: the first or last event) over "xx05/06/1510:00:00"-"xx05/06/1509:00:00".
std::string Check(const char* start, const char* end) {
    ViewRange r = {};
    memcpy(r.from, "xx05/06/1510:00:00", kStampSize);
    memcpy(r.through, "xx05/06/1509:00:00", kStampSize);
    const StampFields s = Fields(start ? start : ""), e = Fields(end ? end : "");
    const int result = CheckStampFields(start ? &s : nullptr, end ? &e : nullptr, &r);
    return std::to_string(result) + " " + std::string(r.from, kStampSize) + "-" + std::string(r.through, kStampSize);
}

TEST(FilterDialogFields, SpinStopsAtTheRangesEndsWithoutWrapping) {
    constexpr FieldRange kDay = {1, 31}, kYear = {0, 99};
    const struct { uint32_t value; int code; FieldRange range; uint32_t stepped; } cases[] = {
        {30, kSpinUp, kDay, 31}, {31, kSpinUp, kDay, 31}, {1, kSpinDown, kDay, 1}, {0, kSpinUp, kDay, 1},
        {0, kSpinDown, kYear, 0}, {45, kSpinDown, kDay, 31}, {45, 5, kDay, 45}};   // a typed 45; the thumb
    for (const auto& c : cases) {
        EXPECT_EQ(c.stepped, StepFieldValue(c.value, c.code, c.range)) << c.value << " " << c.code;
    }
}

TEST(FilterDialogCheck, CenturiesStartAfterEndFieldsThatAreNoNumbersAndTheStore) {
    // Only the century is written: 90 is 1990, 89 is 2089, 00 is 2000, 99 is 1999.
    EXPECT_EQ("1 1905/06/1510:00:00-2005/06/1509:00:00", Check("90/01/01 00:00:00", "89/12/31 23:59:59"));
    EXPECT_EQ("2 xx05/06/1510:00:00-xx05/06/1509:00:00", Check("00/01/01 00:00:00", "99/12/31 23:59:59"));
    EXPECT_EQ("1 1905/06/1510:00:00-xx05/06/1509:00:00", Check("99/12/31 23:59:59", nullptr));
    // Field by field down to the second; values are not range-checked.
    EXPECT_EQ('2', Check("05/06/15 10:00:01", "05/06/15 10:00:00")[0]);
    EXPECT_EQ('1', Check("05/06/15 10:00:00", "05/06/15 10:00:00")[0]);
    EXPECT_EQ('1', Check(" 5/13/32 24:60:99", nullptr)[0]);
    // A field that is no number fails first and writes nothing: no sign, trailing blank, full-width digit.
    EXPECT_EQ("0 xx05/06/1510:00:00-xx05/06/1509:00:00", Check("05/06/15 10:00:00", "05/06/15 09:0x:00"));
    for (const char* minute : {"_", "+1", "5 ", "\x82\x50"}) {
        EXPECT_EQ('0', Check((std::string("05/06/15 10:") + minute + ":00").c_str(), nullptr)[0]) << minute;
    }
    // Stored: the field texts go to their stamp characters, the century kept.
    char stamp[kStampSize];
    memcpy(stamp, "1990/01/0100:00:00", kStampSize);
    StoreStampFields(Fields("89/12/31 23: 5:59"), stamp);
    EXPECT_EQ(std::string(stamp, kStampSize), "1989/12/3123:05:59");
}


}  // namespace
