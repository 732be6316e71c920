#include "cli/cli_find.h"

#include <cstring>

#include "cli/cli_commands.h"
#include "cli/cli_run.h"
#include "cli/text_out.h"
#include "dialogs/find.h"

namespace {

void PutMatch(CliOutput* out, uint32_t row, const EventEntry& e, uint32_t log) {
    SelectLog(out, log);
    char index[16];
    const int n = snprintf(index, sizeof index, "%lu\t", static_cast<unsigned long>(row));
    PutText(out, index, size_t(n));
    PutListRow(out, e);
}

// The wrap question is answered once for the whole run, by --wrap.
int AnswerWrap(void* context, int) { return *static_cast<const bool*>(context) ? 1 : 0; }
void NoFailureBox(void*, int) {}

const char* NoMatchWhere(const CliOptions& o) {
    return o.wrap ? "" : o.up ? " up to the top of the list" : " down to the end of the list";
}

bool IsAscii(const char* text) {
    for (; *text; ++text) {
        if (uint8_t(*text) > 0x7F) return false;
    }
    return true;
}

// The criteria as Find Next stores them from the dialog's controls; the text
// is taken in the descriptions' code page (as typed with --raw). Returns 1,
// 0 when the text is none of the code page's, -1 when it is too long; either
// failure is told on err unless it is null.
int TakeCriteria(const CliOptions& o, int codePage, FindCriteria* c, FILE* err) {
    *c = DefaultFindCriteria();
    if (o.findTypesGiven) {
        c->errorType = o.findTypes[0];
        c->warningType = o.findTypes[1];
        c->informationType = o.findTypes[2];
    }
    if (o.findComponentGiven) c->componentIndex = o.findComponentIndex;
    if (o.findModuleGiven) c->moduleIndex = uint16_t(o.findModuleIndex);
    c->direction = o.up ? kFindUp : kFindDown;
    if (!o.findText) return 1;
    // No character is longer in the code page than in UTF-8: a text that
    // fills this buffer is too long whatever it holds.
    char text[4 * kFindTextSize];
    const size_t typed = strlen(o.findText);
    if (typed < sizeof text) {
        if (o.raw || IsAscii(o.findText)) {
            memcpy(text, o.findText, typed + 1);
        } else if (ConvertTypedText(codePage, o.findText, text, sizeof text) < 0) {
            if (err) fprintf(err, "darvex-cli: the text is not one of code page %d: %s\n", codePage, o.findText);
            return 0;
        }
    }
    // The description box holds 255 bytes at most; Find would cut the rest.
    if (typed >= sizeof text || strlen(text) >= size_t(kFindTextSize)) {
        if (err) {
            fprintf(err, "darvex-cli: --text is longer than Find takes (%d bytes in code page %d)\n", kFindTextSize - 1,
                    codePage);
        }
        return -1;
    }
    memcpy(c->descriptionText, text, strlen(text) + 1);
    return 1;
}

}  // namespace

