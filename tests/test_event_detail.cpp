#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/event_detail.h"

namespace {

std::string ByteDumpOf(const std::vector<uint8_t>& data, int32_t length) {
    std::vector<char> out(kWorkBufferSize);
    size_t n = FormatByteDump(data.data(), length, out.data());
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

}  // namespace
