#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "eventlist/filter_dialog.h"

namespace {

// Fields from "yy/mm/dd hh:mm:ss", each "_" an empty field.
StampFields Fields(const char* stamp) {
    StampFields f = {};
    char(&t)[kStampFieldCount][kFieldTextSize] = f.text;
    sscanf(stamp, "%2[^/]/%2[^/]/%2[^ ] %2[^:]:%2[^:]:%2s", t[0], t[1], t[2], t[3], t[4], t[5]);
    for (char* text : t) text[0] = text[0] == '_' ? '\0' : text[0];
    return f;
}

// Checks the sides and returns the result with the range as it is afterwards.
std::string Check(const char* start, const char* end, const char* from = "xx00/00/0000:00:00",
                  const char* through = "xx00/00/0000:00:00") {
    ViewRange r = {};
    memcpy(r.from, from, kStampSize);
    memcpy(r.through, through, kStampSize);
    const StampFields s = Fields(start ? start : ""), e = Fields(end ? end : "");
    const int result = CheckStampFields(start ? &s : nullptr, end ? &e : nullptr, &r);
    return std::to_string(result) + " " + std::string(r.from, kStampSize) + "-" + std::string(r.through, kStampSize);
}

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
        {31, kSpinUp, kDay, 31}, {30, kSpinUp, kDay, 31}, {1, kSpinDown, kDay, 1}, {2, kSpinDown, kDay, 1},
        {0, kSpinDown, kDay, 1}, {0, kSpinUp, kDay, 1},   {0, kSpinDown, kYear, 0}, {99, kSpinUp, kYear, 99},
        {45, kSpinUp, kDay, 31}, {45, kSpinDown, kDay, 31},   // a typed 45 comes back to 31
        {45, 2, kDay, 45},       {45, 5, kDay, 45},       {45, 8, kDay, 45},   // page, thumb, end of scroll
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.stepped, StepFieldValue(c.value, c.code, c.range)) << c.value << " " << c.code;
    }
}

TEST(FilterDialogCheck, TwoDigitYearsTurnBetweenEightyNineAndNinety) {
    // Only the century is written: 90 is 1990 and 89 is 2089; 00 is 2000 and
    // 99 is 1999, so that start is refused and no century is written.
    EXPECT_EQ(Check("90/01/01 00:00:00", "89/12/31 23:59:59"), "1 1900/00/0000:00:00-2000/00/0000:00:00");
    EXPECT_EQ(Check("00/01/01 00:00:00", "99/12/31 23:59:59"), "2 xx00/00/0000:00:00-xx00/00/0000:00:00");
    EXPECT_EQ(Check("99/12/31 23:59:59", nullptr), "1 1900/00/0000:00:00-xx00/00/0000:00:00");   // a side alone
}

TEST(FilterDialogCheck, StartAfterEndIsComparedFieldByFieldDownToTheSecond) {
    EXPECT_EQ(Check("05/06/15 10:00:00", "05/06/15 09:00:00")[0], '2');
    EXPECT_EQ(Check("05/06/15 09:00:00", "05/06/15 10:00:00")[0], '1');
    EXPECT_EQ(Check("05/06/15 10:00:00", "05/06/15 10:00:00")[0], '1');
    EXPECT_EQ(Check("05/06/15 10:00:01", "05/06/15 10:00:00")[0], '2');
    // The month decides before the day, the day before the hour.
    EXPECT_EQ(Check("05/01/31 23:00:00", "05/02/01 00:00:00")[0], '1');
    EXPECT_EQ(Check("05/02/01 00:00:00", "05/01/31 23:00:00")[0], '2');
    // Values are not range-checked, and blanks before them are fine.
    EXPECT_EQ(Check(" 5/13/32 24:60:99", nullptr)[0], '1');
}

TEST(FilterDialogCheck, FieldThatIsNotANumberFailsOnlyOnAGivenSide) {
    const char* range = "0 xx05/06/1510:00:00-xx05/06/1509:00:00";
    const char* from = range + 2;
    const char* through = range + 21;
    EXPECT_EQ(Check("05/06/15 _:00:00", nullptr, from, through), range);
    EXPECT_EQ(Check("05/06/15 10:00:00", "05/06/15 09:0x:00", from, through), range);   // before start-after-end
    EXPECT_EQ(Check(nullptr, "05/06/15 09:0x:00", from, through), range);
    EXPECT_EQ(Check("05/06/15 10:00:00", nullptr)[0], '1');
    EXPECT_EQ(Check(nullptr, "05/06/15 10:00:00")[0], '1');
}

TEST(FilterDialogStore, FieldTextsGoToTheirStampCharacters) {
    char stamp[kStampSize];
    memcpy(stamp, "1990/01/0100:00:00", kStampSize);
    StoreStampFields(Fields("5/6/15 9:30:7"), stamp);
    EXPECT_EQ(std::string(stamp, kStampSize), "1905/06/1509:30:07");
    StoreStampFields(Fields("89/12/31 23: 5:59"), stamp);
    EXPECT_EQ(std::string(stamp, kStampSize), "1989/12/3123:05:59");
}

}  // namespace
