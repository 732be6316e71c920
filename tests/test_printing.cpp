#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/printing.h"
#include "test_support.h"

namespace {

struct PrintedLine {
    int page, x, y;
    std::string text;
};

struct FakePrinter {
    std::vector<PrintedLine> lines;
    int page = 0;
    int pagesEnded = 0;
    int failEndPageAt = -1;   // the page whose EndPage fails
    int cancelAfterLines = -1;
    PageSink Sink(int lineHeight, int pageHeight) {
        return PageSink{this, lineHeight, pageHeight,
                        [](void* c) { return ++static_cast<FakePrinter*>(c)->page, 1; },
                        [](void* c) {
                            FakePrinter* p = static_cast<FakePrinter*>(c);
                            if (p->page == p->failEndPageAt) return 0;
                            ++p->pagesEnded;
                            return 1;
                        },
                        [](void* c, int x, int y, const char* text, int length) {
                            FakePrinter* p = static_cast<FakePrinter*>(c);
                            p->lines.push_back({p->page, x, y, std::string(text, size_t(length))});
                        },
                        [](void* c) {
                            FakePrinter* p = static_cast<FakePrinter*>(c);
                            return int(p->cancelAfterLines >= 0 && int(p->lines.size()) >= p->cancelAfterLines);
                        }};
    }
};

const SyntheticEvent kRows[] = {
    {4, 0, "2001/02/0304:05:06", "one"},
    {2, 4, "1999/12/3123:59:59", "two"},
    {1, 9, "2000/01/0100:00:00", "three"},
};

struct PrintingTest : ::testing::Test {
    ViewerState state;
    void SetUp() override {
        InitViewerState(&state);
        BuildSyntheticTable(&state, kRows, 3);
    }
    void TearDown() override { ReleaseViewerState(&state); }
};

TEST_F(PrintingTest, ListPrintsTitleHeaderAndCutFields) {
    FakePrinter printer;
    ASSERT_EQ(1, PrintListPages(printer.Sink(10, 1000), "DARVEX C:\\PERN.EVT", state.table.visibleRows, 3));
    ASSERT_EQ(5u, printer.lines.size());
    EXPECT_EQ(200, printer.lines[0].x);
    EXPECT_EQ(10, printer.lines[0].y);
    EXPECT_EQ(" Type    Date      Time      Component    Module    Computer ", printer.lines[1].text);
    EXPECT_EQ(40, printer.lines[1].y);
    EXPECT_EQ(" Inform  01/02/03  04:05:06  HALDOR/PERN       HALDOR/PERN   TESTPC", printer.lines[2].text);
    EXPECT_EQ(60, printer.lines[2].y);
    EXPECT_EQ(" Warnin  99/12/31  23:59:59  HALDOR/BORAXLIN   HALDOR/BORA   TESTPC", printer.lines[3].text);
    EXPECT_EQ(" Error  00/01/01  00:00:00  unknown           unknown   TESTPC", printer.lines[4].text);
    EXPECT_EQ(1, printer.pagesEnded);
    FakePrinter empty;   // an empty list still prints its title and heading
    EXPECT_EQ(1, PrintListPages(empty.Sink(10, 100), "doc", nullptr, 0));
    EXPECT_EQ(2u, empty.lines.size());
}

TEST_F(PrintingTest, RowsFillThePageThenContinueAtTheTopWithoutHeader) {
    FakePrinter printer;
    // Rows at 60, 70, 80, 90 fit a page of 100; the fifth would cross it.
    std::vector<EventEntry*> rows(7, state.table.visibleRows[0]);
    ASSERT_EQ(1, PrintListPages(printer.Sink(10, 100), "doc", rows.data(), 7));
    std::vector<std::pair<int, int>> at;
    for (const PrintedLine& l : printer.lines) at.push_back({l.page, l.y});
    EXPECT_EQ((std::vector<std::pair<int, int>>{{1, 10}, {1, 40}, {1, 60}, {1, 70}, {1, 80}, {1, 90},
                                                 {2, 0}, {2, 10}, {2, 20}}),
              at);
    EXPECT_EQ(2, printer.pagesEnded);
}

TEST_F(PrintingTest, CancelOrAFailedPageAbandonsTheJob) {
    FakePrinter cancelled;
    cancelled.cancelAfterLines = 3;
    EXPECT_EQ(0, PrintListPages(cancelled.Sink(10, 1000), "doc", state.table.visibleRows, 3));
    EXPECT_EQ(3u, cancelled.lines.size());
    FakePrinter failing;
    failing.failEndPageAt = 1;
    std::vector<EventEntry*> rows(20, state.table.visibleRows[0]);
    EXPECT_EQ(0, PrintListPages(failing.Sink(10, 100), "doc", rows.data(), 20));
    EXPECT_EQ(1, failing.page);
}

struct Lines {
    std::vector<std::string> text;
    ViewLines View() {
        return ViewLines{this, int(text.size()), [](void* c, int i, char* buffer) {
                             const std::string& s = static_cast<Lines*>(c)->text[size_t(i)];
                             size_t n = s.size() < 80 ? s.size() : 80;
                             memcpy(buffer, s.data(), n);
                             return int(n);
                         }};
    }
};

TEST_F(PrintingTest, OneEventPrintsFieldsDescriptionAndData) {
    FakePrinter printer;
    Lines description{{"first line\r\n", std::string(100, 'x'), ""}};
    Lines data{{""}};   // an event without data: the view has one empty line
    ASSERT_EQ(1, PrintEventPages(printer.Sink(10, 1000), "doc", state.table.entries[0], description.View(),
                                 data.View()));
    std::vector<std::string> texts;
    std::vector<int> ys;
    for (const PrintedLine& l : printer.lines) {
        texts.push_back(l.text);
        ys.push_back(l.y);
    }
    EXPECT_EQ((std::vector<std::string>{"doc", "Date           :  01/02/03", "Time           :  04:05:06",
                                        "Computer       :  TESTPC", "Component      :  HALDOR/PERN     ",
                                        "Module         :  HALDOR/PERN", "Type           :  Inform",
                                        "Description    :  ", "      first line", "      " + std::string(80, 'x'),
                                        "      ", "Data            :", "      "}),
              texts);
    EXPECT_EQ((std::vector<int>{10, 40, 50, 60, 80, 90, 100, 130, 150, 160, 170, 200, 220}), ys);
}

TEST_F(PrintingTest, DataHeadingMovesToTheNextPageWhenTheDescriptionEndsLow) {
    FakePrinter printer;
    Lines description{{"a", "b", "c"}};   // at 150, 160, 170; the heading would go to 190
    Lines data{{"0000: 01"}};
    ASSERT_EQ(1, PrintEventPages(printer.Sink(10, 195), "doc", state.table.entries[0], description.View(),
                                 data.View()));
    const PrintedLine& heading = printer.lines[printer.lines.size() - 2];
    EXPECT_EQ("Data            :", heading.text);
    EXPECT_EQ(2, heading.page);
    EXPECT_EQ(0, heading.y);
    EXPECT_EQ(20, printer.lines.back().y);
}

TEST(FormatStrings, OnlyStringDirectivesAreExpanded) {
    char out[64];
    const char* args[] = {"Information", "ab"};
    FormatStrings(out, sizeof out, "[%.6s|%s|%s|%%|%d]", args, 2);
    EXPECT_STREQ("[Inform|ab||%|]", out);
    FormatStrings(out, 8, "%s", args, 1);
    EXPECT_STREQ("Informa", out);
}

}  // namespace
