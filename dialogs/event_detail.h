// The text of the Event Detail dialog that needs no window: what each field
// shows, the part of the description the view takes, and the two layouts of
// the data dump.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/ansi_text.h"
#include "logfile/event_table.h"
#include "logfile/log_format.h"

// The dump text buffer: 8192 full Byte lines of 45 bytes.
constexpr size_t kWorkBufferSize = 0x5A000;
// Only the first 65535 data bytes are dumped, which keeps every dump inside the buffer.
constexpr int32_t kMaxDumpBytes = 65535;

// The texts of the six value fields of one event.
struct DetailFields {
    const char* date;        // yy/mm/dd: the entry's yyyy/mm/dd without the century
    const char* time;
    const char* computer;
    const char* component;   // with the name table's trailing blanks
    const char* module;
    const char* type;        // "" for a type code without a name
};
DetailFields EventDetailFields(const EventEntry& e);

// The description view shows at most this many characters of the code page.
constexpr size_t kShownDescriptionChars = 4096;
constexpr size_t kShownDescriptionSize = 2 * kShownDescriptionChars + 1;

// Copies the record's description, cut after its first 4096 characters
// (never inside a double-byte character), into out (kShownDescriptionSize
// bytes), zero-terminated; returns its length. An empty description
// (descriptionLength 0) gives "".
size_t CopyShownDescription(const uint8_t* record, const AnsiCodePage& page, char* out);

// The record has data bytes to dump.
inline bool EventHasData(const uint8_t* record) { return RecordDataLength(record) != 0; }

// Eight bytes a line, a character column from position 35. dataLength is read
// as a signed value: 0 or below dumps nothing. Writes a zero-terminated text
// into out (kWorkBufferSize bytes) and returns its length. In the character
// column a lead byte of page whose second byte would be on the next line is
// shown as ".", like a zero byte: joined with the CR it would take the line
// end into one double-byte character.
size_t FormatByteDump(const uint8_t* data, int32_t dataLength, char* out,
                      const AnsiCodePage& page = SingleByteCodePage());

// Sixteen bytes a line in four little-endian 32-bit groups, no character column.
size_t FormatWordDump(const uint8_t* data, int32_t dataLength, char* out);

enum DumpLayout { kDumpByte, kDumpWord };

// The dump of a record's data in one layout, its dataLength read as signed.
size_t FormatEventDump(const uint8_t* record, DumpLayout layout, const AnsiCodePage& page, char* out);
