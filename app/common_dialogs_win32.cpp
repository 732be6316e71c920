#include "app/common_dialogs_win32.h"

#include <commdlg.h>

#include "app/ansi_text_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "app/path_rules.h"
#include "eventlist/panes_win32.h"
#include "eventlist/row_drawing_win32.h"

char g_savePath[MAX_PATH];

namespace {

const char kLogFileFilter[] = "LogFile(*.EVT)\0*.EVT\0ALL(*.*)\0*.*\0";

LOGFONTA g_listLogFont;
HFONT g_listFont;       // none until the first confirmed choice

void PresetListLogFont(LOGFONTA* f) {
    ZeroMemory(f, sizeof *f);
    f->lfHeight = -14;
    f->lfWeight = FW_NORMAL;
    f->lfCharSet = SHIFTJIS_CHARSET;
    f->lfOutPrecision = OUT_STROKE_PRECIS;
    f->lfClipPrecision = CLIP_DEFAULT_PRECIS;
    f->lfQuality = DRAFT_QUALITY;
    f->lfPitchAndFamily = VARIABLE_PITCH;
    lstrcpyA(f->lfFaceName, "System");
}

}  // namespace

UINT ChooseOpenOrSavePath(WORD mode) {
    char file[MAX_PATH] = "*.evt";
    char fileTitle[MAX_PATH] = "";
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = g_mainWindow;
    ofn.lpstrFilter = kLogFileFilter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = fileTitle;
    ofn.nMaxFileTitle = MAX_PATH;
    if (mode == 1) {
        ofn.lpstrTitle = g_texts.openTitle;
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
        if (!GetOpenFileNameA(&ofn)) return 0;
        lstrcpynA(g_viewer.file.path, file, MAX_PATH);
        return 1;
    }
    // No overwrite prompt: Save As refuses an existing name itself.
    ofn.lpstrTitle = g_texts.saveAsTitle;
    ofn.Flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_READONLY;
    if (!GetSaveFileNameA(&ofn)) return 0;
    SaveAsPathFromChoice(file, SystemCodePage(), g_savePath);
    return 1;
}

void ChooseListFont() {
    if (g_listFont == nullptr) PresetListLogFont(&g_listLogFont);
    CHOOSEFONTA cf = {};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = g_eventList;
    cf.lpLogFont = &g_listLogFont;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_ANSIONLY | CF_LIMITSIZE;
    cf.rgbColors = g_rowTextColor;
    cf.hInstance = g_instance;
    cf.nFontType = SCREEN_FONTTYPE;
    cf.nSizeMin = 7;
    cf.nSizeMax = 13;
    if (ChooseFontA(&cf) != TRUE) return;
    if (g_listFont != nullptr) DeleteObject(g_listFont);
    g_rowTextColor = cf.rgbColors;
    // The row height stays: it follows the main window's font, not the list's.
    g_listFont = CreateFontIndirectA(&g_listLogFont);
    SendMessageA(g_eventList, WM_SETFONT, WPARAM(g_listFont), TRUE);
}
