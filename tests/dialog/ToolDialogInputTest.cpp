// The decimal fields, the ratio, the lists, the check boxes, the swatches and
// the dialog's own window behaviour.
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>

#include "model/GraphModel.h"
#include "resources/resource.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "shell/ToolDialog.h"
#include "tests/dialog/DialogDriver.h"
#include "tests/dialog/TestWindow.h"
#include "tests/dialog/ToolDialogTest.h"
#include "tests/settings/SettingCases.h"

namespace {

// A change as a user makes it: typed, picked from a list, clicked, chosen.
void Change(HWND dialog, const SettingCase& c) {
  HWND control = GetDlgItem(dialog, c.controlId);
  switch (FindSetting(c.controlId)->kind) {
    case SettingKind::Integer:
    case SettingKind::Number: SetWindowTextA(control, c.text); break;
    case SettingKind::Choice: SelectListItem(dialog, c.controlId, c.value); break;
    case SettingKind::Flag:
      if ((IsDlgButtonChecked(dialog, c.controlId) == BST_CHECKED) != (c.value != 0)) {
        SendMessageA(control, BM_CLICK, 0, 0);
      }
      break;
    case SettingKind::Color: {
      ColorChooserAnswer answer(dialog, true, static_cast<COLORREF>(c.value));
      ReleaseMouseOver(dialog, c.controlId);
      PumpUntil([&] { return answer.answered(); });
      break;
    }
  }
}

// The changes the page and the exporter make too, through the controls:
// each stores what the core stores, with the dialog's after-effects.
TEST_F(ToolDialogTest, EachChangeIsStoredAsTheCoreStoresIt) {
  ShowDialog();
  GraphSettings expected = graphSettings;
  for (const SettingCase& c : kSettingCases) {
    Change(toolDialog, c);
    ApplyCase(expected, graphData, c);
    EXPECT_EQ("", Difference(expected, graphSettings)) << Describe(c);
  }
  EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(toolDialog, IDC_TRANSPARENT)) << "the background's pick shows";
}

TEST_F(ToolDialogTest, AHeightChangeRewritesATypedRatio) {
  ShowDialog();
  TypeInto(toolDialog, IDC_RATIO, "0.50");
  EXPECT_EQ(0.5, graphSettings.ratio);
  EXPECT_EQ("0.50", Text(IDC_RATIO));
  TypeInto(toolDialog, IDC_HEIGHT, "300");
  EXPECT_EQ("0.5", Text(IDC_RATIO));
  EXPECT_EQ(0.5, graphSettings.ratio);
  EXPECT_EQ(299, vScrollInfo.nMax);
}

TEST_F(ToolDialogTest, AutomaticRatioFitsTheDataInTheDisabledField) {
  ASSERT_TRUE(LoadValues({"1", "2", "7"}));
  SendMessageA(Item(IDC_AUTORATIO), BM_CLICK, 0, 0);
  EXPECT_TRUE(graphSettings.autoRatio);
  EXPECT_EQ("25.7143", Text(IDC_RATIO));
  EXPECT_EQ(25.7143, graphSettings.ratio);
  EXPECT_EQ(10, graphSettings.baseline);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_RATIO)));

  // Size and margin changes refit while it is on.
  TypeInto(toolDialog, IDC_HEIGHT, "300");
  EXPECT_EQ("40", Text(IDC_RATIO));
  SetWindowTextA(Item(IDC_VMARGIN), "20");
  EXPECT_EQ("37.1429", Text(IDC_RATIO));
  EXPECT_EQ(20, graphSettings.baseline);

  SendMessageA(Item(IDC_AUTORATIO), BM_CLICK, 0, 0);
  EXPECT_FALSE(graphSettings.autoRatio);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_RATIO)));
  EXPECT_EQ("37.1429", Text(IDC_RATIO));
  EXPECT_EQ(37.1429, graphSettings.ratio);
}

TEST_F(ToolDialogTest, ListsSetTheirSettingsOnlyOnASelectionChange) {
  SelectListItem(toolDialog, IDC_DISPLAY, 0);
  EXPECT_EQ(GraphOnly, graphSettings.displayMode);

  // The right control with another notification is not a selection.
  SendMessageA(Item(IDC_DISPLAY), CB_SETCURSEL, 1, 0);
  SendMessageA(toolDialog, WM_COMMAND, MAKEWPARAM(IDC_DISPLAY, CBN_DROPDOWN),
               reinterpret_cast<LPARAM>(Item(IDC_DISPLAY)));
  EXPECT_EQ(GraphOnly, graphSettings.displayMode);
}

