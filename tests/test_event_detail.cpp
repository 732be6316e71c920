#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/event_detail.h"
#include "eventlist/filter.h"
#include "tools/log_writer.h"

namespace {

std::string ByteDumpOf(const std::vector<uint8_t>& data, int32_t length,
                       const AnsiCodePage& page = SingleByteCodePage()) {
    std::vector<char> out(kWorkBufferSize);
    size_t n = FormatByteDump(data.data(), length, out.data(), page);
    EXPECT_EQ(n, strlen(out.data()));
    return std::string(out.data(), n);
}

std::string ByteDump(const std::vector<uint8_t>& data) { return ByteDumpOf(data, int32_t(data.size())); }

std::string WordDump(const std::vector<uint8_t>& data) {
    std::vector<char> out(kWorkBufferSize);
    size_t n = FormatWordDump(data.data(), int32_t(data.size()), out.data());
    return std::string(out.data(), n);
}

std::vector<uint8_t> Counting(uint8_t first, int count) {
    std::vector<uint8_t> v;
    for (int i = 0; i < count; ++i) v.push_back(uint8_t(first + i));
    return v;
}

TEST(ByteDump, LettersAToSGiveThreeLinesWithTheCharacterColumnAt35) {
    std::string text = ByteDump(Counting(0x41, 19));
    EXPECT_EQ("0000: 41 42 43 44 45 46 47 48      ABCDEFGH\r\n"
              "0008: 49 4A 4B 4C 4D 4E 4F 50      IJKLMNOP\r\n"
              "0010: 51 52 53" + std::string(21, ' ') + "QRS",
              text);
    EXPECT_EQ(35u, text.find("ABCDEFGH"));
    EXPECT_EQ("0000: 01 02 03 04 05 06 07 08      \x01\x02\x03\x04\x05\x06\x07\x08", ByteDump(Counting(1, 8)));
}

TEST(ByteDump, ZeroBytesBecomeFullStopsAndOthersStayAsTheyAre) {
    std::string text = ByteDump({0x00, 0x01, 0x02, 0x41, 0x0A, 0xFF, 0x20, 0x7F, 0x09});
    EXPECT_EQ(std::string("0000: 00 01 02 41 0A FF 20 7F      .\x01\x02" "A\n\xff \x7f\r\n") +
                  "0008: 09" + std::string(27, ' ') + "\t",
              text);
}

TEST(ByteDump, LongDataIsCutTo65535BytesAndFitsTheBuffer) {
    std::vector<uint8_t> big(70000, 0x5A);
    std::string text = ByteDump(big);
    EXPECT_EQ("FFF8:", text.substr(text.rfind("\r\n") + 2, 5));
    EXPECT_EQ(8191u * 45 + 5 + 7 * 3 + 9 + 7, text.size());
    EXPECT_LT(text.size(), kWorkBufferSize);
    EXPECT_TRUE(ByteDumpOf(big, 0).empty());
    EXPECT_TRUE(ByteDumpOf(big, -5).empty());   // a length with the top bit set dumps nothing
}

TEST(WordDump, LittleEndianGroupsAndAShortLastGroupKeepsItsEightDigitField) {
    std::string head = "0000: 04030201 08070605 0C0B0A09 100F0E0D\r\n";
    EXPECT_EQ(head + "0010:       11", WordDump(Counting(1, 17)));
    EXPECT_EQ(head + "0010:     1211", WordDump(Counting(1, 18)));
    EXPECT_EQ(head + "0010:   131211", WordDump(Counting(1, 19)));
    EXPECT_EQ(head + "0010: 14131211", WordDump(Counting(1, 20)));
    EXPECT_EQ("0000: 04030201 08070605", WordDump(Counting(1, 8)));
}

TEST(ByteDump, LeadByteWithoutItsSecondByteOnTheLineIsAFullStop) {
    // Shift-JIS: 0x82 0xA0 is one character; a lead byte closing a line would
    // take the CR of the line end as its second byte in the view.
    std::vector<uint8_t> data = {0x41, 0x82, 0xA0, 0x42, 0x43, 0x44, 0x45, 0x82, 0xA0, 0x82};
    std::string text = ByteDumpOf(data, int32_t(data.size()), ShiftJisCodePage());
    EXPECT_EQ("0000: 41 82 A0 42 43 44 45 82      A\x82\xa0" "BCDE.\r\n"
              "0008: A0 82" + std::string(24, ' ') + "\xa0.",
              text);
    // Pairs are taken from the start of the line: the eighth byte closes a pair here.
    data = {0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x82};
    EXPECT_EQ("\x82\x82\x82\x82\x82\x82\x82\x82", ByteDumpOf(data, 8, ShiftJisCodePage()).substr(35));
    // A single-byte code page shows every byte as it is.
    EXPECT_EQ("A\x82\xa0" "BCDE\x82", ByteDumpOf({0x41, 0x82, 0xA0, 0x42, 0x43, 0x44, 0x45, 0x82}, 8).substr(35));
}

TEST(ByteDump, RecordDataLengthIsReadAsSignedAndCutAt65535) {
    std::vector<uint8_t> data(70000, 0x30);
    RecordSpec spec;
    spec.text = "x";
    spec.data = data.data();
    spec.dataByteCount = uint32_t(data.size());
    LogImage image;
    PlaceRecord(&image, 0, spec);
    std::vector<char> out(kWorkBufferSize);
    EXPECT_TRUE(EventHasData(image.bytes.data()));
    EXPECT_EQ(8191u * 45 + 5 + 7 * 3 + 9 + 7,
              FormatEventDump(image.bytes.data(), kDumpByte, SingleByteCodePage(), out.data()));
    // 4096 Word lines of 41 characters; the last one's final group holds 3 bytes.
    EXPECT_EQ(4096u * 43 - 2, FormatEventDump(image.bytes.data(), kDumpWord, SingleByteCodePage(), out.data()));
    PutU32(image.bytes.data() + 28, 0x80000000u);
    EXPECT_EQ(0u, FormatEventDump(image.bytes.data(), kDumpByte, SingleByteCodePage(), out.data()));
    EXPECT_EQ('\0', out[0]);
}

EventEntry MakeEntry() {
    EventEntry e = {};
    e.type = kTypeWarning;
    snprintf(e.date, sizeof e.date, "2001/02/03");
    snprintf(e.time, sizeof e.time, "04:05:06");
    snprintf(e.computer, sizeof e.computer, "HALDOR-SRV01");
    e.component = 2;
    e.module = 3;
    return e;
}

TEST(DetailFields, DateLosesTheCenturyAndNamesComeFromTheTables) {
    EventEntry e = MakeEntry();
    DetailFields f = EventDetailFields(e);
    EXPECT_STREQ("01/02/03", f.date);
    EXPECT_STREQ("04:05:06", f.time);
    EXPECT_STREQ("HALDOR-SRV01", f.computer);
    EXPECT_STREQ("HALDOR/TOLVA          ", f.component);
    EXPECT_STREQ("HALDOR/TOLVA", f.module);
    EXPECT_STREQ("Warning  ", f.type);
    e.type = 3;
    e.component = 5;
    e.module = 7;
    f = EventDetailFields(e);
    EXPECT_STREQ("", f.type);
    EXPECT_STREQ("unknown               ", f.component);
    EXPECT_STREQ("unknown", f.module);
}

std::string ShownDescription(const char* text, const AnsiCodePage& page, const uint8_t* data = nullptr,
                             uint32_t dataCount = 0, bool emptyLength = false) {
    RecordSpec spec;
    spec.text = text;
    spec.data = data;
    spec.dataByteCount = dataCount;
    if (emptyLength) {
        spec.text = nullptr;
        spec.descriptionByteCount = 0;
    }
    LogImage image;
    PlaceRecord(&image, 0, spec);
    const std::vector<uint8_t> before = image.bytes;
    std::vector<char> out(kShownDescriptionSize + 16, '#');
    const size_t n = CopyShownDescription(image.bytes.data(), page, out.data());
    EXPECT_EQ(n, strlen(out.data()));
    EXPECT_TRUE(before == image.bytes);
    return std::string(out.data(), n);
}

TEST(DescriptionView, ShowsTheFirst4096CharactersOfTheCodePage) {
    EXPECT_EQ("Disk full.\r\nRetry later.", ShownDescription("Disk full.\r\nRetry later.", SingleByteCodePage()));
    EXPECT_EQ(std::string(4096, 'x'), ShownDescription(std::string(5000, 'x').c_str(), SingleByteCodePage()));
    // Under Shift-JIS a double-byte character is one character, never cut in two.
    std::string japanese = "a";
    for (int i = 0; i < 4200; ++i) japanese += "\x82\xa0";
    EXPECT_EQ(japanese.substr(0, 1 + 4095 * 2), ShownDescription(japanese.c_str(), ShiftJisCodePage()));
    EXPECT_EQ(japanese.substr(0, 4096), ShownDescription(japanese.c_str(), SingleByteCodePage()));
    // A lead byte right before the terminator stands alone.
    EXPECT_EQ("ab\x82", ShownDescription("ab\x82", ShiftJisCodePage()));
    // descriptionLength 0: the bytes after the fixed part are data, not text.
    const uint8_t data[3] = {'d', 'a', 't'};
    EXPECT_EQ("", ShownDescription(nullptr, SingleByteCodePage(), data, 3, true));
}

}  // namespace
