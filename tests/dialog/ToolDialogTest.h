#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <windows.h>

// The tool dialog created as the program creates it: common controls and the
// line-style images first, the dialog owned by the main window, and the main
// window's handle stored only once the dialog exists.
class ToolDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  void CreateToolDialog();
  void ShowDialog();
  // Writes the values as a data file and loads it, as File > Open does.
  bool LoadValues(const std::vector<const char*>& lines);

  std::string Text(int id) const;
  HWND Item(int id) const;

  HWND main_ = nullptr;

 private:
  std::vector<std::string> files_;
};
