// The viewer's filter, ordering, dialogs, dumps and printing, without windows.
#include "dialogs/event_detail.h"
#include "dialogs/find.h"
#include "dialogs/printing.h"
#include "eventlist/filter.h"
#include "eventlist/filter_dialog.h"
#include "eventlist/ordering.h"
#include "logfile/log_settings_dialog.h"
#include "test_support.h"
#include "tests/win32/detail_test_log.h"

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
    for (const auto& c : cases) EXPECT_EQ(c.stepped, StepFieldValue(c.value, c.code, c.range)) << c.value << " " << c.code;
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

bool Contains(const std::string& haystack, uint32_t length, const char* needle,
              const AnsiCodePage& page = SingleByteCodePage()) {
    FindPattern p;
    PreparePattern(needle, page, &p);
    return DescriptionContains(reinterpret_cast<const uint8_t*>(haystack.data()), length, p);
}

// Shift-JIS: ア is 0x83 0x41 and ヂ is 0x83 0x61, a letter pair only as bytes.
TEST(FindMatch, PatternIsCutOnAWholeCharacterAndMatchesByCharacters) {
    const AnsiCodePage &sjis = ShiftJisCodePage(), &single = SingleByteCodePage();
    FindPattern p;
    PreparePattern(std::string(300, 'x').c_str(), single, &p);
    EXPECT_EQ(255u, p.length);
    PreparePattern((std::string(254, 'x') + "\x83\x41").c_str(), sjis, &p);
    EXPECT_EQ(254u, p.length);
    // Letters fold only as single-byte characters; no match starts inside a character.
    const struct { const char* hay; uint32_t length; const char* needle; const AnsiCodePage& page; bool found; } cases[] = {
        {"Disk \x83\x61 ERROR", 13, "\x83\x41", sjis, false}, {"Disk \x83\x61 ERROR", 13, "\x83\x41", single, true},
        {"\x83\x41", 2, "A", sjis, false}, {"\x83\x83\x41", 3, "\x83\x41", sjis, false}, {"a[", 2, "A{", single, false},
        {"\xc1", 1, "\xe1", single, false}, {"xAB", 3, "ab", single, true}, {"ab\0cd", 5, "cd", single, false},
        {"abcd", 3, "cd", single, false}, {"abc", 2, "abc", single, false}};
    for (const auto& c : cases) EXPECT_EQ(c.found, Contains(std::string(c.hay, c.length + 1), c.length, c.needle, c.page)) << c.hay;
}

const SyntheticEvent kRows[] = {{4, 0, "2001/01/0100:00:05", "service started"}, {2, 2, "2001/01/0100:00:04", "Disk"},
                                 {1, 4, "2001/01/0100:00:03", "error: disk failure"}, {4, 1, "2001/01/0100:00:02", nullptr},
                                 {0, 6, "2001/01/0100:00:01", "type zero"}};

struct FindTest : StateTest {
    std::string log;   // the questions asked (?id) and the failures shown (!id)
    int answer = 1;
    FindCriteria c = DefaultFindCriteria();
    void SetUp() override { StateTest::SetUp(); BuildSyntheticTable(&state, kRows, 5); }
    std::string Find(int32_t current, const char* text = "") {
        snprintf(c.descriptionText, sizeof c.descriptionText, "%s", text);
        log.clear();
        auto ask = [](void* t, int id) {
            static_cast<FindTest*>(t)->log += " ?" + std::to_string(id);
            return static_cast<FindTest*>(t)->answer;
        };
        auto fail = [](void* t, int id) { static_cast<FindTest*>(t)->log += " !" + std::to_string(id); };
        const int32_t row = FindNextRow(state.table.visibleRows, state.table.visibleCount, current, c,
                                        SingleByteCodePage(), FindPrompts{this, ask, fail});
        return std::to_string(row) + log;
    }
};

