#pragma once
#include <windows.h>
#include <commctrl.h>

// The modeless tool dialog (template IDD_TOOL), where every setting is edited live.

extern HIMAGELIST lineStyleImageList;  // created before the dialog, destroyed at close

void CreateLineStyleImageList();
INT_PTR CALLBACK ToolDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