int FindRows(const CliOptions& o, const Timeline& tl, CliOutput* out, FILE* err) {
    if (o.all && (o.up || o.fromRowGiven || o.wrap)) {
        fprintf(err, "darvex-cli: --all goes through the whole list: no --up, --from-row or --wrap\n");
        return kExitUsage;
    }
    if (o.fromRowGiven) {
        const uint32_t count = CountTimelineRows(tl);
        if (o.fromRow >= count) {
            fprintf(err, "darvex-cli: row %lu is not listed (%lu rows)\n", static_cast<unsigned long>(o.fromRow),
                    static_cast<unsigned long>(count));
            return kExitUsage;
        }
    }
    // Under 932 a match starts on a character, and second bytes compare exactly.
    // Logs of their own code pages: the text in each, 1252's first, and each
    // event matched by its log's; a code page that cannot take the text
    // matches no event, and the text is refused only when neither can.
    const bool perLog = out->logCodePage && out->codePage == 0 && o.findText;
    const int codePages[2] = {perLog ? 1252 : OutputCodePage(out), 932};
    FindCriteria criteria[2];
    FindPattern patterns[2];
    int taken[2] = {0, 0};
    for (int i = 0; i < (perLog ? 2 : 1); ++i) {
        taken[i] = TakeCriteria(o, codePages[i], &criteria[i], perLog ? nullptr : err);
        const AnsiCodePage& page = codePages[i] == 932 ? ShiftJisCodePage() : SingleByteCodePage();
        if (taken[i] == 1) PreparePattern(criteria[i].descriptionText, page, &patterns[i]);
    }
    if (taken[0] != 1 && taken[1] != 1) {
        if (perLog) TakeCriteria(o, codePages[taken[1] < 0 ? 1 : 0], &criteria[0], err);
        return kExitUsage;
    }
    // The search of the event's log; -1 when its code page cannot take the text.
    const auto searchOf = [&](uint32_t log) -> int {
        const int i = perLog && LogCodePage(out, log) == 932 ? 1 : 0;
        return taken[i] == 1 ? i : -1;
    };
    const auto matches = [&](const EventEntry& e, uint32_t log) {
        const int i = searchOf(log);
        return i >= 0 && RowMatches(e, criteria[i], patterns[i]);
    };
    TimelineCursor cursor;
    if (StartTimeline(&cursor, tl) != 0) return kExitNoMemory;
    if (o.all) {
        bool found = false;
        while (const EventEntry* e = out->failed ? nullptr : NextEvent(&cursor, tl)) {
            if (!matches(*e, cursor.source)) continue;
            PutMatch(out, cursor.row - 1, *e, cursor.source);
            found = true;
        }
        EndTimeline(&cursor);
        if (found) return kExitOk;
        fprintf(err, "darvex-cli: no event matched\n");
        return kExitNoMatch;
    }
    const bool up = o.up;
    const int64_t current = o.fromRowGiven ? int64_t(o.fromRow) : -1;
    if (tl.count == 1 && !tl.dedupe && tl.logs[0].rows.loaded) {
        EndTimeline(&cursor);
        // The loaded table's rows: the viewer's own search, the wrap question answered by --wrap.
        const EventTable& table = tl.logs[0].rows.loaded->table;
        bool wrap = o.wrap;
        const FindPrompts prompts = {&wrap, AnswerWrap, NoFailureBox};
        const int i = searchOf(0);
        const int32_t hit = i < 0 ? -1
                                  : FindNextRow(table.visibleRows, table.visibleCount, int32_t(current), criteria[i],
                                                *patterns[i].page, prompts);
        if (hit >= 0) {
            PutMatch(out, uint32_t(hit), *table.visibleRows[hit], 0);
            return kExitOk;
        }
        fprintf(err, "darvex-cli: no event matched%s\n", NoMatchWhere(o));
        return kExitNoMatch;
    }
    // Find Next's two passes in one walk down the rows: the first pass from
    // the row after the selection (down) or before it (up) to the list's
    // end, then, with --wrap, the whole list from the end it starts at.
    // No selection is row -1: down starts at row 0, up finds nothing before the wrap.
    EventEntry hit = {}, wrapped = {};
    int64_t hitRow = -1, wrappedRow = -1;
    uint32_t hitLog = 0, wrappedLog = 0;
    while (const EventEntry* e = NextEvent(&cursor, tl)) {
        const int64_t row = int64_t(cursor.row) - 1;
        if (!matches(*e, cursor.source)) continue;
        if (up ? row < current : row > current) {
            hit = *e, hitRow = row, hitLog = cursor.source;
            if (!up) break;   // down: the first match after the selection is the one
        }
        if (up || wrappedRow < 0) wrapped = *e, wrappedRow = row, wrappedLog = cursor.source;   // up: the last match; down: the first
    }
    EndTimeline(&cursor);
    if (hitRow < 0 && o.wrap && wrappedRow >= 0) hit = wrapped, hitRow = wrappedRow, hitLog = wrappedLog;
    if (hitRow >= 0) {
        PutMatch(out, uint32_t(hitRow), hit, hitLog);
        return kExitOk;
    }
    fprintf(err, "darvex-cli: no event matched%s\n", NoMatchWhere(o));
    return kExitNoMatch;
}
