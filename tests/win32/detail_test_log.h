// Hand-made logs for the dialog tests, with the texts Event Detail shows for them.
#pragma once

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "dialogs/printing.h"

#include "tools/log_writer.h"

// The rows from the top of the list (newest first).
enum DetailRow {
    kRowLetters,       // 19 bytes "A".."S", Error, HALDOR/TOLVA, a two-line description
    kRowControlBytes,  // 00 01 02 41 0A FF 20 7F 09, Warning, the setup tool, a text like rich text
    kRowNoData,        // no data, descriptionLength 0, Information, an unknown module
    kRowJapanese,      // a Shift-JIS description; 41 82 A0 42 43 44 45 82 A0 82
    kRowLong,          // 70,000 bytes '0'..'9' repeated, a 5,000-character description
    kDetailRowCount
};

// A log of the records, oldest first, laid out one after another from the
// record area's start (each record's link is set). 1 on success.
int WriteRecordsLog(const char* path, RecordSpec* records, int count);

// Writes the log (not a live one: name it DETAIL.EVT). 1 on success.
int WriteDetailLog(const char* path);

// Six events around the two-digit year's turn and at its ends, both PERN modules. 1 on success.
int WriteFilterTestLog(const char* path);

// Row r's time field; every row is dated 2001/02/03, shown as "01/02/03".
std::string DetailRowTime(int row);

// The descriptions as stored, and the dumps the data view shows.
extern const char kLettersDescription[], kControlBytesDescription[], kJapaneseDescription[];
extern const char kLettersByteDump[], kLettersWordDump[];   // 19 bytes, Byte and Word layout
extern const char kControlBytesDump[];                      // the 9 bytes, Byte layout
// kRowJapanese in Byte layout: under code page 932 a lead byte ending a line shows as ".".
extern const char kJapaneseRowDump932[];

// A view's lines, as much of each as the printout reads.
inline ViewLines View(const std::vector<std::string>& lines) {
    return ViewLines{const_cast<std::vector<std::string>*>(&lines), int(lines.size()), [](void* c, int i, char* buffer) {
                         const std::string& s = (*static_cast<std::vector<std::string>*>(c))[size_t(i)];
                         const size_t n = std::min<size_t>(s.size(), kViewLineReadSize);
                         memcpy(buffer, s.data(), n);
                         return int(n);
                     }};
}
