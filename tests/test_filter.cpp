#include <gtest/gtest.h>

#include <vector>

#include "eventlist/filter.h"
#include "test_support.h"

namespace {

const SyntheticEvent kEvents[] = {
    // newest first
    {4, 0, "2003/05/0612:00:00", nullptr},   // 0 PERN
    {2, 1, "2003/05/0611:59:59", nullptr},   // 1 PERN
    {1, 4, "2002/12/3123:59:59", nullptr},   // 2 BORAXLIN
    {4, 6, "2002/01/0100:00:00", nullptr},   // 3 setup tool
    {9, 9, "2001/01/0100:00:00", nullptr},   // 4 unknown source, unnamed type
    {0, 2, "2000/06/0100:00:00", nullptr},   // 5 TOLVA, type 0
};

struct FilterTest : ::testing::Test {
    ViewerState state;
    UiEffects fx;
    void SetUp() override {
        InitViewerState(&state);
        BuildSyntheticTable(&state, kEvents, 6);
        ClearEffects(&fx);
    }
    void TearDown() override { ReleaseViewerState(&state); }
    void SetRange(const char* from, const char* through) {
        memcpy(state.range.from, from, 18);
        memcpy(state.range.through, through, 18);
        state.conditions.fromIsStamp = state.conditions.throughIsStamp = 1;
    }
};

TEST_F(FilterTest, BoundsAreInclusiveToTheSecond) {
    // From the newest event's second: the event one second earlier that day is hidden.
    SetRange("2003/05/0612:00:00", "2003/05/0612:00:00");
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{0}), VisibleIndexes(state));
    SetRange("2002/12/3123:59:59", "2003/05/0611:59:59");
    ApplyFilterCommand(&state, &fx);
    EXPECT_EQ((std::vector<int>{1, 2}), VisibleIndexes(state));
    EXPECT_EQ("Total number of Event2", StatusText(fx, 0));
    EXPECT_EQ("Filter", StatusText(fx, 2));
    EXPECT_EQ(kViewFiltered, state.viewMode);
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 111));
    EXPECT_EQ(kMenuUncheck, LastMenuAction(fx, 110));
}

TEST_F(FilterTest, ReversedWindowOrNoTypesShowNothingAndGrayTheEventItems) {
    ApplyFilter(&state, &fx);   // unnamed type codes match no selected type
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), VisibleIndexes(state));
    SetRange("2003/01/0100:00:00", "2002/01/0100:00:00");
    ApplyFilter(&state, &fx);
    EXPECT_EQ(0u, state.table.visibleCount);
    EXPECT_EQ("Total number of Event0", StatusText(fx, 0));
    for (uint16_t id : {104, 115, 116}) EXPECT_EQ(kMenuGray, LastMenuAction(fx, id));

    state.conditions = DefaultViewConditions();
    state.conditions.errorType = state.conditions.warningType = state.conditions.informationType = 0;
    ApplyFilter(&state, &fx);
    // Only the event whose type code is 0 equals a cleared type field.
    EXPECT_EQ((std::vector<int>{5}), VisibleIndexes(state));
}

TEST_F(FilterTest, ModuleIndexSelectsOneCodeAndComponentMustAgree) {
    const struct {
        int moduleIndex, componentIndex;
        std::vector<int> shown;
    } cases[] = {
        {1, 0, {0}},   // "HALDOR/PERN", module code 0
        {2, 0, {1}},   // the second "HALDOR/PERN", module code 1
        {2, 3, {}},    // BORAXLIN with a PERN module: nothing
        {0, 3, {2}},
    };
    for (const auto& c : cases) {
        state.conditions.moduleIndex = c.moduleIndex;
        state.conditions.componentIndex = c.componentIndex;
        ApplyFilter(&state, &fx);
        EXPECT_EQ(c.shown, VisibleIndexes(state)) << c.moduleIndex << " " << c.componentIndex;
    }
}

TEST_F(FilterTest, AllEventsResetsConditionsButNotTheRange) {
    SetRange("2003/01/0100:00:00", "2003/05/0612:00:00");
    state.conditions.componentIndex = 2;
    ApplyFilterCommand(&state, &fx);
    ClearEffects(&fx);
    ASSERT_EQ(0, ShowAllEvents(&state, &fx));
    EXPECT_EQ(6u, state.table.visibleCount);
    EXPECT_EQ("Total number of Event6", StatusText(fx, 0));
    EXPECT_EQ("", StatusText(fx, 2));
    EXPECT_EQ(kViewAllEvents, state.viewMode);
    EXPECT_EQ(0, state.conditions.fromIsStamp);
    EXPECT_EQ(0, state.conditions.componentIndex);
    EXPECT_EQ(std::string("2003/01/0100:00:00"), std::string(state.range.from, 18));
    // Already showing all events: only the first row is selected.
    ClearEffects(&fx);
    EXPECT_EQ(1, ShowAllEvents(&state, &fx));
    EXPECT_EQ(0, fx.menuCount);
}

}  // namespace
