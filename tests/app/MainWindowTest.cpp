// The real main window, created in this process: menus, drops, the hand-over
// message and the common dialogs can only be driven from inside.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "model/GraphModel.h"
#include "render/gdiplus/OffscreenImage.h"
#include "resources/resource.h"
#include "shell/MainWindow.h"
#include "shell/MessageLoop.h"
#include "shell/ShellState.h"
#include "shell/ToolDialog.h"
#include "tests/app/AppTestSupport.h"
#include "tests/support/ResetGraphModel.h"

namespace {

constexpr int kFileNameCombo = 0x47C;  // where the common file dialogs take the name
constexpr uint32_t kBlack = 0xFF000000;

std::string CurrentDirectory() {
  char path[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof path, path);
  return path;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGraphModel();
    startDirectory_ = CurrentDirectory();
    window = StartMainWindow(GetModuleHandleA(nullptr));
    ASSERT_NE(window, nullptr);
    ASSERT_NE(toolDialog, nullptr);
    PumpPending();
  }

  void TearDown() override {
    if (IsWindow(window)) SendMessageA(window, WM_CLOSE, 0, 0);
    // The close posted WM_QUIT: take it, so the next test's pumps run.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetCurrentDirectoryA(startDirectory_.c_str());
  }

  bool ToolChecked() const {
    return (GetMenuState(GetMenu(window), IDM_TOOL, MF_BYCOMMAND) & MF_CHECKED) != 0;
  }

  void Drop(const std::vector<std::string>& paths) {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& p : paths) size += p.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(drop + 1);
    for (const std::string& p : paths) {
      std::memcpy(names, p.c_str(), p.size() + 1);
      names += p.size() + 1;
    }
    GlobalUnlock(memory);
    SendMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  }

  void CopyData(const void* data, DWORD size) {
    COPYDATASTRUCT message = {0, size, const_cast<void*>(data)};
    SendMessageA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&message));
  }

  void SetField(int id, const char* text) { SetDlgItemTextA(toolDialog, id, text); }

  void CheckAutoRatio() {
    CheckDlgButton(toolDialog, IDC_AUTORATIO, BST_CHECKED);
    SendMessageA(toolDialog, WM_COMMAND, MAKEWPARAM(IDC_AUTORATIO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(toolDialog, IDC_AUTORATIO)));
  }

  // The picture of a fresh paint, as Save As writes it.
  PngImage PaintAndSave() {
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    std::string path = folder.File("painted.png");
    DeleteFileA(path.c_str());
    SavePng(path.c_str());
    return ReadPng(path);
  }

  // Posts a menu command whose modal dialog `drive` answers from a helper thread.
  bool RunDialogCommand(int command, const std::function<bool()>& drive) {
    PostMessageA(window, WM_COMMAND, command, 0);
    return DriveWhilePumping(drive);
  }

  HWND WaitForDialog(HWND owner, HWND except = nullptr) {
    HWND dialog = nullptr;
    WaitFor([&] { return (dialog = FindOwnedDialog(owner, except)) != nullptr; }, 10000, false);
    return dialog;
  }

  bool WaitUntilGone(HWND dialog) {
    return WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 10000, false);
  }

  // Types `name` into a file dialog and confirms; answers an overwrite
  // prompt with Yes and reports it in `prompted`.
  bool AnswerFileDialog(HWND dialog, const std::string& name, bool* prompted = nullptr) {
    if (!dialog) return false;
    SetDlgItemTextA(dialog, kFileNameCombo, name.c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND prompt = nullptr;
    WaitFor([&] { return (prompt = FindOwnedDialog(dialog)) != nullptr || !IsWindow(dialog); },
            10000, false);
    if (prompted) *prompted = prompt != nullptr;
    if (prompt) PostMessageA(prompt, WM_COMMAND, IDYES, 0);
    return WaitUntilGone(dialog);
  }

  HWND window = nullptr;
  TempFolder folder;

 private:
  std::string startDirectory_;
};

TEST_F(MainWindowTest, StartsEmptyAndToggleKeepsDialogAndCheckMarkTogether) {
  EXPECT_EQ(graphSettings.imageWidth, 0);
  EXPECT_FALSE(IsWindowVisible(toolDialog));
  EXPECT_FALSE(ToolChecked());
  EXPECT_EQ(mainWindow, window);

  SendMessageA(window, WM_COMMAND, IDM_TOOL, 0);
  EXPECT_TRUE(IsWindowVisible(toolDialog));
  EXPECT_TRUE(ToolChecked());
  SendMessageA(window, WM_COMMAND, IDM_TOOL, 0);
  EXPECT_FALSE(IsWindowVisible(toolDialog));
  EXPECT_FALSE(ToolChecked());

  // A load shows the hidden dialog again, with its check mark.
  Drop({folder.WriteValues("three.txt", 3)});
  EXPECT_TRUE(IsWindowVisible(toolDialog));
  EXPECT_TRUE(ToolChecked());
}

