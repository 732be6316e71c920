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

ViewRange RangeOf(const char* from, const char* through) {
    ViewRange r = {};
    memcpy(r.from, from, kStampSize);
    memcpy(r.through, through, kStampSize);
    return r;
}

std::string Text(const char* stamp) { return std::string(stamp, kStampSize); }

constexpr FieldRange kDay = {1, 31};
constexpr FieldRange kYear = {0, 99};

}  // namespace

TEST(FilterDialogFields, NumbersAreDigitsAfterOptionalBlanks) {
    uint32_t v = 99;
    EXPECT_EQ(ParseFieldNumber("07", &v), 1);
    EXPECT_EQ(v, 7u);
    EXPECT_EQ(ParseFieldNumber(" 5", &v), 1);
    EXPECT_EQ(v, 5u);
    EXPECT_EQ(ParseFieldNumber("\t12", &v), 1);
    EXPECT_EQ(v, 12u);
    for (const char* bad : {"", "  ", "a", "1a", "5 ", "-1", "+1"}) {
        v = 99;
        EXPECT_EQ(ParseFieldNumber(bad, &v), 0) << '"' << bad << '"';
        EXPECT_EQ(v, 0u) << '"' << bad << '"';
    }
    // Shift-JIS full-width digit one (0x82 0x50) and a character whose
    // second byte is the digit 5 (0x83 0x35) are not numbers.
    EXPECT_EQ(ParseFieldNumber("\x82\x50", &v), 0);
    EXPECT_EQ(ParseFieldNumber("\x83\x35", &v), 0);
    EXPECT_EQ(ParseFieldNumber("1\x83\x35", &v), 0);
}

TEST(FilterDialogFields, SpinStopsAtTheRangesEndsWithoutWrapping) {
    EXPECT_EQ(StepFieldValue(31, kSpinUp, kDay), 31u);
    EXPECT_EQ(StepFieldValue(30, kSpinUp, kDay), 31u);
    EXPECT_EQ(StepFieldValue(1, kSpinDown, kDay), 1u);
    EXPECT_EQ(StepFieldValue(2, kSpinDown, kDay), 1u);
    EXPECT_EQ(StepFieldValue(0, kSpinDown, kDay), 1u);
    EXPECT_EQ(StepFieldValue(0, kSpinUp, kDay), 1u);
    EXPECT_EQ(StepFieldValue(0, kSpinDown, kYear), 0u);
    EXPECT_EQ(StepFieldValue(99, kSpinUp, kYear), 99u);
    // A typed 45 comes back to the day's 31 in either direction.
    EXPECT_EQ(StepFieldValue(45, kSpinUp, kDay), 31u);
    EXPECT_EQ(StepFieldValue(45, kSpinDown, kDay), 31u);
    // Page, thumb and end-of-scroll codes leave the value alone.
    for (int code : {2, 3, 4, 5, 8}) EXPECT_EQ(StepFieldValue(45, code, kDay), 45u) << code;
}

TEST(FilterDialogCheck, TwoDigitYearsTurnBetweenEightyNineAndNinety) {
    // 90 is 1990 and 89 is 2089.
    ViewRange r = RangeOf("xx90/01/0100:00:00", "xx89/12/3123:59:59");
    StampFields start = Fields("90", "01", "01", "00", "00", "00");
    StampFields end = Fields("89", "12", "31", "23", "59", "59");
    EXPECT_EQ(CheckStampFields(&start, &end, &r), 1);
    EXPECT_EQ(Text(r.from), "1990/01/0100:00:00");
    EXPECT_EQ(Text(r.through), "2089/12/3123:59:59");

    // 00 is 2000 and 99 is 1999: refused, and no century is written.
    r = RangeOf("xx00/01/0100:00:00", "xx99/12/3123:59:59");
    start = Fields("00", "01", "01", "00", "00", "00");
    end = Fields("99", "12", "31", "23", "59", "59");
    EXPECT_EQ(CheckStampFields(&start, &end, &r), 2);
    EXPECT_EQ(Text(r.from), "xx00/01/0100:00:00");
    EXPECT_EQ(Text(r.through), "xx99/12/3123:59:59");

    // A side alone gets its century too.
    EXPECT_EQ(CheckStampFields(&end, nullptr, &r), 1);
    EXPECT_EQ(Text(r.from), "1900/01/0100:00:00");
    EXPECT_EQ(Text(r.through), "xx99/12/3123:59:59");
}

