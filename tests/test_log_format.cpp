#include <gtest/gtest.h>

#include <cstring>

#include "logfile/log_format.h"

namespace {

TEST(LogFormat, MagicsAreComparedOverAllSixteenBytes) {
    for (const LogSource& s : kLogSources) {
        uint8_t magic[16] = {};
        memcpy(magic, s.magic, 15);
        EXPECT_TRUE(IsKnownMagic(magic)) << s.magic;
        magic[15] = ' ';   // byte 15 must be the zero byte
        EXPECT_FALSE(IsKnownMagic(magic)) << s.magic;
    }
    uint8_t pern[16] = {};
    memcpy(pern, "PERN.EVT V1.0 ", 14);   // one of the two trailing blanks missing
    EXPECT_FALSE(IsKnownMagic(pern));
    uint8_t lower[16] = {};
    memcpy(lower, "pern.evt v1.0  ", 15);
    EXPECT_FALSE(IsKnownMagic(lower));
}

TEST(LogFormat, HeaderRoundTripsEveryByteAtItsOffset) {
    uint8_t bytes[kHeaderSize];
    for (uint32_t i = 0; i < kHeaderSize; ++i) bytes[i] = uint8_t(i * 7 + 3);
    LogHeader h;
    ReadLogHeader(bytes, &h);
    EXPECT_EQ(GetU16(bytes + 30), h.recordAreaStart);
    EXPECT_EQ(GetU32(bytes + 32), h.maxLogSize);
    EXPECT_EQ(uint32_t(bytes[32]) | uint32_t(bytes[35]) << 24, h.maxLogSize & 0xFF0000FF);
    EXPECT_EQ(GetU32(bytes + 36), h.recordAreaEnd);
    EXPECT_EQ(GetU32(bytes + 40), h.recordCount);
    EXPECT_EQ(GetU32(bytes + 60), h.oldestOffset);
    EXPECT_EQ(GetU32(bytes + 64), h.writerOffset);
    EXPECT_EQ(GetU32(bytes + 80), h.conditions.moduleIndex);
    EXPECT_EQ(GetU16(bytes + 86), h.conditions.conditionsSaved);
    uint8_t again[kHeaderSize];
    WriteLogHeader(h, again);
    EXPECT_EQ(0, memcmp(bytes, again, kHeaderSize));
}

TEST(LogFormat, RecordFieldsAreLittleEndianAtTheirOffsets) {
    uint8_t bytes[kRecordFixedSize] = {};
    LogRecord r = {};
    r.link = 0x11223344;
    r.timeStamp = {2024, 2, 4, 29, 23, 59, 58, 999};
    r.moduleCode = 6;
    r.dataLength = 70000;
    r.descriptionLength = 513;
    r.type = 2;
    r.wrapToStart = 1;
    WriteLogRecord(r, bytes);
    EXPECT_EQ(0x44, bytes[0]);
    EXPECT_EQ(0x11, bytes[3]);
    EXPECT_EQ(2024, GetU16(bytes + 4));
    EXPECT_EQ(29, GetU16(bytes + 10));
    EXPECT_EQ(6u, RecordModuleCode(bytes));
    EXPECT_EQ(70000u, RecordDataLength(bytes));
    EXPECT_EQ(513, RecordDescriptionLength(bytes));
    EXPECT_EQ(2, RecordType(bytes));
    EXPECT_EQ(1, RecordWrapToStart(bytes));
    LogRecord back;
    ReadLogRecord(bytes, &back);
    EXPECT_EQ(r.link, back.link);
    EXPECT_EQ(r.timeStamp.second, back.timeStamp.second);
}

TEST(LogFormat, ModuleCodesMapToComponentsAndUnknownRows) {
    const uint16_t components[7] = {1, 1, 2, 2, 3, 3, 4};
    for (uint32_t code = 0; code < 7; ++code) {
        uint16_t c, m;
        ClassifyModuleCode(code, &c, &m);
        EXPECT_EQ(components[code], c);
        EXPECT_EQ(code, m);
    }
    for (uint32_t code : {7u, 9u, 0xFFFFFFFFu}) {
        uint16_t c, m;
        ClassifyModuleCode(code, &c, &m);
        EXPECT_EQ(5, c);
        EXPECT_EQ(7, m);
    }
}

}  // namespace
