#pragma once
#include <windows.h>

// The few values through which the entry point, the main window, the tool
// dialog and the model reach one another. User-interface thread only.

extern HINSTANCE appInstance;
extern HWND mainWindow;    // set only once the tool dialog exists
extern HWND toolDialog;
extern HWND activeDialog;  // the tool dialog while it is the active window

// Writes the whole state of a menu bar item, so an unchecked item is also
// left enabled and not highlighted.
void SetMenuCheck(HWND window, UINT commandId, bool checked);