TEST(FilterDialogCheck, StartAfterEndIsComparedFieldByFieldDownToTheSecond) {
    ViewRange r = {};
    const StampFields ten = Fields("05", "06", "15", "10", "00", "00");
    const StampFields nine = Fields("05", "06", "15", "09", "00", "00");
    EXPECT_EQ(CheckStampFields(&ten, &nine, &r), 2);
    EXPECT_EQ(CheckStampFields(&nine, &ten, &r), 1);
    EXPECT_EQ(CheckStampFields(&ten, &ten, &r), 1);
    const StampFields oneSecondLater = Fields("05", "06", "15", "10", "00", "01");
    EXPECT_EQ(CheckStampFields(&oneSecondLater, &ten, &r), 2);
    // The month decides before the day, the day before the hour.
    const StampFields janEnd = Fields("05", "01", "31", "23", "00", "00");
    const StampFields febStart = Fields("05", "02", "01", "00", "00", "00");
    EXPECT_EQ(CheckStampFields(&janEnd, &febStart, &r), 1);
    EXPECT_EQ(CheckStampFields(&febStart, &janEnd, &r), 2);
    // Values are not range-checked, and blanks before them are fine.
    const StampFields odd = Fields(" 5", "13", "32", "24", "60", "99");
    EXPECT_EQ(CheckStampFields(&odd, nullptr, &r), 1);
}

TEST(FilterDialogCheck, FieldThatIsNotANumberFailsOnlyOnAGivenSide) {
    ViewRange r = RangeOf("xx05/06/1510:00:00", "xx05/06/1509:00:00");
    const StampFields good = Fields("05", "06", "15", "10", "00", "00");
    const StampFields earlier = Fields("05", "06", "15", "09", "00", "00");
    const StampFields empty = Fields("05", "06", "15", "", "00", "00");
    const StampFields letter = Fields("05", "06", "15", "09", "0x", "00");
    EXPECT_EQ(CheckStampFields(&empty, nullptr, &r), 0);
    EXPECT_EQ(CheckStampFields(&good, &letter, &r), 0);   // before the start-after-end test
    EXPECT_EQ(CheckStampFields(nullptr, &letter, &r), 0);
    EXPECT_EQ(Text(r.from), "xx05/06/1510:00:00");
    EXPECT_EQ(Text(r.through), "xx05/06/1509:00:00");
    EXPECT_EQ(CheckStampFields(&good, nullptr, &r), 1);
    EXPECT_EQ(CheckStampFields(nullptr, &earlier, &r), 1);
}

TEST(FilterDialogStore, FieldTextsGoToTheirStampCharacters) {
    char stamp[kStampSize];
    memcpy(stamp, "1990/01/0100:00:00", kStampSize);
    StoreStampFields(Fields("5", "6", "15", "9", "30", "7"), stamp);
    EXPECT_EQ(Text(stamp), "1905/06/1509:30:07");
    StoreStampFields(Fields("89", "12", "31", "23", " 5", "59"), stamp);
    EXPECT_EQ(Text(stamp), "1989/12/3123:05:59");

    StampFields shown;
    StampToFields("2005/06/1509:30:07", &shown);
    EXPECT_STREQ(shown.text[0], "05");
    EXPECT_STREQ(shown.text[3], "09");
    EXPECT_STREQ(shown.text[5], "07");
}
