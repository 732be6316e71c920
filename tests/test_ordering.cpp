#include <gtest/gtest.h>

#include <vector>

#include "eventlist/ordering.h"
#include "test_support.h"

namespace {

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
