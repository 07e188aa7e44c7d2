#include "tests/dialog/DialogDriver.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "shell/ToolDialog.h"

std::string ControlText(HWND dialog, int id) {
  char text[300] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void TypeInto(HWND dialog, int editId, const char* text) {
  HWND edit = GetDlgItem(dialog, editId);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  SendMessageA(edit, WM_CHAR, VK_BACK, 0);
  for (const char* c = text; *c; ++c) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 0);
}

void DragSlider(HWND dialog, int sliderId, int position) {
  HWND slider = GetDlgItem(dialog, sliderId);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
  LPARAM from = reinterpret_cast<LPARAM>(slider);
  int landed = static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, landed), from);
  SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), from);
}

int SliderPosition(HWND dialog, int sliderId) {
  return static_cast<int>(SendDlgItemMessageA(dialog, sliderId, TBM_GETPOS, 0, 0));
}

int SpinPosition(HWND dialog, int spinId) {
  return static_cast<int>(SendDlgItemMessageA(dialog, spinId, UDM_GETPOS32, 0, 0));
}

void SelectListItem(HWND dialog, int listId, int index) {
  HWND list = GetDlgItem(dialog, listId);
  SendMessageA(list, CB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void ReleaseMouseOver(HWND dialog, int controlId) {
  RECT r = GetChildRect(dialog, GetDlgItem(dialog, controlId));
  SendMessageA(dialog, WM_LBUTTONUP, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
}

bool IsMenuItemChecked(HWND window, UINT commandId) {
  return (GetMenuState(GetMenu(window), commandId, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

namespace {

struct ChooserSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindChooser(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<ChooserSearch*>(lParam);
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770" && IsWindowVisible(window) &&
      GetWindow(window, GW_OWNER) == search->owner) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

ColorChooserAnswer::ColorChooserAnswer(HWND owner, bool confirm, COLORREF color)
    : owner_(owner), confirm_(confirm), color_(color), thread_(&ColorChooserAnswer::Run, this, GetCurrentThreadId()) {}

ColorChooserAnswer::~ColorChooserAnswer() { thread_.join(); }

void ColorChooserAnswer::Run(DWORD uiThread) {
  ChooserSearch search = {owner_, nullptr};
  DWORD start = GetTickCount();
  while (!search.found && GetTickCount() - start < 10000) {
    EnumThreadWindows(uiThread, FindChooser, reinterpret_cast<LPARAM>(&search));
    if (!search.found) Sleep(10);
  }
  if (!search.found) return;
  if (confirm_) {
    const int channels[] = {GetRValue(color_), GetGValue(color_), GetBValue(color_)};
    for (int i = 0; i < 3; ++i) {
      char text[8];
      std::snprintf(text, sizeof text, "%d", channels[i]);
      SendDlgItemMessageA(search.found, 706 + i, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }
  }
  PostMessageA(search.found, WM_COMMAND, confirm_ ? IDOK : IDCANCEL, 0);
  answered_ = true;
}

bool SaveWindowShot(HWND window, const char* path) {
  RECT r;
  GetWindowRect(window, &r);
  int width = r.right - r.left, height = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  DWORD rowBytes = (width * 3 + 3) & ~3u;
  DWORD imageBytes = rowBytes * height;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + imageBytes;
  bool written = false;
  if (FILE* out = std::fopen(path, "wb")) {
    written = std::fwrite(&file, sizeof file, 1, out) == 1 &&
              std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
              std::fwrite(bits, imageBytes, 1, out) == 1;
    std::fclose(out);
  }
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}
