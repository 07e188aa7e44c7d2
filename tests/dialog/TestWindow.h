#pragma once
#include <windows.h>

#include <functional>

// A stand-in for the program's main window: it hands sizing and scrolling to
// the scroll view, as the real one does, and carries a menu with the tool item.
HWND CreateTestMainWindow(int clientWidth, int clientHeight);
// Resizes the window so that its client area (without scroll bars) has this size.
void SetClientSize(HWND window, int clientWidth, int clientHeight);
SIZE ClientSize(HWND window);

// Runs pending messages until `done` holds or the deadline passes.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
void PumpPending();

bool HasUpdateRegion(HWND window);