TEST_F(FindTest, DownAndUpWrapAfterAskingAndEveryCriterionMustMatch) {
    EXPECT_EQ("0 ?254", Find(2, "STARTED"));   // past row 2, wraps to the top
    EXPECT_EQ("-1 ?254 !221", Find(4, "nowhere"));
    c.direction = kFindUp;
    EXPECT_EQ("0 ?255", Find(0, "started"));    // the second pass finds the starting row itself
    answer = 0;
    EXPECT_EQ("-1 ?255", Find(0, "started"));   // Cancel: nothing selected, no failure box
    c = DefaultFindCriteria();   // type, module and component must all match
    answer = 1;
    c.informationType = c.warningType = c.errorType = 0;
    EXPECT_EQ("4", Find(-1));   // only the type-0 row equals a cleared type
    c = DefaultFindCriteria();
    c.moduleIndex = 2;   // second "HALDOR/PERN": module code 1 only
    EXPECT_EQ("3", Find(-1));
    EXPECT_EQ("-1 ?254 !221", Find(-1, "a"));   // a description of length 0 never matches a text
    c.moduleIndex = 1;
    c.componentIndex = 2;   // TOLVA with a PERN module: nothing
    EXPECT_EQ("-1 ?254 !221", Find(-1));
}

std::string Dump(const std::vector<uint8_t>& data, uint32_t layout = kDumpByte,
                 const AnsiCodePage& page = SingleByteCodePage()) {
    std::vector<char> out(kWorkBufferSize);
    const int32_t length = int32_t(data.size());
    const size_t n = layout == kDumpByte ? FormatByteDump(data.data(), length, out.data(), page)
                                         : FormatWordDump(data.data(), length, out.data());
    EXPECT_EQ(n, strlen(out.data()));
    return std::string(out.data(), n);
}

std::vector<uint8_t> Counting(uint8_t first, int count) {
    std::vector<uint8_t> v;
    for (int i = 0; i < count; ++i) v.push_back(uint8_t(first + i));
    return v;
}

TEST(Dumps, WorkedExamplesOfBothLayouts) {
    EXPECT_EQ(kLettersByteDump, Dump(Counting('A', 19)));
    EXPECT_EQ(kLettersWordDump, Dump(Counting('A', 19), kDumpWord));
    EXPECT_EQ(kControlBytesDump, Dump({0x00, 0x01, 0x02, 0x41, 0x0A, 0xFF, 0x20, 0x7F, 0x09}));
    // A lead byte ending a line would take the CR as its second byte; pairs count from the line's start.
    const std::vector<uint8_t> japanese = {0x41, 0x82, 0xA0, 0x42, 0x43, 0x44, 0x45, 0x82, 0xA0, 0x82};
    EXPECT_EQ(kJapaneseRowDump932, Dump(japanese, kDumpByte, ShiftJisCodePage()));
    EXPECT_EQ("\x82\x82\x82\x82\x82\x82\x82\x82",
              Dump(std::vector<uint8_t>(8, 0x82), kDumpByte, ShiftJisCodePage()).substr(35));
    // A short last Word group keeps its eight-digit field.
    EXPECT_EQ("0000: 04030201 08070605 0C0B0A09 100F0E0D\r\n0010:       11", Dump(Counting(1, 17), kDumpWord));
}

TEST(Dumps, RecordDataLengthIsReadAsSignedAndCutAt65535) {
    std::vector<uint8_t> data(70000, 0x30);
    RecordSpec spec;
    spec.data = data.data();
    spec.dataByteCount = uint32_t(data.size());
    LogImage image;
    PlaceRecord(&image, 0, spec);
    std::vector<char> out(kWorkBufferSize);
    // 4096 Word lines of 41 characters; the last one's final group holds 3 bytes.
    EXPECT_EQ(4096u * 43 - 2, FormatEventDump(image.bytes.data(), kDumpWord, SingleByteCodePage(), out.data()));
    PutU32(image.bytes.data() + 28, 0x80000000u);   // a length with the top bit set dumps nothing
    EXPECT_EQ(0u, FormatEventDump(image.bytes.data(), kDumpByte, SingleByteCodePage(), out.data()));
    EXPECT_EQ('\0', out[0]);
}

std::string ShownDescription(const char* text, const AnsiCodePage& page = SingleByteCodePage()) {
    RecordSpec spec;
    spec.text = text;
    spec.data = reinterpret_cast<const uint8_t*>("dat");   // with no description these bytes are data
    spec.dataByteCount = text ? 0 : 3;
    LogImage image;
    PlaceRecord(&image, 0, spec);
    std::vector<char> out(kShownDescriptionSize + 16, '#');
    const size_t n = CopyShownDescription(image.bytes.data(), page, out.data());
    EXPECT_EQ(n, strlen(out.data()));
    return std::string(out.data(), n);
}

