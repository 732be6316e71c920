#include "app/ansi_text_win32.h"

#include <windows.h>

namespace {

AnsiCodePage ReadSystemCodePage() {
    uint8_t lead[256] = {};
    for (int b = 0; b < 256; ++b) lead[b] = IsDBCSLeadByte(BYTE(b)) ? 1 : 0;
    AnsiCodePage page;
    SetLeadBytes(&page, lead);
    return page;
}

}  // namespace

const AnsiCodePage& SystemCodePage() {
    static const AnsiCodePage page = ReadSystemCodePage();
    return page;
}
