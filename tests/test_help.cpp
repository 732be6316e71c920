// The help compiler: sources compiled and read back with our reader, and the
// errors it reports.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tools/helpc/help_compiler.h"
#include "tools/helpc/help_reader.h"

namespace {

// Compiles text and reads the file back; fails the test on any error.
HelpFileImage Compile(const std::string& text, const char* name = "t.txt", HelpSource* source = nullptr) {
    HelpSource parsed;
    std::vector<uint8_t> bytes;
    std::string error;
    HelpFileImage image;
    EXPECT_EQ(ParseHelpSource(text, name, source ? source : &parsed, &error), 1) << error;
    EXPECT_EQ(WriteHelpFile(source ? *source : parsed, name, 0, &bytes, &error), 1) << error;
    EXPECT_EQ(ReadHelpFile(bytes, &image, &error), 1) << error;
    return image;
}

std::string CompileError(const std::string& text) {
    HelpSource source;
    std::vector<uint8_t> bytes;
    std::string error;
    if (ParseHelpSource(text, "t.txt", &source, &error) && WriteHelpFile(source, "t.txt", 0, &bytes, &error))
        return "(compiled)";
    return error;
}

// The topic a jump, a context number or a keyword leads to, by its id's topic title.
std::string TitleAt(const HelpFileImage& image, uint32_t offset) {
    const int t = HelpTopicAt(image, offset);
    return t < 0 ? "(none)" : image.topics[size_t(t)].title;
}

std::string TitleOfHash(const HelpFileImage& image, int32_t hash) {
    for (const auto& h : image.hashes)
        if (h.first == hash) return TitleAt(image, h.second);
    return "(no hash)";
}

struct Para {
    std::string text;
    int bold, indented;
};

void ExpectParagraphs(const HelpReadTopic& topic, const std::vector<Para>& want) {
    ASSERT_EQ(topic.paragraphs.size(), want.size()) << topic.title;
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(topic.paragraphs[i].text, want[i].text) << topic.title << " #" << i;
        EXPECT_EQ(topic.paragraphs[i].bold, want[i].bold) << topic.title << " #" << i;
        EXPECT_EQ(topic.paragraphs[i].indented, want[i].indented) << topic.title << " #" << i;
    }
}

// The context numbers 901, 902, ... lead to the topics of these titles.
void ExpectNumbers(const HelpFileImage& image, const std::vector<std::string>& titles) {
    ASSERT_EQ(image.numbers.size(), titles.size());
    for (size_t i = 0; i < titles.size(); ++i) {
        EXPECT_EQ(image.numbers[i].first, 901 + i);
        EXPECT_EQ(TitleAt(image, image.numbers[i].second), titles[i]);
    }
}

const char kSource[] =
    "# a comment\n"
    "@title Viewer Help\r\n"
    "@codepage 1252\n"
    "@contents contents\n"
    "\n"
    "@topic contents\n"
    "@title Contents\n"
    "@keywords contents; overview\n"
    "Pick a topic:\n"
    "- [[filter|Filtering events]]\n"
    "- [[find|Finding]] an event\n"
    "\n"
    "! More\n"
    "See [[log_settings|the log's settings]], \\[not a jump] and a \\\\ back slash.\n"
    "@topic filter\n"
    "@title Filter Events\n"
    "@context 902\n"
    "@keywords filter;  events, filtering ;;\n"
    "@keywords overview\n"
    "First line\n"
    "joined line.\n"
    "# dropped\n"
    "\n"
    "Back to [[contents|the contents]].\n"
    "@topic find\n"
    "@title Find\n"
    "@context 903\n"
    "Finds the next event.\n"
    "@topic log_settings\n"
    "@title Log Settings\n"
    "@context 901\n";

