#include "progress/progress_dialog.h"

#include "archive/number_text.h"
#include "extract/extraction_state.h"
#include "progress/progress_math.h"
#include "progress/progress_update.h"

int CentredOrigin(int screenSize, int windowSize) { return (screenSize - windowSize) / 2; }

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            PaintProgressBar(item->hwndItem, item->hDC, item->rcItem);
            return TRUE;
        }
        case WM_INITDIALOG: {
            RECT window;
            GetWindowRect(dialog, &window);
            int width = window.right - window.left, height = window.bottom - window.top;
            MoveWindow(dialog, CentredOrigin(GetSystemMetrics(SM_CXSCREEN), width),
                       CentredOrigin(GetSystemMetrics(SM_CYSCREEN), height), width, height, FALSE);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == kCancelButton) RequestCancel();
            return FALSE;
    }
    return FALSE;
}

namespace {

// Brushes and regions live for one use each.
void FillWith(HDC dc, const RECT& rect, int systemColour) {
    HBRUSH brush = CreateSolidBrush(GetSysColor(systemColour));
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// The label in one colour, shown only between the two clip edges.
void DrawLabelBetween(HDC dc, const Text& label, RECT* r, int clipLeft, int clipRight, int systemColour) {
    HRGN region = CreateRectRgn(clipLeft, r->top - 1, clipRight, r->bottom + 1);
    SelectClipRgn(dc, region);
    DeleteObject(region);
    SetTextColor(dc, GetSysColor(systemColour));
    DrawTextA(dc, label.CStr(), static_cast<int>(label.Length()), r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    SelectClipRgn(dc, nullptr);
}

}  // namespace

void PaintProgressBar(HWND, HDC dc, const RECT& itemRect) {
    MoveToEx(dc, itemRect.left, itemRect.top, nullptr);
    LineTo(dc, itemRect.left, itemRect.bottom - 1);
    LineTo(dc, itemRect.right - 1, itemRect.bottom - 1);
    LineTo(dc, itemRect.right - 1, itemRect.top);
    LineTo(dc, itemRect.left, itemRect.top);
    RECT r = itemRect;
    InflateRect(&r, -1, -1);

    int32_t percent = static_cast<int32_t>(GetDlgItemInt(gProgress.dialog, kProgressBar, nullptr, TRUE));
    Text label = IntegerToText(percent);
    label.Append('%');
    SetBkMode(dc, TRANSPARENT);
    SelectClipRgn(dc, nullptr);
    int32_t split = BarSplit(percent, r.right - r.left);
    int boundary = r.left + split;

    RECT unfilled = {boundary, r.top, r.right, r.bottom};
    FillWith(dc, unfilled, COLOR_BTNFACE);
    DrawLabelBetween(dc, label, &r, boundary, r.right + 1, COLOR_HIGHLIGHT);

    RECT filled = {r.left, r.top, boundary, r.bottom};
    FillWith(dc, filled, COLOR_HIGHLIGHT);
    DrawLabelBetween(dc, label, &r, r.left - 1, boundary, COLOR_HIGHLIGHTTEXT);
}
