#include "tests/dialog/TestWindow.h"

#include "resources/resource.h"
#include "shell/ScrollView.h"

namespace {

const char kClassName[] = "ZimbelTestMain";

LRESULT CALLBACK TestMainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: UpdateScrollPage(window); return 0;
    case WM_HSCROLL: OnHScroll(window, wParam); return 0;
    case WM_VSCROLL: OnVScroll(window, wParam); return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterOnce() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA c = {};
  c.lpfnWndProc = TestMainProc;
  c.hInstance = GetModuleHandleA(nullptr);
  c.hCursor = LoadCursor(nullptr, IDC_ARROW);
  c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  c.lpszClassName = kClassName;
  RegisterClassA(&c);
  registered = true;
}

}  // namespace

HWND CreateTestMainWindow(int clientWidth, int clientHeight) {
  RegisterOnce();
  HMENU bar = CreateMenu();
  HMENU view = CreatePopupMenu();
  AppendMenuA(view, MF_STRING, IDM_TOOL, "tool");
  AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view), "view");
  HWND window = CreateWindowExA(0, kClassName, "zimbel test", WS_OVERLAPPEDWINDOW, 10, 10, 100, 100,
                                nullptr, bar, GetModuleHandleA(nullptr), nullptr);
  SetClientSize(window, clientWidth, clientHeight);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  return window;
}

void SetClientSize(HWND window, int clientWidth, int clientHeight) {
  RECT r = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, GetWindowLongA(window, GWL_STYLE), GetMenu(window) != nullptr,
                     GetWindowLongA(window, GWL_EXSTYLE));
  // Bars already shown take their room from the client area.
  DWORD style = GetWindowLongA(window, GWL_STYLE);
  if (style & WS_VSCROLL) r.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) r.bottom += GetSystemMetrics(SM_CYHSCROLL);
  SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE ClientSize(HWND window) {
  RECT r;
  GetClientRect(window, &r);
  return {r.right, r.bottom};
}

void PumpPending() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    PumpPending();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

bool HasUpdateRegion(HWND window) { return GetUpdateRect(window, nullptr, FALSE) != FALSE; }
