// The progress window's side of the extraction.
#pragma once
#include <windows.h>

#include <cstdint>

#include "base/text.h"

struct ProgressState {
    HWND dialog;       // the progress dialog, or null when there is none
    bool firstUpdate;  // the run's first update repaints the whole dialog
};
extern ProgressState gProgress;

// Control identifiers of the dialog template.
enum ProgressControl { kFileNameLine = 1, kProgressBar = 2, kCancelButton = 3 };

// Records the dialog for the run that starts.
void StartProgressRun(HWND dialog);
// Shows the fitted path and the percentage, then pumps the thread's messages.
void ShowProgress(const Text& targetPath, int32_t runBytesRead, int32_t runCompressedTotal);
// Dispatches every waiting message; a WM_QUIT is dropped.
void PumpMessages();
// True when `text` measured in `dc` is wider than `width` pixels.
bool TextTooWide(HDC dc, int width, const Text& text);
