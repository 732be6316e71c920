// The Log Settings dialog's value rules, apart from its window: the kilobytes
// shown for a maximum log size, one click of the spin arrows, and OK's check
// of the typed value.
#pragma once

#include <cstdint>

// The value box takes at most this many characters: 1048576 is the largest.
constexpr int kLogSizeTextLimit = 7;
constexpr uint32_t kMinLogKilobytes = 64;
constexpr uint32_t kMaxLogKilobytes = 1048576;
constexpr uint32_t kDefaultLogKilobytes = 64;   // what the Default button shows
constexpr int kMsgMaxLogSizeNotSet = 215;

// The scroll codes that step the value; every other code leaves it alone.
constexpr int kLogSizeSpinUp = 0;     // SB_LINEUP
constexpr int kLogSizeSpinDown = 1;   // SB_LINEDOWN

// A maximum log size in bytes as the whole kilobytes the dialog shows.
uint32_t LogSizeKilobytes(uint32_t maxLogSize);

// One click of a spin arrow on the shown kilobytes (0 when the text is not a
// number): 64 up or down, stopping at 64 and 1048576, and always a multiple
// of 64. Returns 1 with the new value, 0 when the code is no arrow's (the text
// stays as it is).
int StepLogKilobytes(uint32_t kilobytes, int scrollCode, uint32_t* stepped);

// OK's check of the value as GetDlgItemInt read it (unsigned, with its success
// flag). Returns 0 with the bytes to write, the largest multiple of 64
// kilobytes not above it, or kMsgMaxLogSizeNotSet for a text that is not a
// number from 64 to 1048576.
int CheckLogKilobytes(uint32_t kilobytes, bool isNumber, uint32_t* bytes);
