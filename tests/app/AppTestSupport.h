#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// A folder of its own under the temporary directory, removed with its files.
class TempFolder {
 public:
  explicit TempFolder(const char* name = "zimbel app test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  // Writes `count` values 1, 2, 3, ... one per line; returns the full path.
  std::string WriteValues(const std::string& name, int count) const;
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

// A file of the build tree this test binary belongs to, by its path in the
// tree: <build>\tests\app\x.exe gives <build>\ + `path`.
std::string BuildTreeFile(const std::string& path);

// Runs a command line to its end and returns its exit code; one still
// running at the deadline is terminated and gives STILL_ACTIVE.
DWORD RunToExit(const std::string& commandLine, DWORD timeoutMs = 30000);

// Polls `done` until it holds or the deadline passes, running this thread's
// messages in between when `pump` is set.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 10000, bool pump = true);
void PumpPending();

std::string WindowText(HWND window);
std::string DialogItemText(HWND dialog, int id);

// The visible dialog (#32770) owned by `owner`, of any process; with a NULL
// owner, a visible unowned one of this process other than `except`.
HWND FindOwnedDialog(HWND owner, HWND except = nullptr);

// The tool dialog of the main window `main` (any process), shown or hidden.
HWND FindToolDialog(HWND main);

// Pixels of a PNG file as 0xAARRGGBB, not premultiplied; empty when unreadable.
struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
PngImage ReadPng(const std::string& path);

// Runs `drive` on a helper thread while this thread keeps its messages
// flowing (a modal dialog's loop runs here); true when `drive` returned true
// before the deadline.
bool DriveWhilePumping(const std::function<bool()>& drive, DWORD timeoutMs = 20000);
