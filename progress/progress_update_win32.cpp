#include "progress/progress_update.h"

#include "archive/number_text.h"
#include "progress/progress_math.h"

ProgressState gProgress;

void StartProgressRun(HWND dialog) {
    gProgress.dialog = dialog;
    gProgress.firstUpdate = true;
}

bool TextTooWide(HDC dc, int width, const Text& text) {
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.CStr(), static_cast<int>(text.Length()), &size);
    return width < size.cx;
}

struct LineMeasure {
    HDC dc;
    int width;
};

static bool LineTooWide(const Text& text, void* context) {
    auto* measure = static_cast<LineMeasure*>(context);
    return TextTooWide(measure->dc, measure->width, text);
}

// Measured in the line's own device context as GetDC gives it, with the
// font that context holds by default.
static Text FitToFileNameLine(const Text& path) {
    HWND line = GetDlgItem(gProgress.dialog, kFileNameLine);
    RECT client = {0, 0, 0, 0};
    GetClientRect(line, &client);
    LineMeasure measure = {GetDC(line), client.right - client.left};
    Text fitted = FitFileName(path, LineTooWide, &measure);
    ReleaseDC(line, measure.dc);
    return fitted;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShowProgress(const Text& targetPath, int32_t runBytesRead, int32_t runCompressedTotal) {
    // A dialog that failed to appear does not stop the run.
    if (!gProgress.dialog) {
        PumpMessages();
        return;
    }
    if (gProgress.firstUpdate) {
        InvalidateRect(gProgress.dialog, nullptr, TRUE);
        gProgress.firstUpdate = false;
    }
    Text fitted = FitToFileNameLine(targetPath);
    char shown[260];
    GetDlgItemTextA(gProgress.dialog, kFileNameLine, shown, sizeof shown);
    if (lstrcmpiA(shown, fitted.CStr()) != 0) SetDlgItemTextA(gProgress.dialog, kFileNameLine, fitted.CStr());

    int32_t percent = ProgressPercentage(runBytesRead, runCompressedTotal);
    int32_t showing = static_cast<int32_t>(GetDlgItemInt(gProgress.dialog, kProgressBar, nullptr, TRUE));
    if (percent != showing) SetDlgItemTextA(gProgress.dialog, kProgressBar, IntegerToText(percent).CStr());
    PumpMessages();
}
