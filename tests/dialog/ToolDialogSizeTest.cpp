// Creation, and the width and height with their edits, spins and sliders.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "resources/resource.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "tests/dialog/DialogDriver.h"
#include "tests/dialog/TestWindow.h"
#include "tests/dialog/ToolDialogTest.h"
#include "tests/support/ResetGraphModel.h"

namespace {

TEST_F(ToolDialogTest, ShowsTheStartSettingsHidden) {
  EXPECT_FALSE(IsWindowVisible(toolDialog));
  const char* const texts[] = {"0", "200", "10", "10", "1", "4", "20", "1", "0", ""};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(texts[i], Text(IDC_WIDTH + i)) << "edit " << IDC_WIDTH + i;
  EXPECT_EQ(1, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));  // 0 lies below its range
  EXPECT_EQ(200, SliderPosition(toolDialog, IDC_HEIGHT_SLIDER));
  EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(toolDialog, IDC_TRANSPARENT));
  EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(toolDialog, IDC_AUTORATIO));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_RATIO)));
  EXPECT_EQ(0, SendMessageA(Item(IDC_LINESTYLE), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(5, SendMessageA(Item(IDC_LINESTYLE), CB_GETCOUNT, 0, 0));
  EXPECT_EQ("●", Text(IDC_POINTKIND));
  EXPECT_EQ("グラフと座標軸", Text(IDC_DISPLAY));
  EXPECT_EQ(3, SendMessageA(Item(IDC_DISPLAY), CB_GETCOUNT, 0, 0));
  EXPECT_FALSE(IsMenuItemChecked(main_, IDM_TOOL));
}

TEST_F(ToolDialogTest, SpinsAndSlidersOfferTheirRanges) {
  struct Range { int spin, lower, upper; };
  const Range ranges[] = {{1010, 0, 1280}, {1011, 0, 1280}, {1012, 0, 256}, {1013, 0, 256},
                          {1014, 1, 100},  {1015, 0, 100},  {1016, 1, 256}, {1017, 0, 100}};
  for (const Range& r : ranges) {
    int lower = -1, upper = -1;
    SendMessageA(Item(r.spin), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    EXPECT_EQ(r.lower, lower) << "spin " << r.spin;
    EXPECT_EQ(r.upper, upper) << "spin " << r.spin;
  }
  for (int slider : {IDC_WIDTH_SLIDER, IDC_HEIGHT_SLIDER}) {
    EXPECT_EQ(1, SendMessageA(Item(slider), TBM_GETRANGEMIN, 0, 0));
    EXPECT_EQ(1280, SendMessageA(Item(slider), TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(16, SendMessageA(Item(slider), TBM_GETLINESIZE, 0, 0));
  }
}

// Settings the controls cannot show exactly: read back from their texts they
// would change, and they must not.
TEST_F(ToolDialogTest, InitialisationChangesNoSetting) {
  DestroyWindow(toolDialog);
  graphSettings.imageWidth = 2000;
  graphSettings.lineWidth = 0;
  graphSettings.yTickUnit = 0.1234567;
  SetContentSize(main_, 2000, 200);
  CreateToolDialog();
  EXPECT_EQ("1280", Text(IDC_WIDTH));
  EXPECT_EQ("1", Text(IDC_LINEWIDTH));
  EXPECT_EQ("0.123457", Text(IDC_YTICKUNIT));
  EXPECT_EQ(2000, graphSettings.imageWidth);
  EXPECT_EQ(0, graphSettings.lineWidth);
  EXPECT_EQ(0.1234567, graphSettings.yTickUnit);
  EXPECT_EQ(1.0, graphSettings.ratio);
  EXPECT_EQ(1999, hScrollInfo.nMax);
}

struct SliderCase {
  int dragTo;
  int field;   // slider, spin, edit and setting
  int slider;  // where the slider rests
};

TEST_F(ToolDialogTest, SlidersSnapDownToSixteenAndSetEveryControl) {
  const SliderCase cases[] = {{100, 96, 96}, {10, 0, 1}, {17, 16, 16}, {1280, 1280, 1280}, {15, 0, 1}};
  for (const SliderCase& c : cases) {
    SCOPED_TRACE(c.dragTo);
    DragSlider(toolDialog, IDC_WIDTH_SLIDER, c.dragTo);
    EXPECT_EQ(c.slider, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));
    EXPECT_EQ(c.field, SpinPosition(toolDialog, IDC_WIDTH_SPIN));
    EXPECT_EQ(std::to_string(c.field), Text(IDC_WIDTH));
    EXPECT_EQ(c.field, graphSettings.imageWidth);
    EXPECT_EQ(c.field - 1, hScrollInfo.nMax);

    DragSlider(toolDialog, IDC_HEIGHT_SLIDER, c.dragTo);
    EXPECT_EQ(c.slider, SliderPosition(toolDialog, IDC_HEIGHT_SLIDER));
    EXPECT_EQ(std::to_string(c.field), Text(IDC_HEIGHT));
    EXPECT_EQ(c.field, graphSettings.imageHeight);
    EXPECT_EQ(c.field - 1, vScrollInfo.nMax);
  }
}

TEST_F(ToolDialogTest, ArrowKeyOnTheFocusedSliderStepsBySixteen) {
  ShowDialog();
  DragSlider(toolDialog, IDC_WIDTH_SLIDER, 96);
  SetFocus(Item(IDC_WIDTH_SLIDER));
  SendMessageA(Item(IDC_WIDTH_SLIDER), WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(Item(IDC_WIDTH_SLIDER), WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(112, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));
  EXPECT_EQ(112, graphSettings.imageWidth);
  EXPECT_EQ("112", Text(IDC_WIDTH));
}

TEST_F(ToolDialogTest, ATypedSizeMovesItsSliderUnrounded) {
  ShowDialog();
  TypeInto(toolDialog, IDC_WIDTH, "100");
  EXPECT_EQ(100, graphSettings.imageWidth);
  EXPECT_EQ(100, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));
  EXPECT_EQ(99, hScrollInfo.nMax);
  TypeInto(toolDialog, IDC_HEIGHT, "333");
  EXPECT_EQ(333, graphSettings.imageHeight);
  EXPECT_EQ(333, SliderPosition(toolDialog, IDC_HEIGHT_SLIDER));
  EXPECT_EQ(332, vScrollInfo.nMax);
}

// The spin's step notification puts the slider where the spin was; the
// edit's own handler moves it on only while the edit has the focus.
TEST_F(ToolDialogTest, SpinStepMovesTheSliderOnlyWithTheFocusOnTheEdit) {
  ShowDialog();
  DragSlider(toolDialog, IDC_WIDTH_SLIDER, 100);
  ASSERT_EQ(96, graphSettings.imageWidth);

  SetFocus(Item(IDC_WIDTH));
  SendMessageA(Item(IDC_WIDTH), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(97, graphSettings.imageWidth);
  EXPECT_EQ("97", Text(IDC_WIDTH));
  EXPECT_EQ(97, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));

  SetFocus(Item(IDC_LEFTMARGIN));
  SendMessageA(Item(IDC_WIDTH_SLIDER), TBM_SETPOS, TRUE, 50);
  SendMessageA(Item(IDC_WIDTH), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(98, graphSettings.imageWidth);
  EXPECT_EQ(97, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));
}

TEST_F(ToolDialogTest, ALoadSetsTheWidthAndShowsTheDialog) {
  ASSERT_TRUE(LoadValues({"1", "2", "3"}));
  EXPECT_EQ(70, graphSettings.imageWidth);
  EXPECT_EQ("70", Text(IDC_WIDTH));
  EXPECT_EQ(70, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));
  EXPECT_EQ(69, hScrollInfo.nMax);
  EXPECT_EQ("1", Text(IDC_RATIO));
  EXPECT_TRUE(IsWindowVisible(toolDialog));
  EXPECT_TRUE(IsMenuItemChecked(main_, IDM_TOOL));
}

// 100 values at the default interval need 2010 pixels, more than the spin
// holds: the width in effect and in the field stays the loaded one.
TEST_F(ToolDialogTest, ALoadWiderThanTheSpinKeepsEveryValueReachable) {
  std::vector<const char*> lines(100, "5");
  ASSERT_TRUE(LoadValues(lines));
  EXPECT_EQ(2010, graphSettings.imageWidth);
  EXPECT_EQ("2010", Text(IDC_WIDTH));
  EXPECT_EQ(1280, SliderPosition(toolDialog, IDC_WIDTH_SLIDER));
  EXPECT_EQ(2009, hScrollInfo.nMax);
  OnHScroll(main_, MAKEWPARAM(SB_BOTTOM, 0));
  EXPECT_EQ(2010 - ClientSize(main_).cx, viewOffset.scrollX);

  // Again with the field already at the spin's end.
  TypeInto(toolDialog, IDC_WIDTH, "1280");
  ASSERT_TRUE(LoadValues(lines));
  EXPECT_EQ(2010, graphSettings.imageWidth);
  EXPECT_EQ("2010", Text(IDC_WIDTH));

  ASSERT_TRUE(LoadValues({"1", "2", "3"}));
  EXPECT_EQ(70, graphSettings.imageWidth);
  EXPECT_EQ("70", Text(IDC_WIDTH));
  EXPECT_EQ(69, hScrollInfo.nMax);
  EXPECT_EQ(0, viewOffset.scrollX);
}

TEST_F(ToolDialogTest, ANarrowerWidthWhileScrolledReturnsTheViewToTheOrigin) {
  SetWindowTextA(Item(IDC_WIDTH), "2000");
  ASSERT_EQ(1999, hScrollInfo.nMax);
  ASSERT_EQ(600, ClientSize(main_).cx);
  OnHScroll(main_, MAKEWPARAM(SB_THUMBPOSITION, 1400));
  ASSERT_EQ(1400, viewOffset.scrollX);
  ValidateRect(main_, nullptr);

  SetWindowTextA(Item(IDC_WIDTH), "300");
  EXPECT_EQ(300, graphSettings.imageWidth);
  EXPECT_EQ(299, hScrollInfo.nMax);
  EXPECT_EQ(0, viewOffset.scrollX);
  EXPECT_TRUE(HasUpdateRegion(main_));
}

TEST_F(ToolDialogTest, TextChangesAreIgnoredWhileTheMainWindowIsNotAWindow) {
  mainWindow = nullptr;
  SetWindowTextA(Item(IDC_WIDTH), "500");
  SetWindowTextA(Item(IDC_RATIO), "3");
  EXPECT_EQ(0, graphSettings.imageWidth);
  EXPECT_EQ(1.0, graphSettings.ratio);
  EXPECT_EQ(-1, hScrollInfo.nMax);
  mainWindow = main_;
}

}  // namespace

namespace {

// Before the main window has made its dialog, or after it is gone, a load
// still takes effect and touches no window.
TEST(ModelHooksWithoutDialog, ALoadStillSetsTheWidth) {
  ResetGraphModel();
  ASSERT_EQ(nullptr, toolDialog);
  ASSERT_EQ(nullptr, mainWindow);
  FILE* f = std::fopen("no_dialog.txt", "w");
  std::fputs("1\n2\n", f);
  std::fclose(f);
  EXPECT_TRUE(LoadDataFile("no_dialog.txt"));
  EXPECT_EQ(50, graphSettings.imageWidth);
  EXPECT_EQ(1.0, graphSettings.ratio);
  std::remove("no_dialog.txt");
}

}  // namespace
