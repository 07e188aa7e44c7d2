#pragma once
#include <windows.h>
#include <commctrl.h>

// The modeless tool dialog (template IDD_TOOL), where every setting is edited live.

extern HIMAGELIST lineStyleImageList;  // created before the dialog, destroyed at close

// Registers every common-control class the dialog's template uses (up-down,
// extended combo box and trackbar); the main window calls it before it
// creates the image list and the dialog.
constexpr DWORD kToolDialogControlClasses = ICC_UPDOWN_CLASS | ICC_USEREX_CLASSES | ICC_BAR_CLASSES;
void InitToolDialogControls();

void CreateLineStyleImageList();
void AddLineStyleBitmap(int index, int bitmapId);
INT_PTR CALLBACK ToolDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The colour swatches: slot 0 is the background colour, slot 1 the line colour.
// PickColor returns the colour chosen, or the slot's own when cancelled.
COLORREF PickColor(HWND owner, int slot);
RECT GetChildRect(HWND dialog, HWND child);
void FillSwatch(HDC dc, int x, int y, int width, int height, COLORREF color);
void OnSwatchClick(HWND dialog, const HWND swatches[2], LPARAM lParam);
