#include "cli/cli_output.h"

#include <cerrno>
#include <cstdint>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstring>

#include "cli/cli_run.h"

#include "cli/text_out.h"
#include "logfile/loader.h"
#include "logfile/log_format.h"

void InitOutput(CliOutput* out, FILE* file, int codePage, bool raw, const EventTable* table, FILE* notes,
                const char* logName) {
    out->file = file;
    out->codePage = codePage;
    out->raw = raw;
    out->table = table;
    out->countTexts = nullptr;
    out->textSource = nullptr;
    out->tableCounted = false;
    out->votes = CodePageVotes{};
    out->notes = notes;
    out->logName = logName;
    out->used = 0;
    out->failed = false;
    out->readerLeft = false;
    out->logCodePage = nullptr;
    out->logSource = nullptr;
    out->log = out->blockLog = 0;
    out->markCount = 0;
    KeepOnBrokenPipe();
}

void SetLogCodePages(CliOutput* out, int (*codePage)(const void*, uint32_t, FILE*), const void* source) {
    out->logCodePage = codePage;
    out->logSource = source;
}

int LogCodePage(CliOutput* out, uint32_t log) {
    if (out->codePage != 0 || !out->logCodePage) return OutputCodePage(out);
    return out->logCodePage(out->logSource, log, out->notes);
}

void SetTextSource(CliOutput* out, void (*count)(const void*, CodePageVotes*), const void* source) {
    out->countTexts = count;
    out->textSource = source;
}

size_t PlainPrefix(const char* text, size_t length) {
    // Thirty-two bytes a step: words with no zero byte and no high bit are passed whole.
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    size_t i = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= length; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
        if (_mm_movemask_epi8(_mm_or_si128(v, _mm_cmpeq_epi8(v, zero))) != 0) break;
    }
#else
    for (; i + 32 <= length; i += 32) {
        uint64_t w[4];
        memcpy(w, text + i, 32);
        if ((((w[0] - kOnes) | w[0]) | ((w[1] - kOnes) | w[1]) | ((w[2] - kOnes) | w[2]) | ((w[3] - kOnes) | w[3])) &
            kHighs) {
            break;
        }
    }
#endif
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        memcpy(&w, text + i, 8);
        if (((w - kOnes) | w) & kHighs) break;
    }
    while (i < length && text[i] != 0 && uint8_t(text[i]) < 0x80) ++i;
    return i;
}

bool AllAscii(const char* text, size_t length) {
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 32 <= length; i += 32) {
        uint64_t w[4];
        memcpy(w, text + i, 32);
        if ((w[0] | w[1] | w[2] | w[3]) & kHighs) return false;
    }
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        memcpy(&w, text + i, 8);
        if (w & kHighs) return false;
    }
    for (; i < length; ++i) {
        if (uint8_t(text[i]) > 0x7F) return false;
    }
    return true;
}

int ReportFileFailure(int messageId, const char* path, FILE* err, const char* reason) {
    const int code = errno;
    // A read that came short of the header's promise failed with no reason of the system's.
    if (!reason && (messageId == kMsgAccessDenied || messageId == kMsgOpenFailed) && code != 0) reason = strerror(code);
    fprintf(err, "darvex-cli: %s: %s%s%s%s\n", path, LoadMessageText(messageId), reason ? " (" : "", reason ? reason : "",
            reason ? ")" : "");
    return ExitStatusOf(messageId);
}

void CountText(CodePageVotes* votes, const char* text, size_t length) {
    bool high = false, doubleByte = false;
    for (size_t i = 0; i < length; ++i) {
        const uint8_t b = uint8_t(text[i]);
        if (b < 0x80) continue;
        high = true;
        if (b >= 0xA1 && b <= 0xDF) continue;   // half-width katakana
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const uint8_t t = i + 1 < length ? uint8_t(text[++i]) : 0;
        if (!lead || t < 0x40 || t == 0x7F || t > 0xFC) {
            ++votes->notShiftJis;
            return;
        }
        doubleByte = true;
    }
    if (doubleByte) ++votes->shiftJis;
    else if (high) ++votes->otherHigh;
}

int ChooseCodePage(const CodePageVotes& v) {
    if (v.shiftJis + v.notShiftJis + v.otherHigh == 0) return 0;
    return v.shiftJis > 2 * uint64_t(v.notShiftJis) ? 932 : 1252;
}

int OutputCodePage(CliOutput* out) {
    if (out->codePage != 0) return out->codePage;
    if (out->logCodePage) return out->logCodePage(out->logSource, out->log, out->notes);
    if (out->table && !out->tableCounted) {
        const EventTable& table = *out->table;
        for (uint32_t i = 0; i < table.loadedCount; ++i) {
            const EventEntry& e = table.entries[i];
            // The loader has made sure a zero byte ends the description inside its length.
            const char* text = reinterpret_cast<const char*>(RecordDescription(e.record));
            CountText(&out->votes, text, RecordDescriptionLength(e.record) ? strlen(text) : 0);
            CountText(&out->votes, e.computer, e.computerLength);
        }
        out->tableCounted = true;
    }
    if (out->countTexts && !out->tableCounted) {
        out->countTexts(out->textSource, &out->votes);
        out->tableCounted = true;
    }
    out->codePage = GuessCodePage(out->votes, out->notes, out->logName);
    return out->codePage != 0 ? out->codePage : 1252;   // ASCII alone reads the same in either
}

