#include "cli/cli_find.h"

#include <cstring>

#include "cli/cli_commands.h"
#include "cli/cli_run.h"
#include "cli/text_out.h"
#include "dialogs/find.h"

namespace {

// The wrap question is answered once for the whole run, by --wrap.
int AnswerWrap(void* context, int) { return *static_cast<const bool*>(context) ? 1 : 0; }
void NoFailureBox(void*, int) {}

void PutMatch(CliOutput* out, uint32_t row, const EventEntry& e) {
    char index[16];
    const int n = snprintf(index, sizeof index, "%lu\t", static_cast<unsigned long>(row));
    PutText(out, index, size_t(n));
    PutListRow(out, e);
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

int FindRows(const CliOptions& o, const ViewerState& state, CliOutput* out, FILE* err) {
    const EventTable& table = state.table;
    if (o.all && (o.up || o.fromRowGiven || o.wrap)) {
        fprintf(err, "darvex-cli: --all goes through the whole list: no --up, --from-row or --wrap\n");
        return kExitUsage;
    }
    if (o.fromRowGiven && o.fromRow >= table.visibleCount) {
        fprintf(err, "darvex-cli: row %lu is not listed (%lu rows)\n", static_cast<unsigned long>(o.fromRow),
                static_cast<unsigned long>(table.visibleCount));
        return kExitUsage;
    }
    const int codePage = OutputCodePage(out);
    // Under 932 a match starts on a character, and second bytes compare exactly.
    const AnsiCodePage& page = codePage == 932 ? ShiftJisCodePage() : SingleByteCodePage();
    FindCriteria c;
    if (!TakeCriteria(o, codePage, &c, err)) return kExitUsage;
    if (o.all) {
        FindPattern pattern;
        PreparePattern(c.descriptionText, page, &pattern);
        bool found = false;
        for (uint32_t i = 0; i < table.visibleCount && !out->failed; ++i) {
            if (!RowMatches(*table.visibleRows[i], c, pattern)) continue;
            PutMatch(out, i, *table.visibleRows[i]);
            found = true;
        }
        if (found) return kExitOk;
        fprintf(err, "darvex-cli: no event matched\n");
        return kExitNoMatch;
    }
    bool wrap = o.wrap;
    const FindPrompts prompts = {&wrap, AnswerWrap, NoFailureBox};
    const int32_t current = o.fromRowGiven ? int32_t(o.fromRow) : -1;
    const int32_t hit = FindNextRow(table.visibleRows, table.visibleCount, current, c, page, prompts);
    if (hit >= 0) {
        PutMatch(out, uint32_t(hit), *table.visibleRows[hit]);
        return kExitOk;
    }
    fprintf(err, "darvex-cli: no event matched%s\n", o.wrap ? "" : o.up ? " up to the top of the list" : " down to the end of the list");
    return kExitNoMatch;
}
