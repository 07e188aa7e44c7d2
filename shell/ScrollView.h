#pragma once
#include <windows.h>

// Keeps the main window's scroll bars in step with the image size and the
// client size, and publishes the positions as viewOffset.

void InitScrollInfo(HWND window);
void SetContentSize(HWND window, int width, int height);
void UpdateScrollPage(HWND window);
void OnHScroll(HWND window, WPARAM wParam);
void OnVScroll(HWND window, WPARAM wParam);

// Range, page and the position the bar last reported, applied together.
extern SCROLLINFO hScrollInfo;
extern SCROLLINFO vScrollInfo;
