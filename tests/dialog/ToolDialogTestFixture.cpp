#include "tests/dialog/ToolDialogTest.h"

#include <cstdio>

#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "resources/resource.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "shell/ToolDialog.h"
#include "tests/dialog/DialogDriver.h"
#include "tests/dialog/TestWindow.h"
#include "tests/support/ResetGraphModel.h"

void ToolDialogTest::SetUp() {
  ResetGraphModel();
  appInstance = GetModuleHandleA(nullptr);
  InitToolDialogControls();
  CreateLineStyleImageList();
  main_ = CreateTestMainWindow(600, 400);
  InitScrollInfo(main_);
  SetContentSize(main_, graphSettings.imageWidth, graphSettings.imageHeight);
  CreateToolDialog();
}

void ToolDialogTest::CreateToolDialog() {
  mainWindow = nullptr;
  toolDialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_TOOL), main_, ToolDlgProc, 0);
  ASSERT_NE(nullptr, toolDialog);
  mainWindow = main_;
}

void ToolDialogTest::TearDown() {
  DestroyWindow(main_);  // takes the owned dialog with it
  EXPECT_EQ(nullptr, toolDialog);
  mainWindow = nullptr;
  activeDialog = nullptr;
  ImageList_Destroy(lineStyleImageList);
  lineStyleImageList = nullptr;
  for (const std::string& path : files_) std::remove(path.c_str());
}

void ToolDialogTest::ShowDialog() {
  ShowWindow(toolDialog, SW_SHOW);
  SetForegroundWindow(toolDialog);
  PumpPending();
}

bool ToolDialogTest::LoadValues(const std::vector<const char*>& lines) {
  std::string path = "dialog_test_" + std::to_string(files_.size()) + ".txt";
  FILE* f = std::fopen(path.c_str(), "w");
  for (const char* line : lines) std::fprintf(f, "%s\n", line);
  std::fclose(f);
  files_.push_back(path);
  return LoadDataFile(path.c_str());
}

std::string ToolDialogTest::Text(int id) const { return ControlText(toolDialog, id); }
HWND ToolDialogTest::Item(int id) const { return GetDlgItem(toolDialog, id); }
