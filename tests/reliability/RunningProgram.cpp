#include "tests/reliability/RunningProgram.h"

#include <commctrl.h>

#include <cstdlib>
#include <string>

#include "resources/resource.h"

namespace {

constexpr char kAppName[] = "zimbelplot";
constexpr DWORD kStartMs = 30000;  // a cold Wine takes seconds to start its own processes
constexpr DWORD kCloseMs = 15000;

// The build hands over the program's path as the build system sees it; under
// Wine that is a Unix path, reached through drive Z:.
std::string ProgramPath() {
  std::string path = ZIMBEL_PROGRAM_PATH;
  if (!path.empty() && path[0] == '/') {
    for (char& c : path)
      if (c == '/') c = '\\';
    path = "Z:" + path;
  }
  return path;
}

DWORD ProcessOf(HWND window) {
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  return id;
}

bool IsDialogClass(HWND window) {
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpA(name, "#32770") == 0;
}

struct DialogSearch {
  DWORD processId;
  bool tool;  // the tool dialog, hidden or not; else a visible dialog the program opened
  HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM lparam) {
  auto* search = reinterpret_cast<DialogSearch*>(lparam);
  if (ProcessOf(window) != search->processId || !IsDialogClass(window)) return TRUE;
  bool isTool = GetDlgItem(window, IDC_WIDTH) != nullptr;
  if (isTool != search->tool || (!isTool && !IsWindowVisible(window))) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindProcessDialog(DWORD processId, bool tool) {
  DialogSearch search = {processId, tool, nullptr};
  EnumWindows(FindDialog, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool StartProgram(const std::string& folder, const std::string& arguments,
                  PROCESS_INFORMATION* process) {
  std::string commandLine = "\"" + ProgramPath() + "\"";
  if (!arguments.empty()) commandLine += " " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, process) != 0;
}

}  // namespace

DWORD Stretched(DWORD timeoutMs) {
  static const int scale = [] {
    const char* text = std::getenv("ZIMBEL_TIME_SCALE");
    return text && std::atoi(text) > 1 ? std::atoi(text) : 1;
  }();
  return timeoutMs * scale;
}

DWORD RunSecondStart(const std::string& folder, const std::string& arguments, DWORD timeoutMs) {
  timeoutMs = Stretched(timeoutMs);
  PROCESS_INFORMATION process = {};
  if (!StartProgram(folder, arguments, &process)) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, timeoutMs);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

RunningProgram::RunningProgram(const std::string& folder, const std::string& arguments) {
  // A program left running would take our start as a hand-over. The last
  // test's window may outlive its process for a moment while Wine tears it
  // down, so wait for it, within a bound.
  if (!WaitFor([] { return !FindWindowA(kAppName, kAppName); }, kCloseMs)) return;
  if (!StartProgram(folder, arguments, &process_)) return;
  const DWORD id = process_.dwProcessId;
  WaitFor(
      [&] {
        HWND window = FindWindowA(kAppName, kAppName);
        if (window && ProcessOf(window) == id) mainWindow_ = window;
        return mainWindow_ != nullptr || !Alive();
      },
      kStartMs);
  // The window is found as soon as it exists, while its creation may still be
  // building the tool dialog; the first sent message waits for the loop.
  if (!mainWindow_ || !Responds(kStartMs) || !(toolDialog_ = FindProcessDialog(id, true)))
    mainWindow_ = nullptr;
}

RunningProgram::~RunningProgram() {
  if (!process_.hProcess) return;
  if (Alive() && Close() == STILL_ACTIVE) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, Stretched(kCloseMs));
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool RunningProgram::Alive() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

bool RunningProgram::Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                          DWORD timeoutMs) const {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, Stretched(timeoutMs), &result) != 0;
}

bool RunningProgram::Responds(DWORD timeoutMs) const {
  return Alive() && Send(mainWindow_, WM_NULL, 0, 0, timeoutMs);
}

bool RunningProgram::Paint(DWORD timeoutMs, double* seconds) const {
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  bool painted = InvalidateRect(mainWindow_, nullptr, TRUE) &&
                 Send(mainWindow_, WM_PAINT, 0, 0, timeoutMs);
  QueryPerformanceCounter(&end);
  if (seconds) *seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  return painted;
}

bool RunningProgram::SetText(int controlId, const std::string& text) const {
  return Send(Control(controlId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string RunningProgram::Text(int controlId) const {
  char text[256] = {};
  Send(Control(controlId), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

bool RunningProgram::SelectItem(int listId, int index) const {
  HWND list = Control(listId);
  return Send(list, CB_SETCURSEL, index, 0) &&
         Send(toolDialog_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

bool RunningProgram::SetCheck(int boxId, bool checked) const {
  HWND box = Control(boxId);
  return Send(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0) &&
         Send(toolDialog_, WM_COMMAND, MAKEWPARAM(boxId, BN_CLICKED), reinterpret_cast<LPARAM>(box));
}

bool RunningProgram::MoveSlider(int sliderId, int position) const {
  HWND slider = Control(sliderId);
  return Send(slider, TBM_SETPOS, TRUE, position) &&
         Send(toolDialog_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, position),
              reinterpret_cast<LPARAM>(slider));
}

bool RunningProgram::SendCopyData(const void* data, DWORD size) const {
  COPYDATASTRUCT message = {0, size, const_cast<void*>(data)};
  return Send(mainWindow_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&message));
}

bool RunningProgram::SaveAs(const std::string& path, DWORD timeoutMs) const {
  // Posted: the command runs a modal dialog that we must drive meanwhile.
  if (!PostMessageA(mainWindow_, WM_COMMAND, IDM_SAVEAS, 0)) return false;
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (dialog = FindProcessDialog(process_.dwProcessId, false)); },
               kRespondMs))
    return false;
  HWND name = GetDlgItem(dialog, 0x47C);  // cmb13 of the Explorer-style dialog
  if (!name) name = GetDlgItem(dialog, 0x480);  // edt1 of the old style
  if (!name || !Send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()))) return false;
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  // Once the dialog is gone the save runs; the next sent message waits for it.
  return WaitFor([&] { return !IsWindow(dialog); }, kRespondMs) && Responds(timeoutMs);
}

DWORD RunningProgram::Close() {
  DWORD code = STILL_ACTIVE;
  if (mainWindow_) PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process_.hProcess, Stretched(kCloseMs)) == WAIT_OBJECT_0)
    GetExitCodeProcess(process_.hProcess, &code);
  return code;
}

ScratchFolder::ScratchFolder(const std::string& name) {
  char full[MAX_PATH] = {};
  GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
  path_ = full;
  CreateDirectoryA(path_.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((path_ + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        DeleteFileA(PathOf(found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(path_.c_str());
}

std::string ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
  std::string path = PathOf(name);
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}
