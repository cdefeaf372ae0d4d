#pragma once
#include <windows.h>

// The dialog procedure of the template "VXPROGRESSCLASS".
INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Paints the owner-drawn bar from the percentage held in its own text.
void PaintProgressBar(HWND item, HDC dc, const RECT& itemRect);

// The window's position when centred on a screen: (screen - window) / 2,
// truncated toward zero.
int CentredOrigin(int screenSize, int windowSize);
