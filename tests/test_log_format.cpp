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

}  // namespace
