// The small log the Filter dialog's tests open: six events whose stamps sit
// on both sides of the two-digit year's turn (1999/2000) and at its ends
// (1990, 2089), two of them in the same hour, with both "HALDOR/PERN" modules.
#pragma once

#include <cstdint>
#include <string>

#include "tools/log_writer.h"

struct FilterTestEvent {
    uint16_t year, month, day, hour, minute, second;
    uint32_t moduleCode;
    uint16_t type;
};

// Oldest first; the list shows them newest first.
constexpr FilterTestEvent kFilterTestEvents[6] = {
    {1990, 1, 1, 0, 0, 0, 0, kTypeError},            // PERN, first module
    {1999, 12, 31, 23, 59, 59, 1, kTypeWarning},     // PERN, second module
    {2000, 1, 1, 0, 0, 0, 2, kTypeInformation},      // TOLVA
    {2005, 6, 15, 9, 30, 0, 1, kTypeInformation},    // PERN, second module
    {2005, 6, 15, 10, 0, 0, 4, kTypeError},          // BORAXLIN
    {2089, 12, 31, 23, 59, 59, 6, kTypeWarning},     // setup tool
};

// Writes the six events as a PERN log (its saved conditions the defaults).
inline bool WriteFilterTestLog(const std::string& path) {
    LogImage image;
    InitLogImage(&image, 0, kHeaderSize);
    uint32_t at = kHeaderSize;
    for (const FilterTestEvent& e : kFilterTestEvents) {
        RecordSpec r;
        r.timeStamp = MakeRecordTime(e.year, e.month, e.day, e.hour, e.minute, e.second);
        r.moduleCode = e.moduleCode;
        r.type = e.type;
        r.text = "Filter test event";
        r.link = RecordSpecSize(r);
        at = PlaceRecord(&image, at, r);
    }
    SetRecordAreaEnd(&image, at);
    SetRecordCount(&image, 6);
    SetOldestOffset(&image, kHeaderSize);
    SetWriterOffset(&image, at);
    return WriteLogImage(image, path.c_str()) == 1;
}
