#include "eventlist/filter_dialog_win32.h"

#include "app/dialog_frame_win32.h"
#include "app/main_window_win32.h"
#include "app/messages_win32.h"
#include "eventlist/filter_dialog.h"
#include "resources/resource_ids.h"

namespace {

// The open dialog's own state; there is at most one Filter dialog.
struct FilterDialogState {
    HWND spins[4];           // 345 to 348: start date, start time, end date, end time
    HWND componentList;
    HWND moduleList;
    int currentField;        // the two-digit field the spin arrows act on
    RECT frameA;             // x range of the start fields, y range of the date rows
    RECT frameB;             // x range of the end fields, y range of the time rows
};
FilterDialogState g_filter;

const int kSideFirstField[2] = {IDC_FILTER_FROM_YEAR, IDC_FILTER_THROUGH_YEAR};
const int kSideFirstButton[2] = {IDC_FILTER_FROM_FIRST, IDC_FILTER_THROUGH_LAST};   // the "given date" button follows
const int kSeparators[8] = {IDC_FILTER_FROM_DATE_SEP1,    IDC_FILTER_FROM_DATE_SEP2,    IDC_FILTER_THROUGH_DATE_SEP1,
                            IDC_FILTER_THROUGH_DATE_SEP2, IDC_FILTER_FROM_TIME_SEP1,    IDC_FILTER_FROM_TIME_SEP2,
                            IDC_FILTER_THROUGH_TIME_SEP1, IDC_FILTER_THROUGH_TIME_SEP2};

// A GDI object deleted when the paint is done.
struct PenGuard {
    HPEN pen;
    explicit PenGuard(COLORREF colour) : pen(CreatePen(PS_SOLID, 1, colour)) {}
    ~PenGuard() {
        if (pen != nullptr) DeleteObject(pen);
    }
    PenGuard(const PenGuard&) = delete;
    PenGuard& operator=(const PenGuard&) = delete;
};

// Puts back the pen that was selected before, so the pens can be deleted.
struct PenSelection {
    HDC dc;
    HGDIOBJ previous;
    PenSelection(HDC target, HPEN pen) : dc(target), previous(SelectObject(target, pen)) {}
    ~PenSelection() { SelectObject(dc, previous); }
    PenSelection(const PenSelection&) = delete;
    PenSelection& operator=(const PenSelection&) = delete;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}


// side 0: the start, 1: the end. Either the first/last event or the given date.
void ChooseGivenDate(HWND dialog, int side, bool given) {
    SetButtonChecked(dialog, kSideFirstButton[side], !given);
    SetButtonChecked(dialog, kSideFirstButton[side] + 1, given);
}
bool GivenDateChosen(HWND dialog, int side) { return ButtonChecked(dialog, kSideFirstButton[side] + 1); }

void ShowStamp(HWND dialog, int side, const char* stamp) {
    StampFields fields;
    StampToFields(stamp, &fields);
    for (int i = 0; i < kStampFieldCount; ++i) SetDlgItemTextA(dialog, kSideFirstField[side] + i, fields.text[i]);
}

void ReadFields(HWND dialog, int side, StampFields* fields) {
    for (int i = 0; i < kStampFieldCount; ++i) {
        GetDlgItemTextA(dialog, kSideFirstField[side] + i, fields->text[i], kFieldTextSize);
    }
}

// Which side a control id is a field of: 0, 1, or -1 for none.
int FieldSide(int id) {
    for (int side = 0; side < 2; ++side) {
        if (id >= kSideFirstField[side] && id < kSideFirstField[side] + kStampFieldCount) return side;
    }
    return -1;
}

RECT MappedRect(HWND dialog, int left, int top, int right, int bottom) {
    RECT r = {left, top, right, bottom};
    MapDialogRect(dialog, &r);
    return r;
}

void InitFilterDialog(HWND dialog) {
    const ViewConditions& c = g_viewer.conditions;
    FillComponentCombo(g_filter.componentList, c.componentIndex);
    FillModuleCombo(g_filter.moduleList, c.moduleIndex);
    ShowStamp(dialog, 0, g_viewer.range.from);
    ShowStamp(dialog, 1, g_viewer.range.through);
    ChooseGivenDate(dialog, 0, c.fromIsStamp != 0);
    ChooseGivenDate(dialog, 1, c.throughIsStamp != 0);
    if (c.informationType == kTypeInformation) SetButtonChecked(dialog, IDC_FILTER_INFORMATION, true);
    if (c.warningType == kTypeWarning) SetButtonChecked(dialog, IDC_FILTER_WARNING, true);
    if (c.errorType == kTypeError) SetButtonChecked(dialog, IDC_FILTER_ERROR, true);
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < kStampFieldCount; ++i) {
            SendDlgItemMessageA(dialog, kSideFirstField[side] + i, EM_LIMITTEXT, 2, 0);
        }
    }
    g_filter.frameA = MappedRect(dialog, 30, 42, 74, 54);
    g_filter.frameB = MappedRect(dialog, 124, 58, 169, 70);
    for (int i = 0; i < 8; ++i) SetDlgItemTextA(dialog, kSeparators[i], i < 4 ? "/" : ":");
}

