#include <windows.h>

#include <cstring>

#include "model/AboutText.h"
#include "shell/MainWindow.h"
#include "shell/MessageLoop.h"
#include "shell/ShellState.h"

namespace {

// Gives the running instance this start's command tail, terminator included,
// and waits until it has been handled.
void HandOver(HWND running, const char* commandTail) {
  SetForegroundWindow(running);
  COPYDATASTRUCT data = {};
  data.cbData = static_cast<DWORD>(std::strlen(commandTail) + 1);
  data.lpData = const_cast<char*>(commandTail);
  SendMessageA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandTail, int) {
  if (HWND running = FindWindowA(kAppName, kAppName)) {
    HandOver(running, commandTail);
    return 0;
  }
  // Without a window no message would ever end the loop.
  if (!StartMainWindow(instance)) return 1;
  return RunMessageLoop();
}
