// The text of the Event Detail dialog that needs no window: the two layouts
// of the data dump.
#pragma once

#include <cstddef>
#include <cstdint>

// The dump text buffer: 8192 full Byte lines of 45 bytes.
constexpr size_t kWorkBufferSize = 0x5A000;
// Only the first 65535 data bytes are dumped, which keeps every dump inside the buffer.
constexpr int32_t kMaxDumpBytes = 65535;

// Eight bytes a line, a character column from position 35. dataLength is read
// as a signed value: 0 or below dumps nothing. Writes a zero-terminated text
// into out (kWorkBufferSize bytes) and returns its length.
size_t FormatByteDump(const uint8_t* data, int32_t dataLength, char* out);

// Sixteen bytes a line in four little-endian 32-bit groups, no character column.
size_t FormatWordDump(const uint8_t* data, int32_t dataLength, char* out);
