#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "eventlist/filter_dialog.h"

namespace {

StampFields Fields(const char* y, const char* mo, const char* d, const char* h, const char* mi, const char* s) {
    StampFields f = {};
    const char* texts[kStampFieldCount] = {y, mo, d, h, mi, s};
    for (int i = 0; i < kStampFieldCount; ++i) snprintf(f.text[i], kFieldTextSize, "%s", texts[i]);
    return f;
}

struct Range {
    ViewRange r = {};
    Range(const char* from, const char* through) {
        memcpy(r.from, from, kStampSize);
        memcpy(r.through, through, kStampSize);
    }
    std::string Texts() const { return std::string(r.from, kStampSize) + "-" + std::string(r.through, kStampSize); }
};

TEST(FilterDialogFields, NumbersAreDigitsAfterOptionalBlanks) {
    uint32_t v = 99;
    for (const char* good : {"07", " 7", "\t7"}) {
        EXPECT_EQ(ParseFieldNumber(good, &v), 1) << good;
        EXPECT_EQ(v, 7u);
    }
    // Shift-JIS full-width digit one (0x82 0x50) and a character whose
    // second byte is the digit 5 (0x83 0x35) are not numbers.
    for (const char* bad : {"", "  ", "1a", "5 ", "-1", "+1", "\x82\x50", "1\x83\x35"}) {
        v = 99;
        EXPECT_EQ(ParseFieldNumber(bad, &v), 0) << '"' << bad << '"';
        EXPECT_EQ(v, 0u) << '"' << bad << '"';
    }
}

TEST(FilterDialogFields, SpinStopsAtTheRangesEndsWithoutWrapping) {
    constexpr FieldRange kDay = {1, 31}, kYear = {0, 99};
    const struct {
        uint32_t value;
        int code;
        FieldRange range;
        uint32_t stepped;
    } cases[] = {
        {31, kSpinUp, kDay, 31},    {30, kSpinUp, kDay, 31},    {1, kSpinDown, kDay, 1},
        {2, kSpinDown, kDay, 1},    {0, kSpinDown, kDay, 1},    {0, kSpinUp, kDay, 1},
        {0, kSpinDown, kYear, 0},   {99, kSpinUp, kYear, 99},
        {45, kSpinUp, kDay, 31},    {45, kSpinDown, kDay, 31},   // a typed 45 comes back to 31
        {45, 2, kDay, 45},          {45, 5, kDay, 45},          {45, 8, kDay, 45},   // page, thumb, end
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.stepped, StepFieldValue(c.value, c.code, c.range)) << c.value << " " << c.code;
    }
}

TEST(FilterDialogCheck, TwoDigitYearsTurnBetweenEightyNineAndNinety) {
    // 90 is 1990 and 89 is 2089.
    Range r("xx90/01/0100:00:00", "xx89/12/3123:59:59");
    StampFields start = Fields("90", "01", "01", "00", "00", "00");
    StampFields end = Fields("89", "12", "31", "23", "59", "59");
    EXPECT_EQ(CheckStampFields(&start, &end, &r.r), 1);
    EXPECT_EQ(r.Texts(), "1990/01/0100:00:00-2089/12/3123:59:59");

    // 00 is 2000 and 99 is 1999: refused, and no century is written.
    r = Range("xx00/01/0100:00:00", "xx99/12/3123:59:59");
    start = Fields("00", "01", "01", "00", "00", "00");
    end = Fields("99", "12", "31", "23", "59", "59");
    EXPECT_EQ(CheckStampFields(&start, &end, &r.r), 2);
    EXPECT_EQ(r.Texts(), "xx00/01/0100:00:00-xx99/12/3123:59:59");

    // A side alone gets its century too.
    EXPECT_EQ(CheckStampFields(&end, nullptr, &r.r), 1);
    EXPECT_EQ(r.Texts(), "1900/01/0100:00:00-xx99/12/3123:59:59");
}

TEST(FilterDialogCheck, StartAfterEndIsComparedFieldByFieldDownToTheSecond) {
    ViewRange r = {};
    const StampFields ten = Fields("05", "06", "15", "10", "00", "00");
    const StampFields nine = Fields("05", "06", "15", "09", "00", "00");
    const StampFields oneSecondLater = Fields("05", "06", "15", "10", "00", "01");
    const StampFields janEnd = Fields("05", "01", "31", "23", "00", "00");
    const StampFields febStart = Fields("05", "02", "01", "00", "00", "00");
    EXPECT_EQ(CheckStampFields(&ten, &nine, &r), 2);
    EXPECT_EQ(CheckStampFields(&nine, &ten, &r), 1);
    EXPECT_EQ(CheckStampFields(&ten, &ten, &r), 1);
    EXPECT_EQ(CheckStampFields(&oneSecondLater, &ten, &r), 2);
    // The month decides before the day, the day before the hour.
    EXPECT_EQ(CheckStampFields(&janEnd, &febStart, &r), 1);
    EXPECT_EQ(CheckStampFields(&febStart, &janEnd, &r), 2);
    // Values are not range-checked, and blanks before them are fine.
    const StampFields odd = Fields(" 5", "13", "32", "24", "60", "99");
    EXPECT_EQ(CheckStampFields(&odd, nullptr, &r), 1);
}

TEST(FilterDialogCheck, FieldThatIsNotANumberFailsOnlyOnAGivenSide) {
    Range r("xx05/06/1510:00:00", "xx05/06/1509:00:00");
    const StampFields good = Fields("05", "06", "15", "10", "00", "00");
    const StampFields empty = Fields("05", "06", "15", "", "00", "00");
    const StampFields letter = Fields("05", "06", "15", "09", "0x", "00");
    EXPECT_EQ(CheckStampFields(&empty, nullptr, &r.r), 0);
    EXPECT_EQ(CheckStampFields(&good, &letter, &r.r), 0);   // before the start-after-end test
    EXPECT_EQ(CheckStampFields(nullptr, &letter, &r.r), 0);
    EXPECT_EQ(r.Texts(), "xx05/06/1510:00:00-xx05/06/1509:00:00");
    EXPECT_EQ(CheckStampFields(&good, nullptr, &r.r), 1);
    EXPECT_EQ(CheckStampFields(nullptr, &good, &r.r), 1);
}

TEST(FilterDialogStore, FieldTextsGoToTheirStampCharacters) {
    char stamp[kStampSize];
    memcpy(stamp, "1990/01/0100:00:00", kStampSize);
    StoreStampFields(Fields("5", "6", "15", "9", "30", "7"), stamp);
    EXPECT_EQ(std::string(stamp, kStampSize), "1905/06/1509:30:07");
    StoreStampFields(Fields("89", "12", "31", "23", " 5", "59"), stamp);
    EXPECT_EQ(std::string(stamp, kStampSize), "1989/12/3123:05:59");
    StampFields shown;
    StampToFields("2005/06/1509:30:07", &shown);
    EXPECT_STREQ(shown.text[0], "05");
    EXPECT_STREQ(shown.text[3], "09");
}

}  // namespace
