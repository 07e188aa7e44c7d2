#include "shell/ShellState.h"

#include <cstddef>

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;
HWND toolDialog = nullptr;
HWND activeDialog = nullptr;

void SetMenuCheck(HWND window, UINT commandId, bool checked) {
  MENUITEMINFOA item = {};
  // The size without hbmpItem: the record every Windows version accepts.
  item.cbSize = offsetof(MENUITEMINFOA, hbmpItem);
  item.fMask = MIIM_STATE;
  item.fState = checked ? MFS_CHECKED : 0;
  SetMenuItemInfoA(GetMenu(window), commandId, FALSE, &item);
}

#ifndef _WIN64
static_assert(offsetof(MENUITEMINFOA, hbmpItem) == 44, "the 32-bit menu item record");
#endif
