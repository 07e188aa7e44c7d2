#include "shell/MessageLoop.h"

#include <windows.h>

#include "shell/ShellState.h"

int RunMessageLoop() {
  MSG message;
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0) return static_cast<int>(message.wParam);
    if (got == -1) return 1;  // no message will ever come: waiting on would hang
    if (activeDialog && IsDialogMessageA(activeDialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
