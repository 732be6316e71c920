// The Filter dialog's value rules, apart from its window: reading and
// spinning the two-digit fields, the two-digit year, the start-after-end
// refusal and storing the fields into the display window's stamps.
#pragma once

#include <cstdint>

#include "eventlist/filter.h"

// One side's fields in order: year, month, day, hour, minute, second.
constexpr int kStampFieldCount = 6;
constexpr int kFieldTextSize = 16;   // a field holds two characters; a longer text is still read whole

struct StampFields {
    char text[kStampFieldCount][kFieldTextSize];
};

// Where each field's two characters sit in an EventStamp.
constexpr int kStampFieldOffsets[kStampFieldCount] = {2, 5, 8, 10, 13, 16};

// The range each field stops at under the spin arrows.
struct FieldRange {
    uint32_t min;
    uint32_t max;
};
constexpr FieldRange kStampFieldRanges[kStampFieldCount] = {{0, 99}, {1, 12}, {1, 31}, {0, 23}, {0, 59}, {0, 59}};

// The scroll codes that move a field; every other code leaves it alone.
constexpr int kSpinUp = 0;     // SB_LINEUP
constexpr int kSpinDown = 1;   // SB_LINEDOWN

// An unsigned decimal number, blanks allowed before it and nothing after it.
// Returns 1 with the value, or 0 with value 0 for an empty text or anything
// else (a double-byte character included).
int ParseFieldNumber(const char* text, uint32_t* value);

// One click of a spin arrow on a field's value: up and down stop at the
// range's ends instead of wrapping, and a value above the range comes back
// to its maximum in either direction.
uint32_t StepFieldValue(uint32_t value, int scrollCode, FieldRange range);

// Two-digit years: 90 to 99 are 1990 to 1999, 00 to 89 are 2000 to 2089.
uint32_t FullYear(uint32_t twoDigitYear);

// The OK check of the fields of each side that is a given date (null for a
// side that is the first or last event). Returns 1 when good, having written
// each given side's century into characters 0 and 1 of range->from or
// range->through; 0 (message 216) when a field is not a number; 2 (message
// 223) when the start lies after the end.
int CheckStampFields(const StampFields* from, const StampFields* through, ViewRange* range);

// Writes each field into its two characters of the stamp: a number below 100
// as two digits (so "5" and " 5" become "05"), any other text as its first
// two characters.
void StoreStampFields(const StampFields& fields, char stamp[kStampSize]);

// The fields' texts as a stamp shows them.
void StampToFields(const char stamp[kStampSize], StampFields* fields);
