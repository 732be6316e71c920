#include "cli/cli_find.h"

#include <cstring>

#include "cli/cli_commands.h"
#include "cli/cli_run.h"
#include "cli/text_out.h"
#include "dialogs/find.h"

namespace {

void PutMatch(CliOutput* out, uint32_t row, const EventEntry& e) {
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
// is taken in the descriptions' code page (as typed with --raw).
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
            fprintf(err, "darvex-cli: the text is not one of code page %d: %s\n", codePage, o.findText);
            return 0;
        }
    }
    // The description box holds 255 bytes at most; Find would cut the rest.
    if (typed >= sizeof text || strlen(text) >= size_t(kFindTextSize)) {
        fprintf(err, "darvex-cli: --text is longer than Find takes (%d bytes in code page %d)\n", kFindTextSize - 1,
                codePage);
        return 0;
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
    const int codePage = OutputCodePage(out);
    // Under 932 a match starts on a character, and second bytes compare exactly.
    const AnsiCodePage& page = codePage == 932 ? ShiftJisCodePage() : SingleByteCodePage();
    FindCriteria c;
    if (!TakeCriteria(o, codePage, &c, err)) return kExitUsage;
    FindPattern pattern;
    PreparePattern(c.descriptionText, page, &pattern);
    TimelineCursor cursor;
    if (StartTimeline(&cursor, tl) != 0) return kExitNoMemory;
    if (o.all) {
        bool found = false;
        while (const EventEntry* e = out->failed ? nullptr : NextEvent(&cursor, tl)) {
            if (!RowMatches(*e, c, pattern)) continue;
            PutMatch(out, cursor.row - 1, *e);
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
        const int32_t hit = FindNextRow(table.visibleRows, table.visibleCount, int32_t(current), c, page, prompts);
        if (hit >= 0) {
            PutMatch(out, uint32_t(hit), *table.visibleRows[hit]);
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
    while (const EventEntry* e = NextEvent(&cursor, tl)) {
        const int64_t row = int64_t(cursor.row) - 1;
        if (!RowMatches(*e, c, pattern)) continue;
        if (up ? row < current : row > current) {
            hit = *e, hitRow = row;
            if (!up) break;   // down: the first match after the selection is the one
        }
        if (up || wrappedRow < 0) wrapped = *e, wrappedRow = row;   // up: the last match; down: the first
    }
    EndTimeline(&cursor);
    if (hitRow < 0 && o.wrap && wrappedRow >= 0) hit = wrapped, hitRow = wrappedRow;
    if (hitRow >= 0) {
        PutMatch(out, uint32_t(hitRow), hit);
        return kExitOk;
    }
    fprintf(err, "darvex-cli: no event matched%s\n", NoMatchWhere(o));
    return kExitNoMatch;
}