TEST_F(ToolDialogTest, LineStyleItemsShowTheSamplesInDashStyleOrder) {
  for (int i = 0; i < 5; ++i) {
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_IMAGE;
    item.iItem = i;
    ASSERT_TRUE(SendMessageA(Item(IDC_LINESTYLE), CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(i, item.iImage);
  }
  EXPECT_EQ(5, ImageList_GetImageCount(lineStyleImageList));
  int cx = 0, cy = 0;
  ImageList_GetIconSize(lineStyleImageList, &cx, &cy);
  EXPECT_EQ(64, cx);
  EXPECT_EQ(16, cy);
}

TEST_F(ToolDialogTest, TransparencyBoxFollowsClicks) {
  ShowDialog();
  ValidateRect(main_, nullptr);
  SendMessageA(Item(IDC_TRANSPARENT), BM_CLICK, 0, 0);
  EXPECT_FALSE(graphSettings.transparent);
  EXPECT_TRUE(HasUpdateRegion(main_));
  SendMessageA(Item(IDC_TRANSPARENT), BM_CLICK, 0, 0);
  EXPECT_TRUE(graphSettings.transparent);
}

TEST_F(ToolDialogTest, BackgroundSwatchCancelledStillTurnsTransparencyOff) {
  ShowDialog();
  ValidateRect(main_, nullptr);
  {
    ColorChooserAnswer answer(toolDialog, false);
    ReleaseMouseOver(toolDialog, IDC_BGCOLOR);
    PumpUntil([&] { return answer.answered(); });
    EXPECT_TRUE(answer.answered());
  }
  EXPECT_EQ(0x00FFFFFFu, graphSettings.backgroundColor());
  EXPECT_FALSE(graphSettings.transparent);
  EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(toolDialog, IDC_TRANSPARENT));
  EXPECT_TRUE(HasUpdateRegion(main_));
}

TEST_F(ToolDialogTest, LineSwatchTakesTheChosenColourAndPaintsIt) {
  ShowDialog();
  {
    ColorChooserAnswer answer(toolDialog, true, RGB(255, 0, 0));
    ReleaseMouseOver(toolDialog, IDC_LINECOLOR);
    PumpUntil([&] { return answer.answered(); });
  }
  EXPECT_EQ(0x000000FFu, graphSettings.lineColor());
  EXPECT_TRUE(graphSettings.transparent);
  EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(toolDialog, IDC_TRANSPARENT));

  UpdateWindow(toolDialog);
  RECT r = GetChildRect(toolDialog, Item(IDC_LINECOLOR));
  HDC dc = GetDC(toolDialog);
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc, (r.left + r.right) / 2, (r.top + r.bottom) / 2));
  ReleaseDC(toolDialog, dc);
}

TEST_F(ToolDialogTest, AReleaseOutsideTheSwatchesOpensNothing) {
  ShowDialog();
  ValidateRect(main_, nullptr);
  SendMessageA(toolDialog, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_TRUE(graphSettings.transparent);
  EXPECT_FALSE(HasUpdateRegion(main_));
}

TEST_F(ToolDialogTest, CloseBoxHidesAndUnchecksAndALoadBringsItBack) {
  ASSERT_TRUE(LoadValues({"1"}));
  ASSERT_TRUE(IsMenuItemChecked(main_, IDM_TOOL));
  SendMessageA(toolDialog, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(toolDialog));
  EXPECT_FALSE(IsMenuItemChecked(main_, IDM_TOOL));
  ASSERT_TRUE(LoadValues({"2"}));
  EXPECT_TRUE(IsWindowVisible(toolDialog));
  EXPECT_TRUE(IsMenuItemChecked(main_, IDM_TOOL));
}

TEST_F(ToolDialogTest, EnterAndEscapeDoNothingAndActivationIsTracked) {
  ShowDialog();
  ASSERT_TRUE(PumpUntil([] { return activeDialog == toolDialog; }));
  SetFocus(Item(IDC_WIDTH));
  for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
    MSG msg = {};
    msg.hwnd = Item(IDC_WIDTH);
    msg.message = WM_KEYDOWN;
    msg.wParam = key;
    IsDialogMessageA(toolDialog, &msg);
    PumpPending();
  }
  EXPECT_TRUE(IsWindowVisible(toolDialog));
  EXPECT_EQ("0", Text(IDC_WIDTH));

  SetActiveWindow(main_);
  EXPECT_TRUE(PumpUntil([] { return activeDialog == nullptr; }));
}

// Not a check: a picture of the dialog with settings in it, for a person to
// look at, when ZIMBEL_DIALOG_SHOT names the file.
TEST_F(ToolDialogTest, Screenshot) {
  const char* path = std::getenv("ZIMBEL_DIALOG_SHOT");
  if (!path) GTEST_SKIP();
  ASSERT_TRUE(LoadValues({"1", "2", "7", "-3", "4"}));
  SelectListItem(toolDialog, IDC_LINESTYLE, 1);
  graphSettings.lineColor() = RGB(200, 30, 30);
  graphSettings.backgroundColor() = RGB(255, 240, 200);
  SendMessageA(Item(IDC_AUTORATIO), BM_CLICK, 0, 0);
  SetWindowTextA(Item(IDC_YTICKUNIT), "2.5");
  InvalidateRect(toolDialog, nullptr, TRUE);
  UpdateWindow(toolDialog);
  PumpPending();
  EXPECT_TRUE(SaveWindowShot(toolDialog, path));
}

}  // namespace
