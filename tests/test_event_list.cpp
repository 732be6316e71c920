#include <gtest/gtest.h>

#include <vector>

#include "eventlist/filter.h"
#include "eventlist/ordering.h"
#include "test_support.h"

namespace {

const SyntheticEvent kEvents[] = {
    // newest first
    {4, 0, "2003/05/0612:00:01", nullptr},   // 0 PERN
    {2, 1, "2003/05/0612:00:00", nullptr},   // 1 PERN
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
    // From the newest event's second: the event one second earlier is hidden.
    SetRange("2003/05/0612:00:01", "2003/05/0612:00:01");
    ApplyFilter(&state, &fx);
    EXPECT_EQ((std::vector<int>{0}), VisibleIndexes(state));
    SetRange("2002/12/3123:59:59", "2003/05/0612:00:00");
    ApplyFilterCommand(&state, &fx);
    EXPECT_EQ((std::vector<int>{1, 2}), VisibleIndexes(state));
    EXPECT_EQ("Total number of Event2|Filter", StatusText(fx, 0) + "|" + StatusText(fx, 2));
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
    EXPECT_EQ("Total number of Event6|", StatusText(fx, 0) + "|" + StatusText(fx, 2));
    EXPECT_EQ(kViewAllEvents, state.viewMode);
    EXPECT_EQ(0, state.conditions.fromIsStamp + state.conditions.componentIndex);
    EXPECT_EQ(std::string("2003/01/0100:00:00"), std::string(state.range.from, 18));
    // Already showing all events: only the first row is selected.
    ClearEffects(&fx);
    EXPECT_EQ(1, ShowAllEvents(&state, &fx));
    EXPECT_EQ(0, fx.menuCount);
}

struct OrderingTest : ::testing::Test {
    ViewerState state;
    UiEffects fx;
    void SetUp() override { InitViewerState(&state); }
    void TearDown() override { ReleaseViewerState(&state); }
    void Build(std::initializer_list<uint32_t> modules) {
        std::vector<SyntheticEvent> ev;
        for (uint32_t m : modules) ev.push_back({4, m, "2001/01/0100:00:00", nullptr});
        BuildSyntheticTable(&state, ev.data(), uint32_t(ev.size()));
        ClearEffects(&fx);
    }
};

TEST_F(OrderingTest, ModuleOrderGroupsByNameAndKeepsNewestFirstWithin) {
    Build({7, 0, 6, 4, 1, 2, 9, 5, 3, 0, 6});
    OrderEvents(&state.table, kOrderOldestFirst);   // the module order starts from file order anyway
    OrderEvents(&state.table, kOrderModule);
    std::vector<int> shown;
    for (uint32_t i = 0; i < 11; ++i) shown.push_back(int(state.table.displayOrder[i] - state.table.entries));
    // BORAXLIN (4,5), PERN (0,1 interleaved by time), TOLVA, HALKESTR, unknown.
    EXPECT_EQ((std::vector<int>{3, 7, 1, 4, 9, 5, 8, 2, 10, 0, 6}), shown);
}

TEST_F(OrderingTest, SortRequestStoresSelectsOrArranges) {
    ClearEffects(&fx);
    // No events: only the order and its check mark.
    EXPECT_EQ(kOrderStored, RequestOrder(&state, kOrderOldestFirst, 0, &fx));
    EXPECT_EQ(kOrderOldestFirst, state.sortOrder);
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 113));

    Build({0, 1, 2});
    state.sortOrder = kOrderNewestFirst;
    EXPECT_EQ(kOrderSelectFirstRow, RequestOrder(&state, kOrderNewestFirst, 0, &fx));
    ClearEffects(&fx);
    state.table.entries[1].visible = 0;   // a filter survives the change of order
    EXPECT_EQ(kOrderArranged, RequestOrder(&state, kOrderOldestFirst, 0, &fx));
    EXPECT_EQ(kMenuUncheck, LastMenuAction(fx, 112));
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 113));
    EXPECT_EQ((std::vector<int>{2, 0}), VisibleIndexes(state));
    // A stored order is not to be trusted.
    EXPECT_EQ(kOrderNewestFirst, RestoredOrder(999));
    EXPECT_EQ(kOrderModule, RestoredOrder(114));
}

}  // namespace