TEST_F(MainWindowTest, DropLoadsTheFirstFileAndKeepsTheGraphForAFolder) {
  Drop({folder.WriteValues("three.txt", 3), folder.WriteValues("five.txt", 5),
        folder.WriteValues("seven.txt", 7)});
  EXPECT_EQ(graphData.count, 3);
  EXPECT_EQ(graphSettings.imageWidth, 70);
  EXPECT_EQ(DialogItemText(toolDialog, IDC_WIDTH), "70");

  Drop({folder.path()});
  EXPECT_EQ(graphData.count, 3);
  Drop({folder.File("missing.txt")});
  EXPECT_EQ(graphData.count, 3);
  EXPECT_EQ(graphSettings.imageWidth, 70);
}

TEST_F(MainWindowTest, DropNeverLoadsAFileNamedByACutPath) {
  // A file whose full path has exactly 259 characters, and a dropped path
  // that begins with it: cut to 259 characters it would name that file.
  std::string prefix = folder.path() + "\\";
  std::string name(259 - prefix.size(), 'n');
  std::string exact = folder.WriteValues(name, 3);
  ASSERT_EQ(exact.size(), 259u);
  ASSERT_NE(GetFileAttributesA(exact.c_str()), INVALID_FILE_ATTRIBUTES);

  Drop({exact + ".longer"});
  EXPECT_EQ(graphData.count, 0);
  Drop({exact});
  EXPECT_EQ(graphData.count, 3);
}

TEST_F(MainWindowTest, HandOverLoadsQuotedAndPlainPaths) {
  TempFolder blanks("zimbel app test with blanks");
  std::string three = blanks.WriteValues("three values.txt", 3);
  std::string quoted = "\"" + three + "\" ignored.txt";
  CopyData(quoted.c_str(), static_cast<DWORD>(quoted.size() + 1));
  EXPECT_EQ(graphData.count, 3);

  std::string five = blanks.WriteValues("five values.txt", 5);
  CopyData(five.c_str(), static_cast<DWORD>(five.size() + 1));
  EXPECT_EQ(graphData.count, 5);
  EXPECT_EQ(graphSettings.imageWidth, 110);
}

TEST_F(MainWindowTest, SurvivesHostileHandOverMessages) {
  std::string three = folder.WriteValues("three.txt", 3);
  CopyData(three.c_str(), static_cast<DWORD>(three.size() + 1));
  ASSERT_EQ(graphData.count, 3);

  std::string five = folder.WriteValues("five.txt", 5);
  CopyData(five.c_str(), 0);
  CopyData(nullptr, 0);
  CopyData(nullptr, 16);
  SendMessageA(window, WM_COPYDATA, 0, 0);
  // Not terminated within its size: read on, the bytes would name five.txt.
  CopyData(five.c_str(), static_cast<DWORD>(five.size() - 4));
  std::vector<char> huge(100000, 'a');
  CopyData(huge.data(), static_cast<DWORD>(huge.size()));
  huge.back() = '\0';
  CopyData(huge.data(), static_cast<DWORD>(huge.size()));

  EXPECT_EQ(graphData.count, 3);
  EXPECT_TRUE(IsWindow(window));
  UpdateWindow(window);
}

TEST_F(MainWindowTest, WidthBeyondTheSliderRangeStaysInEffect) {
  Drop({folder.WriteValues("hundred.txt", 100)});
  EXPECT_EQ(graphSettings.imageWidth, 2010);
  EXPECT_EQ(DialogItemText(toolDialog, IDC_WIDTH), "2010");
  SCROLLINFO bar = {};
  bar.cbSize = sizeof bar;
  bar.fMask = SIF_RANGE;
  GetScrollInfo(window, SB_HORZ, &bar);
  EXPECT_EQ(bar.nMax, 2009);

  Drop({folder.WriteValues("many.txt", 600)});
  EXPECT_EQ(graphData.count, kMaxPoints);
  EXPECT_EQ(graphSettings.imageWidth, 10250);
  EXPECT_EQ(DialogItemText(toolDialog, IDC_WIDTH), "10250");
  PngImage image = PaintAndSave();
  EXPECT_EQ(image.width, 10250);
}

