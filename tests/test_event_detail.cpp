#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/event_detail.h"
#include "eventlist/filter.h"
#include "tests/win32/detail_test_log.h"
#include "tools/log_writer.h"

namespace {

std::string Dump(const std::vector<uint8_t>& data, uint32_t layout = kDumpByte,
                 const AnsiCodePage& page = SingleByteCodePage(), int32_t length = -1) {
    std::vector<char> out(kWorkBufferSize);
    if (length < 0) length = int32_t(data.size());
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
    // A lead byte closing a line would take the CR of the line end as its
    // second byte in the view; pairs are taken from the start of the line.
    const std::vector<uint8_t> japanese = {0x41, 0x82, 0xA0, 0x42, 0x43, 0x44, 0x45, 0x82, 0xA0, 0x82};
    EXPECT_EQ(kJapaneseRowDump932, Dump(japanese, kDumpByte, ShiftJisCodePage()));
    EXPECT_EQ(kJapaneseRowDumpSingleByte, Dump(japanese));
    EXPECT_EQ("\x82\x82\x82\x82\x82\x82\x82\x82", Dump(std::vector<uint8_t>(8, 0x82), kDumpByte,
                                                      ShiftJisCodePage()).substr(35));
    // A short last Word group keeps its eight-digit field.
    const std::string head = "0000: 04030201 08070605 0C0B0A09 100F0E0D\r\n";
    EXPECT_EQ(head + "0010:       11", Dump(Counting(1, 17), kDumpWord));
    EXPECT_EQ(head + "0010: 14131211", Dump(Counting(1, 20), kDumpWord));
}

TEST(Dumps, RecordDataLengthIsReadAsSignedAndCutAt65535) {
    std::vector<uint8_t> data(70000, 0x30);
    RecordSpec spec;
    spec.text = "x";
    spec.data = data.data();
    spec.dataByteCount = uint32_t(data.size());
    LogImage image;
    PlaceRecord(&image, 0, spec);
    std::vector<char> out(kWorkBufferSize);
    // 8191 full Byte lines, then seven bytes; the last line starts at FFF8.
    EXPECT_EQ(8191u * 45 + 5 + 7 * 3 + 9 + 7,
              FormatEventDump(image.bytes.data(), kDumpByte, SingleByteCodePage(), out.data()));
    EXPECT_EQ(std::string("FFF8:"), std::string(out.data() + 8191 * 45, 5));
    // 4096 Word lines of 41 characters; the last one's final group holds 3 bytes.
    EXPECT_EQ(4096u * 43 - 2, FormatEventDump(image.bytes.data(), kDumpWord, SingleByteCodePage(), out.data()));
    PutU32(image.bytes.data() + 28, 0x80000000u);   // a length with the top bit set dumps nothing
    EXPECT_EQ(0u, FormatEventDump(image.bytes.data(), kDumpByte, SingleByteCodePage(), out.data()));
    EXPECT_EQ('\0', out[0]);
}

TEST(DetailFields, DateLosesTheCenturyAndNamesComeFromTheTables) {
    EventEntry e = {};
    snprintf(e.date, sizeof e.date, "2001/02/03");
    const struct {
        uint16_t type, component, module;
        const char* shown;   // date, type, component and module
    } cases[] = {{kTypeWarning, 2, 3, "01/02/03|Warning  |HALDOR/TOLVA          |HALDOR/TOLVA"},
                 {3, 5, 7, "01/02/03||unknown               |unknown"}};
    for (const auto& c : cases) {
        e.type = c.type;
        e.component = c.component;
        e.module = c.module;
        const DetailFields f = EventDetailFields(e);
        EXPECT_EQ(c.shown, std::string(f.date) + "|" + f.type + "|" + f.component + "|" + f.module);
    }
}

std::string ShownDescription(const char* text, const AnsiCodePage& page = SingleByteCodePage()) {
    RecordSpec spec;
    spec.text = text;
    const uint8_t data[3] = {'d', 'a', 't'};
    spec.data = data;   // with descriptionLength 0 these bytes are data, not text
    spec.dataByteCount = text ? 0 : 3;
    LogImage image;
    PlaceRecord(&image, 0, spec);
    std::vector<char> out(kShownDescriptionSize + 16, '#');
    const size_t n = CopyShownDescription(image.bytes.data(), page, out.data());
    EXPECT_EQ(n, strlen(out.data()));
    return std::string(out.data(), n);
}

TEST(DescriptionView, ShowsTheFirst4096CharactersOfTheCodePage) {
    EXPECT_EQ(kLettersDescription, ShownDescription(kLettersDescription));
    EXPECT_EQ(std::string(4096, 'x'), ShownDescription(std::string(5000, 'x').c_str()));
    // Under Shift-JIS a double-byte character is one character, never cut in two.
    std::string japanese = "a";
    for (int i = 0; i < 4200; ++i) japanese += "\x82\xa0";
    EXPECT_EQ(japanese.substr(0, 1 + 4095 * 2), ShownDescription(japanese.c_str(), ShiftJisCodePage()));
    EXPECT_EQ(japanese.substr(0, 4096), ShownDescription(japanese.c_str()));
    EXPECT_EQ("ab\x82", ShownDescription("ab\x82", ShiftJisCodePage()));   // a lead byte before the zero
    EXPECT_EQ("", ShownDescription(nullptr));
}

}  // namespace
