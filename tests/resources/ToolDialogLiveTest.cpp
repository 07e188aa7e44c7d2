#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "resources/resource.h"

namespace {

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// The tool dialog as the dialog manager builds it from template 103.
class LiveToolDialog : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes = {sizeof classes,
                                    ICC_UPDOWN_CLASS | ICC_BAR_CLASSES | ICC_USEREX_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));
    dialog_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_TOOL), nullptr,
                                 PassiveDialogProc, 0);
    ASSERT_NE(dialog_, nullptr);
  }
  void TearDown() override {
    if (dialog_) DestroyWindow(dialog_);
  }
  HWND dialog_ = nullptr;
};

TEST_F(LiveToolDialog, IsCreatedHiddenWithAllItsControls) {
  EXPECT_FALSE(IsWindowVisible(dialog_));
  int count = 0;
  for (HWND child = GetWindow(dialog_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    ++count;
  EXPECT_EQ(count, 56);
}

TEST_F(LiveToolDialog, TabVisitsTheInputControlsInLayoutOrder) {
  const std::vector<int> expected = {1000, 1018, 1001, 1019, 1004, 1020, 1002, 1003, 1023,
                                     1005, 1025, 1006, 1007, 1008, 1026, 1009, 1024};
  std::vector<int> visited;
  HWND first = GetNextDlgTabItem(dialog_, nullptr, FALSE);
  ASSERT_NE(first, nullptr);
  HWND item = first;
  do {
    visited.push_back(GetDlgCtrlID(item));
    item = GetNextDlgTabItem(dialog_, item, FALSE);
  } while (item && item != first && visited.size() <= expected.size());
  EXPECT_EQ(visited, expected);
}

TEST_F(LiveToolDialog, EachSpinIsBuddiedToTheEditBeforeIt) {
  const std::pair<int, int> spinAndEdit[] = {{1010, 1000}, {1011, 1001}, {1014, 1004},
                                             {1012, 1002}, {1013, 1003}, {1015, 1005},
                                             {1016, 1006}, {1017, 1007}};
  for (auto [spin, edit] : spinAndEdit) {
    HWND spinWindow = GetDlgItem(dialog_, spin);
    ASSERT_NE(spinWindow, nullptr) << spin;
    HWND buddy = reinterpret_cast<HWND>(SendMessageA(spinWindow, UDM_GETBUDDY, 0, 0));
    EXPECT_EQ(GetDlgCtrlID(buddy), edit) << "spin " << spin;
  }
}

TEST_F(LiveToolDialog, SpinWritesPlainDigitsIntoItsEdit) {
  SendDlgItemMessageA(dialog_, IDC_WIDTH_SPIN, UDM_SETRANGE32, 0, 100000);
  SendDlgItemMessageA(dialog_, IDC_WIDTH_SPIN, UDM_SETPOS32, 0, 12345);
  char text[16] = {};
  GetDlgItemTextA(dialog_, IDC_WIDTH, text, sizeof text);
  EXPECT_STREQ(text, "12345") << "no thousands separator";
}

}  // namespace
