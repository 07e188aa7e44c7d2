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

namespace {

struct TextCase {
  int edit;
  const char* text;
  double GraphSettings::*field;
  double expected;
};

TEST_F(ToolDialogTest, DecimalFieldsReadTheProgramsNumberSyntax) {
  const TextCase cases[] = {
      {IDC_YTICKUNIT, "1e2", &GraphSettings::yTickUnit, 100},
      {IDC_YTICKUNIT, "abc", &GraphSettings::yTickUnit, 0},
      {IDC_YTICKUNIT, "2.5D1", &GraphSettings::yTickUnit, 25},
      {IDC_YTICKUNIT, "1,5", &GraphSettings::yTickUnit, 1},
      {IDC_RATIO, " -0.25", &GraphSettings::ratio, -0.25},
      {IDC_RATIO, "1e999", &GraphSettings::ratio, 1.7976931348623157e308},
  };
  for (const TextCase& c : cases) {
    SetWindowTextA(Item(c.edit), c.text);
    EXPECT_EQ(c.expected, graphSettings.*c.field) << c.text;
  }
}

TEST_F(ToolDialogTest, IntegerFieldsStoreWhatTheyShowUnbounded) {
  struct IntCase { int edit; const char* text; int GraphSettings::*field; int expected; };
  const IntCase cases[] = {
      {IDC_LEFTMARGIN, "-5", &GraphSettings::leftMargin, -5},
      {IDC_LINEWIDTH, "", &GraphSettings::lineWidth, 0},
      {IDC_POINTSIZE, "9999", &GraphSettings::pointSize, 9999},
      {IDC_INTERVAL, "0", &GraphSettings::pointInterval, 0},
      {IDC_XTICK, "12x", &GraphSettings::xTickInterval, 12},
      {IDC_VMARGIN, "30", &GraphSettings::verticalMargin, 30},
  };
  for (const IntCase& c : cases) {
    SetWindowTextA(Item(c.edit), c.text);
    EXPECT_EQ(c.expected, graphSettings.*c.field) << c.text;
  }
  EXPECT_EQ(10, graphSettings.baseline) << "a margin moves the baseline only with the automatic ratio";
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
  SelectListItem(toolDialog, IDC_LINESTYLE, 3);
  EXPECT_EQ(3, graphSettings.lineStyle);
  SelectListItem(toolDialog, IDC_POINTKIND, 1);
  EXPECT_EQ(Square, graphSettings.pointKind);
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