TEST_F(MainWindowTest, SavedImageOfThreeValuesAtTheDefaultsWithAutomaticRatio) {
  Drop({folder.WriteValues("three.txt", 3)});
  CheckAutoRatio();
  ASSERT_EQ(graphSettings.ratio, 60.0);
  PngImage image = PaintAndSave();
  ASSERT_EQ(image.width, 70);
  ASSERT_EQ(image.height, 200);

  struct Pixel {
    int x, y;
    uint32_t argb;
  };
  const Pixel expected[] = {
      {10, 130, kBlack}, {30, 70, kBlack}, {50, 10, kBlack},  // marker centres
      {11, 130, kBlack}, {29, 71, kBlack},                    // inside the markers
      {20, 100, kBlack}, {40, 40, kBlack},                    // the polyline between them
      {0, 190, kBlack},  {69, 190, kBlack},                   // the X axis on row 190
      {0, 0, kBlack},    {0, 100, kBlack},                    // the Y axis down to it
      {10, 185, kBlack}, {30, 186, kBlack}, {50, 189, kBlack},  // X ticks, 5 pixels high
      {10, 184, 0},      {20, 186, 0},                          // above and between ticks
      {0, 191, 0},       {0, 199, 0},                           // nothing below the axis
      {60, 100, 0},      {69, 0, 0},     {40, 150, 0},          // transparent background
  };
  for (const Pixel& p : expected) {
    EXPECT_EQ(image.At(p.x, p.y), p.argb) << "(" << p.x << ", " << p.y << ")";
  }
}

TEST_F(MainWindowTest, PaintsOnlyThePointsTheWidthHolds) {
  Drop({folder.WriteValues("three.txt", 3)});
  CheckAutoRatio();
  SetField(IDC_LEFTMARGIN, "0");
  SetField(IDC_WIDTH, "50");
  ASSERT_EQ(graphSettings.imageWidth, 50);
  // Points at x 0, 20 and 40: 50 / 20 = 2 points, although the third fits.
  PngImage image = PaintAndSave();
  ASSERT_EQ(image.width, 50);
  EXPECT_EQ(image.At(20, 70), kBlack);
  EXPECT_EQ(image.At(40, 10), 0u);

  SetField(IDC_WIDTH, "70");
  EXPECT_EQ(PaintAndSave().At(40, 10), kBlack);
}

TEST_F(MainWindowTest, PointIntervalZeroDrawsNoPoints) {
  Drop({folder.WriteValues("three.txt", 3)});
  CheckAutoRatio();
  SetField(IDC_INTERVAL, "0");
  ASSERT_EQ(graphSettings.pointInterval, 0);
  PngImage image = PaintAndSave();
  ASSERT_EQ(image.width, 70);
  EXPECT_EQ(image.At(10, 130), 0u);
  EXPECT_EQ(image.At(60, 190), kBlack);  // the axes are still drawn
}

TEST_F(MainWindowTest, SaveAsAddsTheExtensionAsksBeforeOverwritingAndKeepsTheDirectory) {
  Drop({folder.WriteValues("three.txt", 3)});
  UpdateWindow(window);
  std::string before = CurrentDirectory();
  std::string saved = folder.File("graph");
  bool prompted = true;
  ASSERT_TRUE(RunDialogCommand(IDM_SAVEAS, [&] {
    return AnswerFileDialog(WaitForDialog(window, toolDialog), saved, &prompted);
  }));
  EXPECT_FALSE(prompted);
  EXPECT_EQ(ReadPng(saved + ".png").width, 70);
  EXPECT_EQ(CurrentDirectory(), before);

  Drop({folder.WriteValues("five.txt", 5)});
  UpdateWindow(window);
  ASSERT_TRUE(RunDialogCommand(IDM_SAVEAS, [&] {
    return AnswerFileDialog(WaitForDialog(window, toolDialog), saved + ".png", &prompted);
  }));
  EXPECT_TRUE(prompted);
  EXPECT_EQ(ReadPng(saved + ".png").width, 110);
  EXPECT_EQ(CurrentDirectory(), before);
}

TEST_F(MainWindowTest, OpenLoadsAndMovesTheDirectoryCancelLoadsNothing) {
  std::string three = folder.WriteValues("three.txt", 3);
  ASSERT_TRUE(RunDialogCommand(IDM_OPEN, [&] {
    HWND dialog = WaitForDialog(nullptr, toolDialog);
    if (!dialog) return false;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return WaitUntilGone(dialog);
  }));
  EXPECT_EQ(graphData.count, 0);

  ASSERT_TRUE(RunDialogCommand(IDM_OPEN, [&] {
    return AnswerFileDialog(WaitForDialog(nullptr, toolDialog), three);
  }));
  EXPECT_EQ(graphData.count, 3);
  EXPECT_EQ(graphSettings.imageWidth, 70);
  EXPECT_EQ(CurrentDirectory(), folder.path());
}

BOOL CALLBACK CollectText(HWND child, LPARAM lParam) {
  reinterpret_cast<std::vector<std::string>*>(lParam)->push_back(WindowText(child));
  return TRUE;
}

