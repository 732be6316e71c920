#include "cli/cli_output.h"

#include <cstring>

#include "cli/text_out.h"
#include "logfile/log_format.h"

void InitOutput(CliOutput* out, FILE* file, int codePage, bool raw, const EventTable* table) {
    out->file = file;
    out->codePage = codePage;
    out->raw = raw;
    out->table = table;
    out->used = 0;
    out->failed = false;
}

int IsShiftJisText(const uint8_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = text[i];
        if (b < 0x80 || (b >= 0xA1 && b <= 0xDF)) continue;
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        if (!lead || i + 1 == length) return 0;
        const uint8_t t = text[++i];
        if (t < 0x40 || t == 0x7F || t > 0xFC) return 0;
    }
    return 1;
}

int DecideCodePage(const EventTable& table) {
    for (uint32_t i = 0; i < table.loadedCount; ++i) {
        const uint8_t* r = table.entries[i].record;
        const uint8_t* text = RecordDescription(r);
        // The loader has made sure a zero byte ends the text inside its length.
        const size_t length = RecordDescriptionLength(r) ? strlen(reinterpret_cast<const char*>(text)) : 0;
        if (!IsShiftJisText(text, length)) return 1252;
    }
    return 932;
}

int OutputCodePage(CliOutput* out) {
    if (out->codePage == 0) out->codePage = out->table ? DecideCodePage(*out->table) : 1252;
    return out->codePage;
}

namespace {

bool AllAscii(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (uint8_t(text[i]) > 0x7F) return false;
    }
    return true;
}

void WriteBytes(CliOutput* out, const char* text, size_t length) {
    if (out->failed || length == 0) return;
    int ok;
    if (out->raw || AllAscii(text, length)) {
        ok = fwrite(text, 1, length, out->file) == length;
    } else {
        ok = WriteConverted(out->file, OutputCodePage(out), text, length);
    }
    if (!ok) out->failed = true;
}

}  // namespace

int FlushOutput(CliOutput* out) {
    WriteBytes(out, out->block, out->used);
    out->used = 0;
    if (fflush(out->file) != 0) out->failed = true;
    return out->failed ? 0 : 1;
}

void PutText(CliOutput* out, const char* text, size_t length) {
    if (length > kOutputBlockSize - out->used) {
        WriteBytes(out, out->block, out->used);
        out->used = 0;
        if (length > kOutputBlockSize) {
            WriteBytes(out, text, length);
            return;
        }
    }
    memcpy(out->block + out->used, text, length);
    out->used += length;
}

void PutText(CliOutput* out, const char* text) { PutText(out, text, strlen(text)); }

void PutLine(CliOutput* out, const char* text) {
    PutText(out, text);
    PutText(out, "\n", 1);
}