// Under Shift-JIS a double-byte character is one character, never cut in two.
TEST(DescriptionView, ShowsTheFirst4096CharactersOfTheCodePage) {
    EXPECT_EQ(std::string(4096, 'x'), ShownDescription(std::string(5000, 'x').c_str()));
    std::string japanese = "a";
    for (int i = 0; i < 4200; ++i) japanese += "\x82\xa0";
    EXPECT_EQ(japanese.substr(0, 1 + 4095 * 2), ShownDescription(japanese.c_str(), ShiftJisCodePage()));
    EXPECT_EQ("ab\x82", ShownDescription("ab\x82", ShiftJisCodePage()));   // a lead byte before the zero
    EXPECT_EQ("", ShownDescription(nullptr));
}

// Records each line as "page@y text" ("x=" first); one page's EndPage may fail, Cancel may come.
struct FakePrinter {
    std::vector<std::string> lines;
    int page = 0, pagesEnded = 0, failEndPageAt = -1;
    size_t cancelAfterLines = SIZE_MAX;
    static FakePrinter* Of(void* c) { return static_cast<FakePrinter*>(c); }
    PageSink Sink(int pageHeight) {
        return PageSink{this, 10, pageHeight, [](void* c) { return ++Of(c)->page, 1; },
                        [](void* c) { return Of(c)->page == Of(c)->failEndPageAt ? 0 : (++Of(c)->pagesEnded, 1); },
                        [](void* c, int x, int y, const char* text, int length) {
                            Of(c)->lines.push_back((Of(c)->lines.empty() ? std::to_string(x) + "=" : "") + std::to_string(Of(c)->page) +
                                                   "@" + std::to_string(y) + " " + std::string(text, size_t(length)));
                        },
                        [](void* c) { return int(Of(c)->lines.size() >= Of(c)->cancelAfterLines); }};
    }
};

const SyntheticEvent kPrintRows[] = {
    {4, 0, "2001/02/0304:05:06", "one"}, {2, 4, "1999/12/3123:59:59", "two"}, {1, 9, "2000/01/0100:00:00", "three"}};
struct PrintingTest : StateTest {
    FakePrinter printer;
    void SetUp() override { StateTest::SetUp(); BuildSyntheticTable(&state, kPrintRows, 3); }
};

TEST_F(PrintingTest, ListPrintsTitleHeaderAndCutFieldsThenContinuesWithoutHeaderUnlessAbandoned) {
    // The three rows, then the first four times: rows 60..90 fit a page of 100.
    std::vector<EventEntry*> rows(state.table.visibleRows, state.table.visibleRows + 3);
    rows.resize(7, rows[0]);
    ASSERT_EQ(1, PrintListPages(printer.Sink(100), "DARVEX C:\\PERN.EVT", rows.data(), 7));
    ASSERT_EQ(9u, printer.lines.size());
    EXPECT_EQ("200=1@10 DARVEX C:\\PERN.EVT", printer.lines[0]);
    EXPECT_EQ("1@70  Warnin  99/12/31  23:59:59  HALDOR/BORAXLIN   HALDOR/BORA   TESTPC", printer.lines[3]);
    EXPECT_EQ("2@0  Inform  01/02/03  04:05:06  HALDOR/PERN       HALDOR/PERN   TESTPC", printer.lines[6]);
    EXPECT_EQ(2, printer.pagesEnded);
    FakePrinter cancelled, failing;   // Cancel or a failed page abandons the job
    cancelled.cancelAfterLines = 3;
    EXPECT_EQ(0, PrintListPages(cancelled.Sink(1000), "doc", state.table.visibleRows, 3));
    EXPECT_EQ(3u, cancelled.lines.size());
    failing.failEndPageAt = 1;
    rows.resize(20, rows[0]);
    EXPECT_EQ(0, PrintListPages(failing.Sink(100), "doc", rows.data(), 20));
    EXPECT_EQ(1, failing.page);
}

