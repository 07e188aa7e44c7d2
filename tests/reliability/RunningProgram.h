#pragma once
#include <windows.h>

#include <chrono>
#include <string>

// The built program, started in a folder of its own and driven from outside
// the way a user, a second start or another process reaches it: only through
// messages to its windows. Whatever it started, the destructor ends.
class RunningProgram {
 public:
  // `arguments` follow the program name on the command line.
  RunningProgram(const std::string& folder, const std::string& arguments);
  ~RunningProgram();
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  bool Started() const { return mainWindow_ != nullptr; }
  HANDLE Process() const { return process_.hProcess; }
  HWND MainWindow() const { return mainWindow_; }
  HWND ToolDialog() const { return toolDialog_; }
  bool Alive() const;

  // True when the program handles a sent message within the bound.
  bool Responds(DWORD timeoutMs = kRespondMs) const;

  // Invalidates the whole window and has it painted now; false when the paint
  // did not finish within the bound. `seconds` gets how long it took.
  bool Paint(DWORD timeoutMs, double* seconds = nullptr) const;

  // Writes a field of the tool dialog as a paste would: the program sees the
  // change notification and parses the text.
  bool SetText(int controlId, const std::string& text) const;
  std::string Text(int controlId) const;
  bool SelectItem(int listId, int index) const;
  bool SetCheck(int boxId, bool checked) const;
  bool MoveSlider(int sliderId, int position) const;

  // WM_COPYDATA as any process may send it.
  bool SendCopyData(const void* data, DWORD size) const;

  // File > Save As through the common dialog, typing `path` as the name. False
  // when the dialog did not appear or the program did not come back in time.
  bool SaveAs(const std::string& path, DWORD timeoutMs) const;

  // WM_CLOSE and the exit code; STILL_ACTIVE when it did not end in time.
  DWORD Close();

  static constexpr DWORD kRespondMs = 5000;

 private:
  HWND Control(int id) const { return GetDlgItem(toolDialog_, id); }
  bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
            DWORD timeoutMs = kRespondMs) const;

  PROCESS_INFORMATION process_ = {};
  HWND mainWindow_ = nullptr;
  HWND toolDialog_ = nullptr;
};

// Starts the program while another instance runs, as a user would a second
// time; its exit code, or STILL_ACTIVE when it did not end in time.
DWORD RunSecondStart(const std::string& folder, const std::string& arguments, DWORD timeoutMs);

// The folder a test's program runs in, with its data files; removed with all
// it holds when the test ends.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  // The full path of `name` inside the folder.
  std::string Write(const std::string& name, const std::string& bytes) const;
  std::string PathOf(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

// Every time bound of these tests goes through here: ZIMBEL_TIME_SCALE
// stretches them on a machine slower than any they were set for (an emulated one).
DWORD Stretched(DWORD timeoutMs);

// Polls `condition` until it holds or `timeoutMs` (stretched) has passed.
template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(Stretched(timeoutMs));
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    Sleep(10);
  }
}