int GuessCodePage(const CodePageVotes& v, FILE* notes, const char* logName) {
    const int codePage = ChooseCodePage(v);
    if (codePage == 0 || !notes) return codePage;
    const uint32_t against = codePage == 932 ? v.notShiftJis : v.shiftJis;
    char why[64] = "";
    if (against != 0) {
        snprintf(why, sizeof why, "; %lu text%s %s", static_cast<unsigned long>(against), against == 1 ? "" : "s",
                 codePage == 932 ? (against == 1 ? "is not valid in it" : "are not valid in it")
                                 : (against == 1 ? "reads as Shift-JIS" : "read as Shift-JIS"));
    }
    fprintf(notes, "darvex-cli: %s%stexts read as code page %d (guessed%s)\n", logName ? logName : "",
            logName ? ": " : "", codePage, why);
    return codePage;
}

namespace {

void Failed(CliOutput* out) {
    out->failed = true;
    if (!out->readerLeft && ReaderLeft()) {
        out->readerLeft = true;
        DiscardOutput(out->file);
    }
}

// The index of the first byte above 0x7F, or length.
size_t FirstHigh(const char* text, size_t length) {
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        uint64_t w;
        memcpy(&w, text + i, 8);
        if (w & kHighs) break;
    }
    while (i < length && uint8_t(text[i]) < 0x80) ++i;
    return i;
}

// Only the lines with a byte above 0x7F go through the conversion; the
// others are the same in UTF-8. A line feed is no byte of a double-byte
// character, so the lines part where the characters do.
// The block's lines each go by their log's code page (the marks say where
// the logs change); any other text is the selected log's.
void WriteBytes(CliOutput* out, const char* text, size_t length) {
    if (out->failed || length == 0) return;
    const bool block = text == out->block;
    uint32_t log = block ? out->blockLog : out->log, mark = 0;
    if (out->raw) {
        if (fwrite(text, 1, length, out->file) != length) Failed(out);
        return;
    }
    for (size_t at = 0; at < length;) {
        const size_t high = at + FirstHigh(text + at, length - at);
        if (high == length) {
            if (fwrite(text + at, 1, length - at, out->file) != length - at) Failed(out);
            return;
        }
        size_t start = high;
        while (start > at && text[start - 1] != '\n') --start;
        if (start > at && fwrite(text + at, 1, start - at, out->file) != start - at) return Failed(out);
        const char* lf = static_cast<const char*>(memchr(text + high, '\n', length - high));
        const size_t end = lf ? size_t(lf - text) + 1 : length;
        if (block) {
            while (mark < out->markCount && out->marks[mark].at <= start) log = out->marks[mark++].log;
        }
        if (!WriteConverted(out->file, LogCodePage(out, log), text + start, end - start)) return Failed(out);
        at = end;
    }
}

// The block written and emptied; its next lines are the selected log's.
void WriteBlock(CliOutput* out) {
    WriteBytes(out, out->block, out->used);
    out->used = 0;
    out->markCount = 0;
    out->blockLog = out->log;
}

}  // namespace

void MarkLog(CliOutput* out, uint32_t log) {
    out->log = log;
    if (out->raw) return;   // nothing is converted
    if (out->markCount == kOutputMarks) WriteBlock(out);
    if (out->used == 0) {
        out->blockLog = log;
    } else if (out->markCount > 0 && out->marks[out->markCount - 1].at == out->used) {
        out->marks[out->markCount - 1].log = log;   // no line of the log marked before
    } else {
        out->marks[out->markCount++] = OutputMark{uint32_t(out->used), log};
    }
}

int FlushOutput(CliOutput* out) {
    WriteBlock(out);
    if (fflush(out->file) != 0) Failed(out);
    return !out->failed || out->readerLeft ? 1 : 0;
}

void PutText(CliOutput* out, const char* text, size_t length) {
    if (length > kOutputBlockSize - out->used) {
        WriteBlock(out);
        if (length > kOutputBlockSize) {
            WriteBytes(out, text, length);
            return;
        }
    }
    memcpy(out->block + out->used, text, length);
    out->used += length;
}

char* OutputRoom(CliOutput* out, size_t n) {
    if (n > kOutputBlockSize - out->used) WriteBlock(out);
    return out->block + out->used;
}

void FormatIsoTime(const EventEntry& e, char time[kIsoTimeSize]) {
    memcpy(time, e.date, 10);
    time[4] = time[7] = '-';
    time[10] = 'T';
    memcpy(time + 11, e.time, 8);
}

void PutText(CliOutput* out, const char* text) { PutText(out, text, strlen(text)); }

void PutLine(CliOutput* out, const char* text) {
    PutText(out, text);
    PutText(out, "\n", 1);
}

void PutEscaped(CliOutput* out, const char* text, size_t length) {
    static const char kHex[] = "0123456789ABCDEF";
    constexpr uint64_t kOnes = 0x0101010101010101ull, kHighs = 0x8080808080808080ull;
    size_t start = 0;
    for (size_t i = 0; i < length;) {
        // Eight bytes a step while none is below 0x20 nor 0x7F (a byte above 0x7F is none of them).
        if (i + 8 <= length) {
            uint64_t w;
            memcpy(&w, text + i, 8);
            if (!(((w - kOnes * 0x20) | ((w ^ kOnes * 0x7F) - kOnes)) & ~w & kHighs)) {
                i += 8;
                continue;
            }
        }
        for (const size_t end = i + 8 < length ? i + 8 : length; i < end; ++i) {
            const uint8_t c = uint8_t(text[i]);
            if (c >= 0x20 && c != 0x7F) continue;
            PutText(out, text + start, i - start);
            const char escape[4] = {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
            PutText(out, escape, 4);
            start = i + 1;
        }
    }
    PutText(out, text + start, length - start);
}
