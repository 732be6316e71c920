#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "dialogs/find.h"
#include "test_support.h"

namespace {

bool Contains(const std::string& haystack, uint32_t length, const char* needle,
              const AnsiCodePage& page = SingleByteCodePage()) {
    FindPattern p;
    PreparePattern(needle, page, &p);
    return DescriptionContains(reinterpret_cast<const uint8_t*>(haystack.data()), length, p);
}

TEST(FindMatch, TextIsCutTo255BytesOnAWholeCharacter) {
    FindPattern p;
    PreparePattern(std::string(300, 'x').c_str(), SingleByteCodePage(), &p);
    EXPECT_EQ(255u, p.length);
    PreparePattern((std::string(254, 'x') + "\x83\x41").c_str(), ShiftJisCodePage(), &p);
    EXPECT_EQ(254u, p.length);
    EXPECT_TRUE(Contains("abc", 0, ""));
}

// The rule spelled out naively: the text ends at its zero byte or its length,
// a start inside a double-byte character never matches, letters fold only
// where they stand as single-byte characters of the text.
bool NaiveContains(std::string hay, const std::string& needle, const AnsiCodePage& page) {
    hay = hay.substr(0, hay.find('\0'));
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

// Shift-JIS: ア is 0x83 0x41 and ヂ is 0x83 0x61, a letter pair only as bytes.
TEST(FindMatch, PatternMatchesEveryPositionLikeANaiveScan) {
    const AnsiCodePage& sjis = ShiftJisCodePage();
    EXPECT_FALSE(Contains("Disk \x83\x61 ERROR", 15, "\x83\x41", sjis));
    EXPECT_TRUE(Contains("Disk \x83\x61 ERROR", 15, "\x83\x41"));   // letters after 0x83 as single bytes
    uint32_t seed = 99;
    auto next = [&]() { return seed = seed * 1664525 + 1013904223; };
    for (int round = 0; round < 4000; ++round) {
        const AnsiCodePage& page = round % 2 ? sjis : SingleByteCodePage();
        std::string hay, needle;
        const uint32_t hn = next() % 60 + 1, nn = next() % 6 + 1, length = hn - next() % 2;
        // Letters, a lead byte, second bytes that look like letters, non-letters
        // that differ from each other by 0x20 as letters do, and a zero byte.
        const char alphabet[] = "aAbB\x83\x61\x41\xc1\xe1[{";
        for (uint32_t i = 0; i < hn; ++i) hay += next() % 40 ? alphabet[next() % 11] : '\0';
        for (uint32_t i = 0; i < nn; ++i) needle += alphabet[next() % 11];
        EXPECT_EQ(NaiveContains(hay.substr(0, length), needle, page), Contains(hay, length, needle.c_str(), page))
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
    std::vector<int> asked, failures;
    int answer = 1;
    FindCriteria c = DefaultFindCriteria();
    void SetUp() override {
        InitViewerState(&state);
        BuildSyntheticTable(&state, kRows, 5);
    }
    void TearDown() override { ReleaseViewerState(&state); }
    int32_t Find(int32_t current, const char* text = "") {
        snprintf(c.descriptionText, sizeof c.descriptionText, "%s", text);
        asked.clear();
        failures.clear();
        FindPrompts prompts = {this,
                               [](void* t, int id) {
                                   static_cast<FindTest*>(t)->asked.push_back(id);
                                   return static_cast<FindTest*>(t)->answer;
                               },
                               [](void* t, int id) { static_cast<FindTest*>(t)->failures.push_back(id); }};
        return FindNextRow(state.table.visibleRows, state.table.visibleCount, current, c, SingleByteCodePage(),
                           prompts);
    }
};

TEST_F(FindTest, DownWrapsAfterAskingAndFailsWithTheEndMessage) {
    EXPECT_EQ(1, Find(0));
    EXPECT_EQ(0, Find(-1));   // no selection: Down starts at row 0
    EXPECT_TRUE(asked.empty());
    EXPECT_EQ(1, Find(2, "DISK"));   // past row 2, wraps to row 1
    EXPECT_EQ((std::vector<int>{254}), asked);
    EXPECT_EQ(-1, Find(4, "nowhere"));
    EXPECT_EQ((std::vector<int>{254}), asked);
    EXPECT_EQ((std::vector<int>{221}), failures);
    answer = 0;
    EXPECT_EQ(-1, Find(3, "DISK"));   // Cancel: nothing selected, no failure box
    EXPECT_TRUE(failures.empty());
}

TEST_F(FindTest, UpwardSearchWrapsFromTheEnd) {
    c.direction = kFindUp;
    EXPECT_EQ(0, Find(1, "started"));
    EXPECT_EQ(0, Find(0, "started"));   // from row 0: asks 255, then finds row 0 itself on the second pass
    EXPECT_EQ((std::vector<int>{255}), asked);
    EXPECT_EQ(0, Find(-1, "started"));   // no selection starts above the top: it asks before finding row 0
    EXPECT_EQ((std::vector<int>{255}), asked);
    EXPECT_EQ(-1, Find(-1, "nowhere"));
    EXPECT_EQ((std::vector<int>{255}), asked);
    EXPECT_EQ((std::vector<int>{222}), failures);
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
    EXPECT_EQ(-1, Find(-1));
    c = DefaultFindCriteria();
    c.moduleIndex = 2;
    EXPECT_EQ(-1, Find(-1, "a"));   // a description of length 0 never matches a text
}

}  // namespace