TEST(HelpCompiler, SourceReadsBackTopicByTopic) {
    const HelpFileImage image = Compile(kSource);
    EXPECT_EQ(image.title, "Viewer Help");
    EXPECT_EQ(image.caption, "Viewer Help");
    EXPECT_EQ(image.charset, 0);
    ASSERT_EQ(image.topics.size(), 4u);
    EXPECT_EQ(TitleAt(image, image.contents), "Contents");

    const HelpReadTopic& contents = image.topics[0];
    ExpectParagraphs(contents, {{"Contents", 1, 0},
                                {"Pick a topic:", 0, 0},
                                {"- Filtering events", 0, 1},
                                {"- Finding an event", 0, 1},
                                {"More", 1, 0},
                                {"See the log's settings, [not a jump] and a \\ back slash.", 0, 0}});
    ASSERT_EQ(contents.paragraphs[3].jumps.size(), 1u);
    EXPECT_EQ(contents.paragraphs[3].jumps[0].text, "Finding");
    EXPECT_EQ(TitleOfHash(image, contents.paragraphs[2].jumps.at(0).hash), "Filter Events");
    EXPECT_EQ(TitleOfHash(image, contents.paragraphs[3].jumps[0].hash), "Find");
    EXPECT_EQ(TitleOfHash(image, contents.paragraphs[5].jumps.at(0).hash), "Log Settings");
    EXPECT_EQ(contents.paragraphs[5].jumps[0].text, "the log's settings");

    ExpectParagraphs(image.topics[1], {{"Filter Events", 1, 0}, {"First line joined line.", 0, 0},
                                       {"Back to the contents.", 0, 0}});
    EXPECT_EQ(TitleOfHash(image, image.topics[1].paragraphs[2].jumps.at(0).hash), "Contents");
    ExpectParagraphs(image.topics[3], {{"Log Settings", 1, 0}});

    // Browse sequence, context hashes of every id, context numbers, titles, keywords.
    EXPECT_EQ(TitleAt(image, image.topics[1].browseBack), "Contents");
    EXPECT_EQ(TitleAt(image, image.topics[1].browseNext), "Find");
    EXPECT_EQ(TitleOfHash(image, HelpContextHash("log_settings")), "Log Settings");
    // The viewer hashes a context string given to it the same way.
    EXPECT_EQ(HelpContextHash("log_settings"), -1028476444);
    EXPECT_EQ(HelpContextHash("Z9.a"), 3356468);
    EXPECT_EQ(image.hashes.size(), 4u);
    ExpectNumbers(image, {"Log Settings", "Filter Events", "Find"});
    ASSERT_EQ(image.titles.size(), 4u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(TitleAt(image, image.titles[i].first), image.titles[i].second);
    ASSERT_EQ(image.keywords.size(), 4u);
    const char* keywords[] = {"contents", "events, filtering", "filter", "overview"};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(image.keywords[i].first, keywords[i]);
    EXPECT_EQ(TitleAt(image, image.keywords[2].second.at(0)), "Filter Events");
    ASSERT_EQ(image.keywords[3].second.size(), 2u);  // overview: both topics
    EXPECT_EQ(TitleAt(image, image.keywords[3].second[0]), "Contents");
    EXPECT_EQ(TitleAt(image, image.keywords[3].second[1]), "Filter Events");
}

TEST(HelpCompiler, ShiftJisTextReadsBackByteForByte) {
    // 表 (95 5C), ソ (83 5C) and ポ (83 7C) end in the bytes of '\' and '|'.
    const std::string hyo = "\x95\x5C", so = "\x83\x5C", po = "\x83\x7C";
    const std::string text = "@title " + hyo + "\n@codepage 932\n@contents top\n@topic top\n@title " + so +
                             "\n@keywords " + po + hyo + "\n" + hyo + "[[next|" + po + so + "]]" + so + "\n" +
                             "@topic next\n@title " + po + "\n";
    const HelpFileImage image = Compile(text);
    EXPECT_EQ(image.title, hyo);
    EXPECT_EQ(image.caption, hyo);
    EXPECT_EQ(image.charset, 128);
    ASSERT_EQ(image.topics.size(), 2u);
    ExpectParagraphs(image.topics[0], {{so, 1, 0}, {hyo + po + so + so, 0, 0}});
    EXPECT_EQ(image.topics[0].paragraphs[1].jumps.at(0).text, po + so);
    EXPECT_EQ(TitleOfHash(image, image.topics[0].paragraphs[1].jumps[0].hash), po);
    ASSERT_EQ(image.keywords.size(), 1u);
    EXPECT_EQ(image.keywords[0].first, po + hyo);
}

TEST(HelpCompiler, LargeFilesSpanBlocksAndTreePages) {
    // Enough text for several 4 KiB topic blocks, enough keywords for several tree pages.
    std::string text = "@title Big\n@contents t0\n";
    for (int t = 0; t < 12; ++t) {
        text += "@topic t" + std::to_string(t) + "\n@title Topic " + std::to_string(t) + "\n@context " +
                std::to_string(100 + t) + "\n";
        for (int k = 0; k < 25; ++k) text += "@keywords keyword " + std::to_string(t * 100 + k) + "\n";
        for (int p = 0; p < 8; ++p)
            text += "Paragraph " + std::to_string(p) + " of topic " + std::to_string(t) + std::string(150, '.') +
                    " [[t" + std::to_string((t + 1) % 12) + "|next]]\n\n";
    }
    const HelpFileImage image = Compile(text);
    ASSERT_EQ(image.topics.size(), 12u);
    EXPECT_GE(image.topics.back().offset >> 15, 3u);  // the last topic lies in block 3 or later
    ASSERT_EQ(image.numbers.size(), 12u);
    for (int t = 0; t < 12; ++t) {
        const HelpReadTopic& topic = image.topics[size_t(t)];
        ASSERT_EQ(topic.paragraphs.size(), 9u);
        const std::string last = "Paragraph 7 of topic " + std::to_string(t) + ".";
        EXPECT_EQ(topic.paragraphs[8].text.substr(0, last.size()), last);
        EXPECT_EQ(TitleAt(image, image.numbers[size_t(t)].second), topic.title);
        EXPECT_EQ(TitleOfHash(image, topic.paragraphs[1].jumps.at(0).hash), "Topic " + std::to_string((t + 1) % 12));
    }
    ASSERT_EQ(image.keywords.size(), 300u);
    EXPECT_EQ(image.keywords[299].first, "keyword 924");  // sorted as text
    EXPECT_EQ(TitleAt(image, image.keywords[299].second.at(0)), "Topic 9");
}

TEST(HelpCompiler, ErrorsNameFileAndLine) {
    const std::string head = "@title T\n@contents a\n@topic a\n@title A\n";
    const struct {
        std::string text, error;
    } cases[] = {
        {head + "x\ny [[b|B]]\n", "t.txt:6: jump to unknown topic 'b'"},
        {head + "@topic a\n@title A2\n", "t.txt:5: duplicate topic id 'a' (first at line 3)"},
        {head + "@context 7\n@topic b\n@title B\n@context 7\n", "t.txt:8: duplicate context number 7 (first at line 5)"},
        {"@title T\n@topic a\n@title A\n", "t.txt:1: missing @contents"},
        {"@title T\n@contents b\n@topic a\n@title A\n", "t.txt:2: @contents names unknown topic 'b'"},
        {head + "@topic b\nno title\n", "t.txt:5: topic 'b' has no @title"},
        {head + "@include x\n", "t.txt:5: unknown directive @include in a topic"},
        {head + "@context 12x\n", "t.txt:5: bad number for @context: '12x' (1..2147483647)"},
        {"@title T\n@codepage 437\n", "t.txt:2: bad number for @codepage: '437' (1252 or 932)"},
        {head + "see [[a|A\n", "t.txt:5: unterminated jump: '[[' without ']]'"},
        {head + "text\n" + std::string(4000, 'x') + "\n", "t.txt:3: a paragraph of topic 'a' is too long"},
    };
    for (const auto& c : cases) EXPECT_EQ(CompileError(c.text).substr(0, c.error.size()), c.error) << c.text;
}

}  // namespace

