#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "dialogs/find.h"
#include "test_support.h"

namespace {

struct Recorder {
    std::vector<int> asked;
    std::vector<int> failures;
    int answer = 1;
};

FindPrompts Prompts(Recorder* r) {
    return FindPrompts{r,
                       [](void* c, int id) {
                           static_cast<Recorder*>(c)->asked.push_back(id);
                           return static_cast<Recorder*>(c)->answer;
                       },
                       [](void* c, int id) { static_cast<Recorder*>(c)->failures.push_back(id); }};
}

bool Contains(const char* haystack, uint32_t length, const char* needle,
              const AnsiCodePage& page = SingleByteCodePage()) {
    FindPattern p;
    PreparePattern(needle, page, &p);
    return DescriptionContains(reinterpret_cast<const uint8_t*>(haystack), length, p);
}

TEST(FindMatch, WindowStaysInsideTheDescriptionLength) {
    const char text[] = "abcdef";   // 7 bytes with its zero
    EXPECT_TRUE(Contains(text, 7, "def"));
    EXPECT_FALSE(Contains(text, 5, "def"));   // p + L <= D
    EXPECT_TRUE(Contains(text, 6, "def"));
    EXPECT_FALSE(Contains(text, 0, "a"));
    EXPECT_TRUE(Contains(text, 0, ""));
    // Bytes after the terminating zero are not searched.
    const char hidden[] = "abc\0XYZ";
    EXPECT_TRUE(Contains(hidden, sizeof hidden, "abc"));
    EXPECT_FALSE(Contains(hidden, sizeof hidden, "xyz"));
    EXPECT_TRUE(Contains(hidden, sizeof hidden, "C"));
}

// Shift-JIS: ア is 0x83 0x41 and ヂ is 0x83 0x61, a letter pair only as bytes.
#define KANA_A "\x83\x41"
#define KANA_DI "\x83\x61"

TEST(FindMatch, DoubleByteCharactersAreComparedExactlyAndWhole) {
    const AnsiCodePage& sjis = ShiftJisCodePage();
    const char text[] = "Disk " KANA_DI " ERROR";
    EXPECT_TRUE(Contains(text, sizeof text, "error", sjis));
    EXPECT_TRUE(Contains(text, sizeof text, KANA_DI " e", sjis));
    EXPECT_FALSE(Contains(text, sizeof text, KANA_A, sjis));
    EXPECT_FALSE(Contains(text, sizeof text, "a", sjis));   // ヂ's second byte is no letter
    EXPECT_FALSE(Contains(KANA_A, 3, "A", sjis));
    // Under a single-byte code page the same bytes are letters after 0x83.
    EXPECT_TRUE(Contains(text, sizeof text, KANA_A));
    // A text cut to 255 bytes ends on a whole character.
    FindPattern p;
    PreparePattern((std::string(254, 'x') + KANA_A).c_str(), sjis, &p);
    EXPECT_EQ(254u, p.length);
}

// The rule spelled out naively: every start position, a start inside a
// double-byte character never matches, letters fold only where they stand
// as single-byte characters of the text.
bool NaiveContains(const std::string& hay, const std::string& needle, const AnsiCodePage& page) {
    std::vector<bool> starts(hay.size() + 1, false), second(needle.size(), false);
    for (size_t i = 0; i < hay.size(); i += page.isLead[uint8_t(hay[i])] ? 2 : 1) starts[i] = true;
    for (size_t i = 0; i < needle.size(); ++i) {
        if (page.isLead[uint8_t(needle[i])] && i + 1 < needle.size()) second[++i] = true;
    }
    for (size_t p = 0; p + needle.size() <= hay.size(); ++p) {
        if (!starts[p]) continue;
        size_t i = 0;
        for (; i < needle.size(); ++i) {
            const uint8_t h = uint8_t(hay[p + i]), n = uint8_t(needle[i]);
            if (h != n && (second[i] || !isalpha(h) || h > 127 || tolower(h) != tolower(n))) break;
        }
        if (i == needle.size()) return true;
    }
    return false;
}

TEST(FindMatch, PatternMatchesEveryPositionLikeANaiveScan) {
    uint32_t seed = 99;
    auto next = [&]() { return seed = seed * 1664525 + 1013904223; };
    const AnsiCodePage* pages[] = {&SingleByteCodePage(), &ShiftJisCodePage()};
    for (int round = 0; round < 4000; ++round) {
        const AnsiCodePage& page = *pages[round % 2];
        std::string hay, needle;
        const uint32_t hn = next() % 60 + 1, nn = next() % 6 + 1;
        // Letters, a lead byte, second bytes that look like letters, and
        // non-letters that differ from each other by 0x20 as letters do.
        const char alphabet[] = "aAbB\x83\x61\x41\xc1\xe1[{";
        for (uint32_t i = 0; i < hn; ++i) hay += alphabet[next() % 11];
        for (uint32_t i = 0; i < nn; ++i) needle += alphabet[next() % 11];
        EXPECT_EQ(NaiveContains(hay, needle, page), Contains(hay.c_str(), hn, needle.c_str(), page))
            << round << " " << hay << " / " << needle;
    }
}

const SyntheticEvent kRows[] = {
    {4, 0, "2001/01/0100:00:05", "service started"},
    {2, 2, "2001/01/0100:00:04", "Disk space LOW"},
    {1, 4, "2001/01/0100:00:03", "error: disk failure"},
    {4, 1, "2001/01/0100:00:02", nullptr},
    {0, 6, "2001/01/0100:00:01", "type zero"},
};

struct FindTest : ::testing::Test {
    ViewerState state;
    Recorder rec;
    FindCriteria c = DefaultFindCriteria();
    void SetUp() override {
        InitViewerState(&state);
        BuildSyntheticTable(&state, kRows, 5);
    }
    void TearDown() override { ReleaseViewerState(&state); }
    int32_t Find(int32_t current) {
        return FindNextRow(state.table.visibleRows, state.table.visibleCount, current, c, SingleByteCodePage(),
                           Prompts(&rec));
    }
};

TEST_F(FindTest, StartUpCriteriaFindTheNextRowDown) {
    EXPECT_EQ(1, Find(0));
    EXPECT_EQ(0, Find(-1));   // no selection: Down starts at row 0
    EXPECT_TRUE(rec.asked.empty());
}

TEST_F(FindTest, EndOfListAsksThenSearchesAgainFromTheTop) {
    strcpy(c.descriptionText, "DISK");
    EXPECT_EQ(1, Find(2));   // past row 2, wraps to row 1
    EXPECT_EQ((std::vector<int>{254}), rec.asked);
    rec.asked.clear();
    rec.answer = 0;
    EXPECT_EQ(-1, Find(3));   // Cancel: nothing selected, no failure box
    EXPECT_TRUE(rec.failures.empty());
}

TEST_F(FindTest, SecondPassFailureShowsTheEndMessage) {
    strcpy(c.descriptionText, "nowhere");
    EXPECT_EQ(-1, Find(4));
    EXPECT_EQ((std::vector<int>{254}), rec.asked);
    EXPECT_EQ((std::vector<int>{221}), rec.failures);
}

TEST_F(FindTest, UpwardSearchWrapsFromTheEnd) {
    c.direction = kFindUp;
    strcpy(c.descriptionText, "started");
    EXPECT_EQ(0, Find(1));
    EXPECT_EQ(0, Find(0));   // from row 0: asks 255, then finds row 0 itself on the second pass
    EXPECT_EQ((std::vector<int>{255}), rec.asked);
    rec.asked.clear();
    EXPECT_EQ(0, Find(-1));   // no selection starts above the top: it asks before finding row 0
    EXPECT_EQ((std::vector<int>{255}), rec.asked);
    rec.asked.clear();
    strcpy(c.descriptionText, "nowhere");
    EXPECT_EQ(-1, Find(-1));
    EXPECT_EQ((std::vector<int>{255}), rec.asked);
    EXPECT_EQ((std::vector<int>{222}), rec.failures);
}

TEST_F(FindTest, TypeModuleAndComponentMustAllMatch) {
    c.informationType = c.warningType = c.errorType = 0;
    EXPECT_EQ(4, Find(-1));   // only the type-0 row equals a cleared type
    c = DefaultFindCriteria();
    c.moduleIndex = 2;   // second "HALDOR/PERN": module code 1 only
    EXPECT_EQ(3, Find(-1));
    c.moduleIndex = 1;
    EXPECT_EQ(0, Find(-1));
    c.componentIndex = 2;   // TOLVA with a PERN module: nothing
    rec.answer = 1;
    EXPECT_EQ(-1, Find(-1));
    c = DefaultFindCriteria();
    FindPattern p;
    PreparePattern("a", SingleByteCodePage(), &p);   // a description of length 0 never matches a text
    EXPECT_FALSE(RowMatches(state.table.entries[3], c, p));
    EXPECT_TRUE(RowMatches(state.table.entries[0], c, p));
}

TEST_F(FindTest, LongTextIsCutTo255Characters) {
    FindPattern p;
    std::string text(300, 'x');
    PreparePattern(text.c_str(), SingleByteCodePage(), &p);
    EXPECT_EQ(255u, p.length);
}

}  // namespace
