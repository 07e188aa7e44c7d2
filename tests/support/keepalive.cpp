// Sleeps until killed, so that Wine's system processes stay up between tests.
#include <windows.h>

int main() {
  Sleep(INFINITE);
  return 0;
}
