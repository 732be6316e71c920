#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "eventlist/ordering.h"
#include "test_support.h"

namespace {

std::vector<int> DisplayIndexes(const ViewerState& s) {
    std::vector<int> out;
    for (uint32_t i = 0; i < s.table.loadedCount; ++i) out.push_back(int(s.table.displayOrder[i] - s.table.entries));
    return out;
}

// The reference: a stable sort by the module-name comparison over newest-first order.
std::vector<int> ReferenceModuleOrder(const ViewerState& s) {
    std::vector<int> idx(s.table.loadedCount);
    for (size_t i = 0; i < idx.size(); ++i) idx[i] = int(i);
    std::stable_sort(idx.begin(), idx.end(), [&](int a, int b) {
        return CompareModuleNames(ModuleName(s.table.entries[a].module), ModuleName(s.table.entries[b].module)) < 0;
    });
    return idx;
}

struct OrderingTest : ::testing::Test {
    ViewerState state;
    UiEffects fx;
    void SetUp() override {
        InitViewerState(&state);
        ClearEffects(&fx);
    }
    void TearDown() override { ReleaseViewerState(&state); }
    void Build(std::initializer_list<uint32_t> modules) {
        std::vector<SyntheticEvent> ev;
        for (uint32_t m : modules) ev.push_back({4, m, "2001/01/0100:00:00", nullptr});
        BuildSyntheticTable(&state, ev.data(), uint32_t(ev.size()));
    }
};

TEST_F(OrderingTest, ModuleOrderGroupsByNameAndKeepsNewestFirstWithin) {
    Build({7, 0, 6, 4, 1, 2, 9, 5, 3, 0, 6});
    OrderEvents(&state.table, kOrderOldestFirst);   // the module order starts from file order anyway
    OrderEvents(&state.table, kOrderModule);
    // BORAXLIN (4,5), PERN (0,1 interleaved by time), TOLVA, HALKESTR, unknown.
    EXPECT_EQ((std::vector<int>{3, 7, 1, 4, 9, 5, 8, 2, 10, 0, 6}), DisplayIndexes(state));
}

TEST_F(OrderingTest, ModuleOrderMatchesAStableSortOnRandomLogs) {
    uint32_t seed = 12345;
    for (int round = 0; round < 20; ++round) {
        std::vector<SyntheticEvent> ev(1 + round * 37);
        for (auto& e : ev) {
            seed = seed * 1103515245 + 12345;
            e = {4, (seed >> 16) % 9, "2001/01/0100:00:00", nullptr};
        }
        BuildSyntheticTable(&state, ev.data(), uint32_t(ev.size()));
        OrderEvents(&state.table, kOrderModule);
        EXPECT_EQ(ReferenceModuleOrder(state), DisplayIndexes(state)) << round;
    }
}

TEST_F(OrderingTest, SortRequestStoresSelectsOrArranges) {
    // No events: only the order and its check mark.
    EXPECT_EQ(kOrderStored, RequestOrder(&state, kOrderOldestFirst, 0, &fx));
    EXPECT_EQ(kOrderOldestFirst, state.sortOrder);
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 113));

    Build({0, 1, 2});
    state.sortOrder = kOrderNewestFirst;
    ClearEffects(&fx);
    EXPECT_EQ(kOrderSelectFirstRow, RequestOrder(&state, kOrderNewestFirst, 0, &fx));
    ClearEffects(&fx);
    state.table.entries[1].visible = 0;   // a filter survives the change of order
    EXPECT_EQ(kOrderArranged, RequestOrder(&state, kOrderOldestFirst, 0, &fx));
    EXPECT_EQ(kMenuUncheck, LastMenuAction(fx, 112));
    EXPECT_EQ(kMenuCheck, LastMenuAction(fx, 113));
    EXPECT_EQ((std::vector<int>{2, 0}), VisibleIndexes(state));
}

TEST_F(OrderingTest, StoredOrdersOtherThanOldestOrModuleReadAsNewestFirst) {
    EXPECT_EQ(kOrderNewestFirst, RestoredOrder(999));   // a header is not to be trusted
    EXPECT_EQ(kOrderModule, RestoredOrder(114));
}

}  // namespace
