// Keeps Wine's system processes up between tests. It starts them itself, so
// that they inherit its quiet output and not a test runner's pipe (which the
// runner would then wait on until its timeout), and creates the file named by
// its argument once they answer. Then it sleeps until killed.
#include <windows.h>

#include <string>

int main(int argc, char** argv) {
  GetDesktopWindow();  // starts the desktop process
  // The service manager answers once Wine's services are running.
  if (SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT)) CloseServiceHandle(manager);
  if (argc > 1) {
    std::string path = std::string("Z:") + argv[1];  // a Unix path, through drive Z:
    for (char& c : path)
      if (c == '/') c = '\\';
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  Sleep(INFINITE);
  return 0;
}
