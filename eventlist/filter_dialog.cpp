#include "eventlist/filter_dialog.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Year, month, day, hour, minute, second with the year in full.
struct StampValues {
    uint32_t v[kStampFieldCount];
    uint32_t twoDigitYear;
};

int ReadSide(const StampFields& fields, StampValues* values) {
    for (int i = 0; i < kStampFieldCount; ++i) {
        if (!ParseFieldNumber(fields.text[i], &values->v[i])) return 0;
    }
    values->twoDigitYear = values->v[0];
    values->v[0] = FullYear(values->v[0]);
    return 1;
}

bool StartsAfter(const StampValues& start, const StampValues& end) {
    for (int i = 0; i < kStampFieldCount; ++i) {
        if (start.v[i] != end.v[i]) return start.v[i] > end.v[i];
    }
    return false;
}

void WriteCentury(uint32_t twoDigitYear, char* stamp) { memcpy(stamp, twoDigitYear >= 90 ? "19" : "20", 2); }

}  // namespace

int ParseFieldNumber(const char* text, uint32_t* value) {
    *value = 0;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    if (!IsDigit(*p)) return 0;
    // A double-byte character stops the walk at its lead byte, which is never
    // a digit, so its second byte is never taken for one.
    uint32_t n = 0;
    for (; IsDigit(*p); ++p) {
        if (n < 100000000) n = n * 10 + uint32_t(*p - '0');
    }
    if (*p != '\0') return 0;
    *value = n;
    return 1;
}

uint32_t StepFieldValue(uint32_t value, int scrollCode, FieldRange range) {
    if (scrollCode == kSpinUp) return value >= range.max ? range.max : value + 1;
    if (scrollCode == kSpinDown) {
        if (value > range.max) return range.max;
        return value <= range.min ? range.min : value - 1;
    }
    return value;
}

uint32_t FullYear(uint32_t twoDigitYear) { return twoDigitYear >= 90 ? 1900 + twoDigitYear : 2000 + twoDigitYear; }

int CheckStampFields(const StampFields* from, const StampFields* through, ViewRange* range) {
    StampValues start = {};
    StampValues end = {};
    if (from != nullptr && !ReadSide(*from, &start)) return 0;
    if (through != nullptr && !ReadSide(*through, &end)) return 0;
    if (from != nullptr && through != nullptr && StartsAfter(start, end)) return 2;
    if (from != nullptr) WriteCentury(start.twoDigitYear, range->from);
    if (through != nullptr) WriteCentury(end.twoDigitYear, range->through);
    return 1;
}

void StoreStampFields(const StampFields& fields, char stamp[kStampSize]) {
    for (int i = 0; i < kStampFieldCount; ++i) {
        const char* text = fields.text[i];
        char* piece = stamp + kStampFieldOffsets[i];
        const size_t length = strlen(text);
        uint32_t value = 0;
        // A number with a blank before it (" 3") is stored as its two digits:
        // a blank in the stamp would sort before "00" and move the bound.
        if (ParseFieldNumber(text, &value) && value < 100) {
            piece[0] = char('0' + value / 10);
            piece[1] = char('0' + value % 10);
        } else if (length == 1) {
            piece[0] = '0';
            piece[1] = text[0];
        } else if (length >= 2) {
            memcpy(piece, text, 2);
        }
    }
}

void StampToFields(const char stamp[kStampSize], StampFields* fields) {
    for (int i = 0; i < kStampFieldCount; ++i) {
        memcpy(fields->text[i], stamp + kStampFieldOffsets[i], 2);
        fields->text[i][2] = '\0';
    }
}