BOOL OnInitDialog(HWND dialog) {
    BeginDialogFrame(dialog);
    for (int i = 0; i < 4; ++i) g_filter.spins[i] = GetDlgItem(dialog, IDC_FILTER_FROM_DATE_SPIN + i);
    g_filter.componentList = GetDlgItem(dialog, IDC_FILTER_COMPONENT);
    g_filter.moduleList = GetDlgItem(dialog, IDC_FILTER_MODULE);
    InitFilterDialog(dialog);
    SetFocus(GetDlgItem(dialog, ButtonChecked(dialog, IDC_FILTER_FROM_FIRST) ? IDC_FILTER_FROM_FIRST : IDC_FILTER_FROM_STAMP));
    g_filter.currentField = IDC_FILTER_FROM_YEAR;
    return FALSE;
}

// Each group of three fields is framed as if it were one sunken edit box.
void PaintFrame(HDC dc, const RECT& r, HPEN black, HPEN grey, HPEN white) {
    SelectObject(dc, black);
    Line(dc, r.left, r.top, r.right, r.top);
    Line(dc, r.left, r.top, r.left, r.bottom);
    SelectObject(dc, grey);
    Line(dc, r.left + 1, r.top + 1, r.right, r.top + 1);
    Line(dc, r.left + 1, r.top + 1, r.left + 1, r.bottom);
    SelectObject(dc, white);
    Line(dc, r.left, r.bottom, r.right, r.bottom);
    Line(dc, r.right, r.top, r.right, r.bottom);
}

void PaintFieldFrames(HDC dc) {
    PenGuard black(RGB(0, 0, 0));
    PenGuard grey(RGB(0x80, 0x80, 0x80));
    PenGuard white(RGB(0xFF, 0xFF, 0xFF));
    PenSelection selection(dc, black.pen);
    const RECT& a = g_filter.frameA;
    const RECT& b = g_filter.frameB;
    const RECT frames[4] = {
        {a.left, a.top, a.right, a.bottom},   // start date
        {a.left, b.top, a.right, b.bottom},   // start time
        {b.left, a.top, b.right, a.bottom},   // end date
        {b.left, b.top, b.right, b.bottom},   // end time
    };
    for (const RECT& frame : frames) PaintFrame(dc, frame, black.pen, grey.pen, white.pen);
}

void OnPaint(HWND dialog) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(dialog, &ps);
    if (dc != nullptr) PaintFieldFrames(dc);
    EndPaint(dialog, &ps);
}

// Painting here must not validate the client area: the background is erased
// after WM_NCPAINT, and only the WM_PAINT that follows keeps the frames. The
// fields are left out, as nothing may repaint them afterwards.
void OnNcPaint(HWND dialog) {
    HDC dc = GetDCEx(dialog, nullptr, DCX_CACHE | DCX_CLIPCHILDREN);
    if (dc == nullptr) return;
    PaintFieldFrames(dc);
    ReleaseDC(dialog, dc);
}

// Clear: the controls only; nothing is stored until OK.
void ClearFilterDialog(HWND dialog) {
    SendMessageA(g_filter.componentList, CB_SETCURSEL, 0, 0);
    SendMessageA(g_filter.moduleList, CB_SETCURSEL, 0, 0);
    ChooseGivenDate(dialog, 0, false);
    ChooseGivenDate(dialog, 1, false);
    SetButtonChecked(dialog, IDC_FILTER_INFORMATION, true);
    SetButtonChecked(dialog, IDC_FILTER_WARNING, true);
    SetButtonChecked(dialog, IDC_FILTER_ERROR, true);
    ShowStamp(dialog, 0, g_viewer.range.firstEvent);
    ShowStamp(dialog, 1, g_viewer.range.lastEvent);
}

// What OK reads from the dialog: which sides are given dates, and their fields.
struct FilterEntries {
    bool given[2];
    StampFields fields[2];
};

void ReadEntries(HWND dialog, FilterEntries* entries) {
    for (int side = 0; side < 2; ++side) {
        entries->given[side] = GivenDateChosen(dialog, side);
        if (entries->given[side]) ReadFields(dialog, side, &entries->fields[side]);
    }
}

