#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/printing.h"
#include "test_support.h"

namespace {

struct PrintedLine {
    int page, y;
    std::string text;
    bool operator==(const PrintedLine& o) const { return page == o.page && y == o.y && text == o.text; }
};

struct FakePrinter {
    std::vector<PrintedLine> lines;
    int page = 0, pagesEnded = 0, firstX = -1;
    int failEndPageAt = -1;   // the page whose EndPage fails
    size_t cancelAfterLines = SIZE_MAX;
    PageSink Sink(int pageHeight) {
        return PageSink{this, 10, pageHeight, [](void* c) { return ++static_cast<FakePrinter*>(c)->page, 1; },
                        [](void* c) {
                            FakePrinter* p = static_cast<FakePrinter*>(c);
                            return p->page == p->failEndPageAt ? 0 : (++p->pagesEnded, 1);
                        },
                        [](void* c, int x, int y, const char* text, int length) {
                            FakePrinter* p = static_cast<FakePrinter*>(c);
                            if (p->lines.empty()) p->firstX = x;
                            p->lines.push_back({p->page, y, std::string(text, size_t(length))});
                        },
                        [](void* c) {
                            FakePrinter* p = static_cast<FakePrinter*>(c);
                            return int(p->lines.size() >= p->cancelAfterLines);
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
    FakePrinter printer;
    void SetUp() override {
        InitViewerState(&state);
        BuildSyntheticTable(&state, kRows, 3);
    }
    void TearDown() override { ReleaseViewerState(&state); }
};

TEST_F(PrintingTest, ListPrintsTitleHeaderAndCutFieldsThenContinuesWithoutHeader) {
    // The three rows, then the first again four times: rows at 60..90 fit a
    // page of 100, the fifth goes to the top of the next page.
    std::vector<EventEntry*> rows(state.table.visibleRows, state.table.visibleRows + 3);
    rows.resize(7, rows[0]);
    ASSERT_EQ(1, PrintListPages(printer.Sink(100), "DARVEX C:\\PERN.EVT", rows.data(), 7));
    const std::string first = " Inform  01/02/03  04:05:06  HALDOR/PERN       HALDOR/PERN   TESTPC";
    EXPECT_EQ((std::vector<PrintedLine>{
                  {1, 10, "DARVEX C:\\PERN.EVT"},
                  {1, 40, " Type    Date      Time      Component    Module    Computer "},
                  {1, 60, first},
                  {1, 70, " Warnin  99/12/31  23:59:59  HALDOR/BORAXLIN   HALDOR/BORA   TESTPC"},
                  {1, 80, " Error  00/01/01  00:00:00  unknown           unknown   TESTPC"},
                  {1, 90, first}, {2, 0, first}, {2, 10, first}, {2, 20, first}}),
              printer.lines);
    EXPECT_EQ(200, printer.firstX);
    EXPECT_EQ(2, printer.pagesEnded);
    FakePrinter empty;   // an empty list still prints its title and heading
    EXPECT_EQ(1, PrintListPages(empty.Sink(100), "doc", nullptr, 0));
    EXPECT_EQ(2u, empty.lines.size());
}

TEST_F(PrintingTest, CancelOrAFailedPageAbandonsTheJob) {
    printer.cancelAfterLines = 3;
    EXPECT_EQ(0, PrintListPages(printer.Sink(1000), "doc", state.table.visibleRows, 3));
    EXPECT_EQ(3u, printer.lines.size());
    FakePrinter failing;
    failing.failEndPageAt = 1;
    std::vector<EventEntry*> rows(20, state.table.visibleRows[0]);
    EXPECT_EQ(0, PrintListPages(failing.Sink(100), "doc", rows.data(), 20));
    EXPECT_EQ(1, failing.page);
}

struct Lines {
    std::vector<std::string> text;
    ViewLines View() {
        return ViewLines{this, int(text.size()), [](void* c, int i, char* buffer) {
                             const std::string& s = static_cast<Lines*>(c)->text[size_t(i)];
                             const size_t n = std::min<size_t>(s.size(), 80);
                             memcpy(buffer, s.data(), n);
                             return int(n);
                         }};
    }
};

TEST_F(PrintingTest, OneEventPrintsFieldsDescriptionAndData) {
    Lines description{{"first line\r\n", std::string(100, 'x'), ""}};
    Lines data{{""}};   // an event without data: the view has one empty line
    ASSERT_EQ(1, PrintEventPages(printer.Sink(1000), "doc", state.table.entries[0], description.View(),
                                 data.View()));
    EXPECT_EQ((std::vector<PrintedLine>{{1, 10, "doc"},
                                        {1, 40, "Date           :  01/02/03"},
                                        {1, 50, "Time           :  04:05:06"},
                                        {1, 60, "Computer       :  TESTPC"},
                                        {1, 80, "Component      :  HALDOR/PERN     "},
                                        {1, 90, "Module         :  HALDOR/PERN"},
                                        {1, 100, "Type           :  Inform"},
                                        {1, 130, "Description    :  "},
                                        {1, 150, "      first line"},
                                        {1, 160, "      " + std::string(80, 'x')},
                                        {1, 170, "      "},
                                        {1, 200, "Data            :"},
                                        {1, 220, "      "}}),
              printer.lines);
}

TEST_F(PrintingTest, DataHeadingMovesToTheNextPageWhenTheDescriptionEndsLow) {
    Lines description{{"a", "b", "c"}};   // at 150, 160, 170; the heading would go to 190
    Lines data{{"0000: 01"}};
    ASSERT_EQ(1, PrintEventPages(printer.Sink(195), "doc", state.table.entries[0], description.View(),
                                 data.View()));
    const std::vector<PrintedLine> end(printer.lines.end() - 2, printer.lines.end());
    EXPECT_EQ((std::vector<PrintedLine>{{2, 0, "Data            :"}, {2, 20, "      0000: 01"}}), end);
}

}  // namespace
