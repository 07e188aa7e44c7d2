#pragma once
#include <windows.h>

// The program's frame window: menu, drops, the hand-over of a second start,
// scrolling and the paint cycle.

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Stores the module in appInstance, registers the class and creates the
// visible main window, whose creation loads the first command-line argument.
// NULL when the window could not be created.
HWND StartMainWindow(HINSTANCE instance);