// 1 good, 0 a field is not a number, 2 the start lies after the end.
int CheckFilterDialog(const FilterEntries& entries) {
    return CheckStampFields(entries.given[0] ? &entries.fields[0] : nullptr,
                            entries.given[1] ? &entries.fields[1] : nullptr, &g_viewer.range);
}

void StoreFilterDialog(HWND dialog, const FilterEntries& entries) {
    ViewConditions& c = g_viewer.conditions;
    c.componentIndex = SelectedComboData(g_filter.componentList);
    c.moduleIndex = SelectedComboData(g_filter.moduleList);
    c.informationType = ButtonChecked(dialog, IDC_FILTER_INFORMATION) ? kTypeInformation : 0;
    c.warningType = ButtonChecked(dialog, IDC_FILTER_WARNING) ? kTypeWarning : 0;
    c.errorType = ButtonChecked(dialog, IDC_FILTER_ERROR) ? kTypeError : 0;
    c.fromIsStamp = entries.given[0] ? 1 : 0;
    if (entries.given[0]) StoreStampFields(entries.fields[0], g_viewer.range.from);
    c.throughIsStamp = entries.given[1] ? 1 : 0;
    if (entries.given[1]) StoreStampFields(entries.fields[1], g_viewer.range.through);
}

void OnOk(HWND dialog) {
    FilterEntries entries;
    ReadEntries(dialog, &entries);
    const int result = CheckFilterDialog(entries);
    if (result == 0) {
        ShowErrorMessage(IDS_ERR_DATE_TIME);
        return;
    }
    if (result == 2) {
        ShowErrorMessage(IDS_ERR_FROM_AFTER_THROUGH);
        return;
    }
    StoreFilterDialog(dialog, entries);
    PostMessageA(g_mainWindow, WM_COMMAND, IDM_APPLY_FILTER, 0);
    EndModelessDialog(dialog);
}

void OnCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_FILTER_OK: OnOk(dialog); return;
    case IDCANCEL: EndModelessDialog(dialog); return;
    case IDC_FILTER_CLEAR: ClearFilterDialog(dialog); return;
    case IDC_FILTER_HELP: ShowHelpContext(dialog, IDH_FILTER); return;
    default: break;
    }
    // Entering a field chooses the given date of its side.
    const int side = FieldSide(id);
    if (side >= 0 && code == EN_SETFOCUS) {
        ChooseGivenDate(dialog, side, true);
        g_filter.currentField = id;
    }
}

// The up and down arrows act on the field last entered when it belongs to
// the arrows' row, else on the row's first field; they stop at its range.
void StepField(HWND dialog, int id, int scrollCode) {
    if (scrollCode != SB_LINEUP && scrollCode != SB_LINEDOWN) return;
    HWND field = GetDlgItem(dialog, id);
    SetFocus(field);
    char text[kFieldTextSize];
    GetWindowTextA(field, text, sizeof text);
    uint32_t value;
    ParseFieldNumber(text, &value);
    const int index = id - kSideFirstField[FieldSide(id)];
    value = StepFieldValue(value, scrollCode, kStampFieldRanges[index]);
    wsprintfA(text, "%02d", int(value));
    SetWindowTextA(field, text);
    SendMessageA(field, EM_SETSEL, 0, 2);
}

void OnSpin(HWND dialog, HWND bar, int scrollCode) {
    int spin = 0;
    while (spin < 4 && g_filter.spins[spin] != bar) ++spin;
    if (spin == 4) return;
    const int side = spin / 2;
    const bool timeRow = spin % 2 == 1;
    ChooseGivenDate(dialog, side, true);
    int index = FieldSide(g_filter.currentField) == side ? g_filter.currentField - kSideFirstField[side] : -1;
    if (timeRow) {
        if (index != 4 && index != 5) index = 3;
    } else if (index != 1 && index != 2) {
        index = 0;
    }
    g_filter.currentField = kSideFirstField[side] + index;
    StepField(dialog, g_filter.currentField, scrollCode);
}

}  // namespace

void OpenFilterDialog() {
    CreateDialogParamA(g_instance, MAKEINTRESOURCEA(IDD_FILTER), g_mainWindow, FilterDialogProc, 0);
}

INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam), HIWORD(wParam)); break;
    case WM_VSCROLL: OnSpin(dialog, HWND(lParam), LOWORD(wParam)); break;
    case WM_PAINT: OnPaint(dialog); break;
    case WM_NCPAINT: OnNcPaint(dialog); break;
    default: break;
    }
    return FALSE;
}