TEST_F(MainWindowTest, AboutBoxShowsNameVersionAndVnr) {
  std::vector<std::string> texts;
  std::string caption;
  ASSERT_TRUE(RunDialogCommand(IDM_ABOUT, [&] {
    HWND about = WaitForDialog(window, toolDialog);
    if (!about) return false;
    caption = WindowText(about);
    EnumChildWindows(about, CollectText, reinterpret_cast<LPARAM>(&texts));
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    return WaitUntilGone(about);
  }));
  EXPECT_NE(caption.find("zimbelplot"), std::string::npos) << caption;
  bool found = false;
  for (const std::string& text : texts) found |= text == "zimbelplot ver 1.2\tVNR";
  EXPECT_TRUE(found);
}

TEST_F(MainWindowTest, TabMovesThroughTheToolDialogWhileItIsActive) {
  SendMessageA(window, WM_COMMAND, IDM_TOOL, 0);
  SetForegroundWindow(toolDialog);
  ASSERT_TRUE(WaitFor([] { return activeDialog == toolDialog; }));
  SetFocus(GetDlgItem(toolDialog, IDC_WIDTH));
  PostMessageA(GetDlgItem(toolDialog, IDC_WIDTH), WM_KEYDOWN, VK_TAB, 0);
  PostQuitMessage(7);
  EXPECT_EQ(RunMessageLoop(), 7);
  EXPECT_EQ(GetFocus(), GetDlgItem(toolDialog, IDC_WIDTH_SLIDER));
}

TEST_F(MainWindowTest, ExitTearsDownAndQuitsWithZero) {
  Drop({folder.WriteValues("three.txt", 3)});
  UpdateWindow(window);
  ASSERT_NE(offscreenImage, nullptr);
  PostMessageA(window, WM_COMMAND, IDM_EXIT, 0);
  EXPECT_EQ(RunMessageLoop(), 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(toolDialog, nullptr);
  EXPECT_EQ(offscreenImage, nullptr);
  EXPECT_EQ(lineStyleImageList, nullptr);
}

// The exporter is the window's own paint and Save As without the window:
// for the same file and settings the pictures match pixel for pixel.
TEST_F(MainWindowTest, ExporterWritesWhatSaveAsWrites) {
  const std::string data = folder.Write("mixed.txt", "-3\n1.5\n4\n-2\n7\n0\n2.25\n");
  struct Case {
    const char* options;
    std::function<void()> setInDialog;
  };
  const Case cases[] = {
      {"--auto-ratio", [this] { CheckAutoRatio(); }},
      {"--height 150 --line-width 3 --point-size 7 --x-tick 3 --y-tick-unit 2.5 --ratio 12 --line-style dash "
       "--point-kind square --line-color #0000FF --background #FFFFE0",
       [this] {
         SetField(IDC_HEIGHT, "150");
         SetField(IDC_LINEWIDTH, "3");
         SetField(IDC_POINTSIZE, "7");
         SetField(IDC_XTICK, "3");
         SetField(IDC_YTICKUNIT, "2.5");
         SetField(IDC_RATIO, "12");
         // What the list and colour choices store.
         graphSettings.lineStyle = 1;
         graphSettings.pointKind = Square;
         graphSettings.lineColor() = 0x00FF0000;
         graphSettings.backgroundColor() = 0x00E0FFFF;
         graphSettings.transparent = false;
       }},
  };
  const std::string exporter = BuildTreeFile("export\\zimbelplot-export.exe");
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    c.setInDialog();
    Drop({data});
    const PngImage saved = PaintAndSave();

    const std::string exported = folder.File("exported.png");
    DeleteFileA(exported.c_str());
    ASSERT_EQ(RunToExit("\"" + exporter + "\" " + c.options + " \"" + data + "\" -o \"" + exported + "\""), 0u)
        << c.options;
    const PngImage image = ReadPng(exported);
    ASSERT_EQ(image.width, saved.width) << c.options;
    ASSERT_EQ(image.height, saved.height) << c.options;
    ASSERT_GT(image.width, 0);
    int differing = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i) differing += image.pixels[i] != saved.pixels[i];
    EXPECT_EQ(differing, 0) << c.options;
  }
}

// Windows names one file in many ways: another case, another spelling, a hard
// link. None of them lets the exporter replace its input.
TEST_F(MainWindowTest, ExporterNeverReplacesItsInput) {
  const std::string data = folder.Write("data.png", "1\n");
  ASSERT_TRUE(CreateHardLinkA(folder.File("hard.png").c_str(), data.c_str(), nullptr));
  const std::string exporter = BuildTreeFile("export\\zimbelplot-export.exe");
  for (const char* output : {"DATA.PNG", ".\\data.png", "hard.png"}) {
    EXPECT_EQ(RunToExit("\"" + exporter + "\" \"" + data + "\" -o \"" + folder.File(output) + "\""), 1u) << output;
    std::ifstream file(data, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, "1\n") << output;
  }
}

}  // namespace
