#include "logfile/log_settings_dialog.h"

namespace {

// The spin arrows and OK both keep the size to whole 64-kilobyte steps.
constexpr uint32_t kStepKilobytes = 64;

}  // namespace

uint32_t LogSizeKilobytes(uint32_t maxLogSize) { return maxLogSize / 1024; }

int StepLogKilobytes(uint32_t kilobytes, int scrollCode, uint32_t* stepped) {
    uint32_t m;
    if (scrollCode == kLogSizeSpinUp) {
        m = kilobytes >= kMaxLogKilobytes - kStepKilobytes ? kMaxLogKilobytes : kilobytes + kStepKilobytes;
    } else if (scrollCode == kLogSizeSpinDown) {
        if (kilobytes <= kMinLogKilobytes + kStepKilobytes) {
            m = kMinLogKilobytes;
        } else if (kilobytes >= kMaxLogKilobytes + kStepKilobytes) {
            m = kMaxLogKilobytes;   // a typed value above the range comes back to its top
        } else {
            m = kilobytes - kStepKilobytes;
        }
    } else {
        return 0;
    }
    *stepped = m / kStepKilobytes * kStepKilobytes;
    return 1;
}

int CheckLogKilobytes(uint32_t kilobytes, bool isNumber, uint32_t* bytes) {
    // Read back as signed, a value that wrapped from a negative text stays out of range.
    const int32_t n = int32_t(kilobytes);
    if (!isNumber || n < int32_t(kMinLogKilobytes) || n > int32_t(kMaxLogKilobytes)) return kMsgMaxLogSizeNotSet;
    *bytes = kilobytes / kStepKilobytes * (kStepKilobytes * 1024);
    return 0;
}
