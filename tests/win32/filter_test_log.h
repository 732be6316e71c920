// The small log the Filter dialog's tests open: six events whose stamps sit
// on both sides of the two-digit year's turn (1999/2000) and at its ends
// (1990, 2089), two of them in the same hour, with both "HALDOR/PERN" modules.
#pragma once

#include <string>

#include "tests/win32/detail_test_log.h"

// Writes the six events, oldest first, as a PERN log (its saved conditions the defaults).
inline bool WriteFilterTestLog(const std::string& path) {
    const struct {
        uint16_t year, month, day, hour, minute, second;
        uint32_t moduleCode;
        uint16_t type;
    } events[6] = {
        {1990, 1, 1, 0, 0, 0, 0, kTypeError},            // PERN, first module
        {1999, 12, 31, 23, 59, 59, 1, kTypeWarning},     // PERN, second module
        {2000, 1, 1, 0, 0, 0, 2, kTypeInformation},      // TOLVA
        {2005, 6, 15, 9, 30, 0, 1, kTypeInformation},    // PERN, second module
        {2005, 6, 15, 10, 0, 0, 4, kTypeError},          // BORAXLIN
        {2089, 12, 31, 23, 59, 59, 6, kTypeWarning},     // setup tool
    };
    RecordSpec records[6];
    for (int i = 0; i < 6; ++i) {
        const auto& e = events[i];
        records[i].timeStamp = MakeRecordTime(e.year, e.month, e.day, e.hour, e.minute, e.second);
        records[i].moduleCode = e.moduleCode;
        records[i].type = e.type;
        records[i].text = "Filter test event";
    }
    return WriteRecordsLog(path.c_str(), records, 6) == 1;
}
