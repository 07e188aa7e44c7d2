// The built program, started as its own process: command line, single
// instance hand-over and exit codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/app/AppTestSupport.h"

namespace {

const char kAppName[] = "zimbelplot";
constexpr DWORD kDeadlineMs = 15000;

std::string ProgramPath() { return BuildTreeFile("shell\\zimbelplot.exe"); }

// One started program; whatever still runs at the end is terminated.
class Program {
 public:
  Program() = default;
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (!info_.hProcess) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, kDeadlineMs);
    }
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }

  bool Start(const std::string& tail, const std::string& directory = "") {
    std::string commandLine = "\"" + ProgramPath() + "\"";
    if (!tail.empty()) commandLine += " " + tail;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          directory.empty() ? nullptr : directory.c_str(), &startup, &info_);
  }

  // The exit code, or STILL_ACTIVE when the deadline passed first.
  DWORD ExitCode() {
    WaitForSingleObject(info_.hProcess, kDeadlineMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

  HWND MainWindow() const {
    HWND found = nullptr;
    WaitFor([&] {
      found = FindWindowA(kAppName, kAppName);
      DWORD process = 0;
      if (found) GetWindowThreadProcessId(found, &process);
      // Visible only once its creation, and with it the start file's load, is done.
      return found && process == info_.dwProcessId && IsWindowVisible(found);
    }, kDeadlineMs);
    return found;
  }

 private:
  PROCESS_INFORMATION info_ = {};
};

int CountMainWindows() {
  int count = 0;
  for (HWND w = FindWindowA(kAppName, kAppName); w; w = FindWindowExA(nullptr, w, kAppName, kAppName)) {
    ++count;
  }
  return count;
}

// What the width field shows once the program has handled what was sent.
std::string WidthShown(HWND main) {
  SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, nullptr);
  HWND dialog = FindToolDialog(main);
  return dialog ? DialogItemText(dialog, 1000) : "no tool dialog";
}

bool ToolDialogShown(HWND main) {
  HWND dialog = FindToolDialog(main);
  return dialog && IsWindowVisible(dialog);
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(GetFileAttributesA(ProgramPath().c_str()) == INVALID_FILE_ATTRIBUTES, false)
        << ProgramPath();
    ASSERT_TRUE(WaitFor([] { return CountMainWindows() == 0; }, kDeadlineMs))
        << "a program of an earlier test still runs";
  }

  void TearDown() override { WaitFor([] { return CountMainWindows() == 0; }, kDeadlineMs); }

  // Plain folders for unquoted paths, one with blanks for quoted ones.
  TempFolder plain{"zimbel-program-test"};
  TempFolder blanks{"zimbel program test"};
};

TEST_F(ProgramTest, StartWithADataFileLoadsItAndShowsTheToolDialog) {
  Program program;
  ASSERT_TRUE(program.Start(plain.WriteValues("three.txt", 3)));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(WaitFor([&] { return ToolDialogShown(main); }));
  EXPECT_EQ(WidthShown(main), "70");
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(ProgramTest, FirstStartLoadsTheFirstArgumentQuotesRemoved) {
  {
    Program program;
    ASSERT_TRUE(program.Start("\"" + blanks.WriteValues("three values.txt", 3) + "\""));
    HWND main = program.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WidthShown(main), "70");
  }
  ASSERT_TRUE(WaitFor([] { return CountMainWindows() == 0; }, kDeadlineMs));
  Program program;
  ASSERT_TRUE(program.Start(plain.WriteValues("five.txt", 5) + " " + plain.WriteValues("seven.txt", 7)));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WidthShown(main), "110");
}

TEST_F(ProgramTest, NoArgumentsShowsNoGraphAndNoToolDialog) {
  Program program;
  ASSERT_TRUE(program.Start(""));
  HWND main = program.MainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(WidthShown(main), "0");
  EXPECT_FALSE(ToolDialogShown(main));
  PostMessageA(main, WM_COMMAND, 40002, 0);  // File > Exit
  EXPECT_EQ(program.ExitCode(), 0u);
}

TEST_F(ProgramTest, SecondStartHandsItsCommandTailToTheRunningInstance) {
  std::string first = plain.WriteValues("first.txt", 3);
  Program running;
  ASSERT_TRUE(running.Start(""));
  HWND main = running.MainWindow();
  ASSERT_NE(main, nullptr);

  struct Road {
    const char* name;
    std::string tail;
    const char* widthAfter;
  };
  const Road roads[] = {
      {"one path", first, "70"},
      {"no arguments", "", "70"},
      {"quoted path with blanks", "\"" + blanks.WriteValues("five values.txt", 5) + "\"", "110"},
      {"two unquoted paths are one missing path",
       plain.WriteValues("a.txt", 7) + " " + plain.WriteValues("b.txt", 9), "110"},
      {"quoted first of two paths", "\"" + plain.File("a.txt") + "\" \"" + plain.File("b.txt") + "\"",
       "150"},
  };
  for (const Road& road : roads) {
    Program second;
    ASSERT_TRUE(second.Start(road.tail)) << road.name;
    EXPECT_EQ(second.ExitCode(), 0u) << road.name;
    EXPECT_EQ(CountMainWindows(), 1) << road.name;
    EXPECT_EQ(WidthShown(main), road.widthAfter) << road.name;
  }
  EXPECT_TRUE(ToolDialogShown(main));
  PostMessageA(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(running.ExitCode(), 0u);
}

TEST_F(ProgramTest, HandedOverRelativePathIsTheReceiversOwn) {
  TempFolder other("zimbel-program-test-other");
  plain.WriteValues("relative.txt", 7);
  other.WriteValues("relative.txt", 9);
  Program running;
  ASSERT_TRUE(running.Start("", plain.path()));
  HWND main = running.MainWindow();
  ASSERT_NE(main, nullptr);

  Program second;
  ASSERT_TRUE(second.Start("relative.txt", other.path()));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_EQ(WidthShown(main), "150");
}

TEST_F(ProgramTest, SurvivesHostileHandOverMessagesFromAnotherProcess) {
  Program running;
  ASSERT_TRUE(running.Start(plain.WriteValues("three.txt", 3)));
  HWND main = running.MainWindow();
  ASSERT_NE(main, nullptr);

  std::string five = plain.WriteValues("five.txt", 5);
  std::vector<char> huge(100000, 'a');
  struct Message {
    const void* data;
    DWORD size;
  };
  const Message messages[] = {
      {five.c_str(), 0},
      {nullptr, 0},
      {five.c_str(), static_cast<DWORD>(five.size() - 4)},  // no terminator within
      {huge.data(), static_cast<DWORD>(huge.size())},
  };
  for (const Message& m : messages) {
    COPYDATASTRUCT data = {0, m.size, const_cast<void*>(m.data)};
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(main, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                    SMTO_ABORTIFHUNG, kDeadlineMs, &result));
  }
  EXPECT_EQ(WidthShown(main), "70");
  SendMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);  // the title bar's close
  EXPECT_EQ(running.ExitCode(), 0u);
}

}  // namespace
