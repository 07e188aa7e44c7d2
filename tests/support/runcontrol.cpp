// Drives a running program from the outside for tools/run.sh on a virtual
// display: `runcontrol wait SECONDS` returns once the main window has painted
// with its tool dialog on top; `runcontrol close SECONDS` closes it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char kAppName[] = "zimbelplot";

HWND toolDialog = nullptr;

BOOL CALLBACK FindToolDialog(HWND window, LPARAM owner) {
  char className[16] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::strcmp(className, "#32770") != 0 || GetWindow(window, GW_OWNER) != reinterpret_cast<HWND>(owner)) {
    return TRUE;
  }
  toolDialog = window;
  return FALSE;
}

bool WaitUntil(bool (*done)(), DWORD seconds) {
  for (DWORD start = GetTickCount(); !done(); Sleep(50)) {
    if (GetTickCount() - start > seconds * 1000) return false;
  }
  return true;
}

HWND Main() { return FindWindowA(kAppName, kAppName); }

bool ShownWithDialog() {
  HWND main = Main();
  if (!main || !IsWindowVisible(main)) return false;
  toolDialog = nullptr;
  EnumWindows(FindToolDialog, reinterpret_cast<LPARAM>(main));
  return toolDialog && IsWindowVisible(toolDialog);
}

bool Gone() { return Main() == nullptr; }

void Settle(HWND window) {
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
  UpdateWindow(window);
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: runcontrol wait|close SECONDS\n");
    return 2;
  }
  DWORD seconds = static_cast<DWORD>(std::atoi(argv[2]));
  if (std::strcmp(argv[1], "wait") == 0) {
    if (!WaitUntil(ShownWithDialog, seconds)) return 1;
    // The program activates its main window last; the picture wants the dialog in front.
    SetForegroundWindow(toolDialog);
    Settle(Main());
    Settle(toolDialog);
    return 0;
  }
  if (std::strcmp(argv[1], "close") == 0) {
    if (HWND main = Main()) PostMessageA(main, WM_CLOSE, 0, 0);
    return WaitUntil(Gone, seconds) ? 0 : 1;
  }
  return 2;
}
