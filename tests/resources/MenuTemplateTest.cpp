#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/resource.h"
#include "shell/ShellState.h"
#include "tests/resources/ResourceReader.h"

namespace {

struct MenuItem {
  int depth;
  WORD flags;
  int id;  // -1 for a drop-down, which has no ID field
  std::wstring text;
};

bool operator==(const MenuItem& a, const MenuItem& b) {
  return a.depth == b.depth && a.flags == b.flags && a.id == b.id && a.text == b.text;
}

void PrintTo(const MenuItem& item, std::ostream* out) {
  *out << "{depth " << item.depth << ", flags 0x" << std::hex << item.flags << std::dec
       << ", id " << item.id << ", " << testing::PrintToString(item.text) << "}";
}

// Reads one level of a standard menu template, up to its MF_END item.
void ReadMenuLevel(TemplateReader& reader, int depth, std::vector<MenuItem>& items) {
  WORD flags;
  do {
    flags = reader.Word();
    MenuItem item{depth, flags, -1, {}};
    if (!(flags & MF_POPUP)) item.id = reader.Word();
    item.text = reader.String();
    items.push_back(item);
    if (flags & MF_POPUP) ReadMenuLevel(reader, depth + 1, items);
  } while (!(flags & MF_END) && !reader.Overrun());
}

using MenuTemplate = ModuleTest;

TEST_P(MenuTemplate, HasTheThreeDropDownsWithTheirCommands) {
  ResourceBytes bytes = FindResourceBytes(module_, RT_MENU, IDR_MAINMENU);
  ASSERT_NE(bytes.data, nullptr);
  TemplateReader reader(bytes);
  EXPECT_EQ(reader.Word(), 0) << "version: a standard menu, not an extended one";
  EXPECT_EQ(reader.Word(), 0) << "header size";
  std::vector<MenuItem> items;
  ReadMenuLevel(reader, 0, items);
  ASSERT_FALSE(reader.Overrun());
  EXPECT_EQ(reader.Offset(), bytes.size) << "nothing after the last top-level item";

  const std::vector<MenuItem> expected = {
      {0, 0x0010, -1, L"ファイル(&F)"},
      {1, 0x0000, 40001, L"開く(&O)..."},
      {1, 0x0000, 0, L""},
      {1, 0x0000, 40004, L"名前をつけて保存(&A)..."},
      {1, 0x0000, 0, L""},
      {1, 0x0080, 40002, L"終了(&E)"},
      {0, 0x0010, -1, L"表示(&V)"},
      {1, 0x0080, 40005, L"ツール(&T)..."},
      {0, 0x0090, -1, L"ヘルプ(&H)"},
      {1, 0x0080, 40003, L"バージョン情報(&A)..."},
  };
  EXPECT_EQ(items, expected);
}

INSTANTIATE_FOR_MODULES(MenuTemplate);

// A top-level window carrying menu 102, as the main window does.
class MenuWindow : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    ASSERT_NE(RegisterClassA(&windowClass), 0);
    HMENU menu = LoadMenuA(windowClass.hInstance, MAKEINTRESOURCEA(IDR_MAINMENU));
    ASSERT_NE(menu, nullptr);
    window_ = CreateWindowExA(0, kClassName, "menu", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                              nullptr, menu, windowClass.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);  // destroys the menu with it
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
  }
  UINT ToolItemState() const { return GetMenuState(GetMenu(window_), IDM_TOOL, MF_BYCOMMAND); }

  static constexpr const char* kClassName = "ZimbelMenuTest";
  HWND window_ = nullptr;
};

TEST_F(MenuWindow, ToolItemStartsUncheckedAndEnabled) {
  EXPECT_EQ(ToolItemState(), static_cast<UINT>(MF_UNCHECKED | MF_ENABLED));
}

TEST_F(MenuWindow, SetMenuCheckChecksAndClearsTheToolItem) {
  SetMenuCheck(window_, IDM_TOOL, true);
  EXPECT_EQ(ToolItemState(), static_cast<UINT>(MF_CHECKED));
  SetMenuCheck(window_, IDM_TOOL, false);
  EXPECT_EQ(ToolItemState(), static_cast<UINT>(MF_UNCHECKED | MF_ENABLED));
}

TEST_F(MenuWindow, ClearingTheCheckAlsoEnablesAndUnhighlights) {
  HMENU menu = GetMenu(window_);
  EnableMenuItem(menu, IDM_TOOL, MF_BYCOMMAND | MF_GRAYED);
  HiliteMenuItem(window_, menu, IDM_TOOL, MF_BYCOMMAND | MF_HILITE);
  ASSERT_NE(ToolItemState() & MF_GRAYED, 0u);
  SetMenuCheck(window_, IDM_TOOL, false);
  EXPECT_EQ(ToolItemState(), static_cast<UINT>(MF_UNCHECKED | MF_ENABLED));
}

TEST_F(MenuWindow, SetMenuCheckLeavesTheOtherItemsAlone) {
  SetMenuCheck(window_, IDM_TOOL, true);
  for (UINT id : {IDM_OPEN, IDM_SAVEAS, IDM_EXIT, IDM_ABOUT})
    EXPECT_EQ(GetMenuState(GetMenu(window_), id, MF_BYCOMMAND), 0u) << id;
}

}  // namespace