// The help files that ship: every topic of each language's source is in the
// file under its title and reached by its id's hash; the dialogs' context
// numbers and every keyword reach their topics, a keyword one topic only (the
// viewer under Wine lists no keyword of several topics).
TEST(HelpCompiler, ShippedHelpFilesHoldEveryTopicContextAndKeyword) {
    for (const char* name : {"darvex_en.txt", "darvex_ja.txt"}) {
        SCOPED_TRACE(name);
        std::ifstream in(std::string(DARVEX_SOURCE_DIR "/help/") + name, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        HelpSource source;
        const HelpFileImage image = Compile(text, name, &source);
        ASSERT_EQ(image.topics.size(), source.topics.size());
        std::map<std::string, std::string> titleOf;
        size_t keywords = 0;
        for (const HelpTopic& t : source.topics) {
            titleOf[t.id] = t.title;
            EXPECT_EQ(TitleOfHash(image, HelpContextHash(t.id)), t.title);
            for (const std::string& k : t.keywords) {
                ++keywords;
                const auto kw = std::find_if(image.keywords.begin(), image.keywords.end(),
                                             [&](const auto& entry) { return entry.first == k; });
                ASSERT_NE(kw, image.keywords.end()) << k;
                ASSERT_EQ(kw->second.size(), 1u) << k;
                EXPECT_EQ(TitleAt(image, kw->second[0]), t.title) << k;
            }
        }
        EXPECT_EQ(image.keywords.size(), keywords);
        EXPECT_EQ(TitleAt(image, image.contents), titleOf["contents"]);
        ExpectNumbers(image, {titleOf["log_settings"], titleOf["filter"], titleOf["find"], titleOf["event_detail"]});
    }
}