TEST_F(PrintingTest, OneEventPrintsFieldsDescriptionAndDataWhoseHeadingMayStartAPage) {
    const std::vector<std::string> description = {"first line\r\n", std::string(100, 'x'), ""}, noData = {""};
    ASSERT_EQ(1, PrintEventPages(printer.Sink(1000), "doc", state.table.entries[0], View(description), View(noData)));
    ASSERT_EQ(13u, printer.lines.size());
    EXPECT_EQ("1@80 Component      :  HALDOR/PERN     ", printer.lines[4]);
    EXPECT_EQ("1@160       " + std::string(80, 'x'), printer.lines[9]);
    EXPECT_EQ("1@200 Data            :", printer.lines[11]);
    // The description ends at 170; a heading at 190 would not fit a page of 195.
    FakePrinter low;
    ASSERT_EQ(1, PrintEventPages(low.Sink(195), "doc", state.table.entries[0], View({"a", "b", "c"}), View({"0000: 01"})));
    EXPECT_EQ((std::vector<std::string>{"2@0 Data            :", "2@20       0000: 01"}),
              std::vector<std::string>(low.lines.end() - 2, low.lines.end()));
}

// Under Shift-JIS a cut never ends inside a double-byte character: not the
// precision of a field, not the 80 bytes of a view line (whose paragraph end
// is dropped before the cut).
TEST_F(PrintingTest, CutsEndOnCharacterBoundariesUnderShiftJis) {
    g_printTexts.codePage = &ShiftJisCodePage();
    const std::string kanji = "\x93\xfa";   // one character, two bytes
    std::string computer = "A";
    for (int i = 0; i < 8; ++i) computer += kanji;
    const char* arg = computer.c_str();
    char out[64];
    FormatStrings(out, sizeof out, "[%.16s]", &arg, 1);
    EXPECT_EQ("[" + computer.substr(0, 15) + "]", std::string(out));
    const std::vector<std::string> description = {std::string(79, 'a') + kanji + "b", std::string(79, 'c') + "\r\n",
                                                  std::string(78, 'd') + kanji + "\r\n"};
    ASSERT_EQ(1, PrintEventPages(printer.Sink(1000), "doc", state.table.entries[0], View(description), View({""})));
    g_printTexts.codePage = nullptr;
    EXPECT_EQ("1@150       " + std::string(79, 'a'), printer.lines[8]);
    EXPECT_EQ("1@160       " + std::string(79, 'c'), printer.lines[9]);
    EXPECT_EQ("1@170       " + std::string(78, 'd') + kanji, printer.lines[10]);
}

TEST(LogSettingsValues, ShownKilobytesStepBy64AndOkTakesWholeStepsInRange) {
    EXPECT_EQ(64u, LogSizeKilobytes(66559));   // a byte short of 65 kilobytes: rounded down
    // The step, or 7 where the text stays as typed (5: the thumb).
    const struct { uint32_t shown; int code; uint32_t stepped; } steps[] = {{100, kLogSizeSpinUp, 128}, {100, kLogSizeSpinDown, 64},
        {1048575, kLogSizeSpinUp, 1048576}, {1048639, kLogSizeSpinDown, 1048512}, {4294967295u, kLogSizeSpinDown, 1048576}, {100, 5, 7}};
    for (const auto& s : steps) {
        uint32_t stepped = 7;
        EXPECT_EQ(s.stepped != 7, StepLogKilobytes(s.shown, s.code, &stepped) == 1) << s.shown << " " << s.code;
        EXPECT_EQ(s.stepped, stepped) << s.shown << " " << s.code;
    }
    // The bytes, or 7 where refused: out of range, no number, or negative read back.
    const struct { uint32_t typed; bool isNumber; uint32_t bytes; } typed[] = {{64, true, 65536}, {127, true, 65536},
        {1048576, true, 1u << 30}, {63, true, 7}, {1048577, true, 7}, {100, false, 7}, {4294967291u, true, 7}};
    for (const auto& t : typed) {
        uint32_t bytes = 7;
        EXPECT_EQ(t.bytes != 7 ? 0 : kMsgMaxLogSizeNotSet, CheckLogKilobytes(t.typed, t.isNumber, &bytes)) << t.typed;
        EXPECT_EQ(t.bytes, bytes) << t.typed;
    }
}

}  // namespace
