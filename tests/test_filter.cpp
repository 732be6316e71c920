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
        ClearEffects(&fx);
        BuildSyntheticTable(&state, kEvents, 6);
        state.viewMode = kViewAllEvents;
    }
    void TearDown() override { ReleaseViewerState(&state); }
    void SetFrom(const char* stamp) {
        memcpy(state.range.from, stamp, 18);
        state.conditions.fromIsStamp = 1;
    }
    void SetThrough(const char* stamp) {
        memcpy(state.range.through, stamp, 18);
        state.conditions.throughIsStamp = 1;
    }
};

TEST_F(FilterTest, BoundsAreInclusiveToTheSecond) {
    // From the newest event's second: the event one second earlier that day is hidden.
    SetFrom("2003/05/0612:00:00");
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{0}), VisibleIndexes(state));
    SetFrom("2002/12/3123:59:59");
    SetThrough("2003/05/0611:59:59");
    ApplyFilterCommand(&state, &fx);
    EXPECT_EQ((std::vector<int>{1, 2}), VisibleIndexes(state));
    EXPECT_EQ("Total number of Event2", StatusText(fx, 0));
    EXPECT_EQ("Filter", StatusText(fx, 2));
    EXPECT_EQ(kViewFiltered, state.viewMode);
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 111));
    EXPECT_EQ(kMenuUncheck, LastMenuAction(fx, 110));
}

TEST_F(FilterTest, ReversedWindowOrNoTypesShowNothingAndGrayTheEventItems) {
    SetFrom("2003/01/0100:00:00");
    SetThrough("2002/01/0100:00:00");
    ApplyFilter(&state, &fx);
    EXPECT_EQ(0u, state.table.visibleCount);
    EXPECT_EQ("Total number of Event0", StatusText(fx, 0));
    EXPECT_EQ("Filter", StatusText(fx, 2));
    for (uint16_t id : {104, 115, 116}) EXPECT_EQ(kMenuGray, LastMenuAction(fx, id));

    state.conditions = DefaultViewConditions();
    state.conditions.errorType = 0;
    state.conditions.warningType = 0;
    state.conditions.informationType = 0;
    ClearEffects(&fx);
    ApplyFilter(&state, &fx);
    // Only the event whose type code is 0 equals a cleared type field.
    EXPECT_EQ((std::vector<int>{5}), VisibleIndexes(state));
    EXPECT_EQ("Total number of Event1", StatusText(fx, 0));
}

TEST_F(FilterTest, UnnamedTypesMatchNoSelectedTypeAndHaveNoName) {
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3}), VisibleIndexes(state));
    // Files carry any type code; the detail and the printout name only three.
    for (uint16_t type : {0, 3, 9}) EXPECT_STREQ("", TypeName(type)) << type;
}

TEST_F(FilterTest, ModuleIndexSelectsOneCodeAndComponentMustAgree) {
    state.conditions.moduleIndex = 1;   // "HALDOR/PERN", module code 0
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{0}), VisibleIndexes(state));
    state.conditions.moduleIndex = 2;   // the second "HALDOR/PERN", module code 1
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{1}), VisibleIndexes(state));
    state.conditions.componentIndex = 3;   // BORAXLIN with a PERN module: nothing
    ApplyFilter(&state, &fx);
    EXPECT_TRUE(VisibleIndexes(state).empty());
    state.conditions.moduleIndex = 0;
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{2}), VisibleIndexes(state));
}

TEST_F(FilterTest, AllEventsResetsConditionsButNotTheRange) {
    SetFrom("2003/01/0100:00:00");
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
