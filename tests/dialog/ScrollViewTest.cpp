#include <gtest/gtest.h>

#include <cstring>

#include "model/GraphModel.h"
#include "shell/ScrollView.h"
#include "tests/dialog/TestWindow.h"
#include "tests/support/ResetGraphModel.h"

namespace {

constexpr WPARAM Code(int code, int thumb = 0) { return MAKEWPARAM(code, thumb); }

class ScrollViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGraphModel();
      window_ = CreateTestMainWindow(600, 400);
    InitScrollInfo(window_);
  }
  void TearDown() override { DestroyWindow(window_); }

  // Content placed as the main window does at creation, then the window
  // given its size, as WM_SIZE does.
  void ShowContent(int width, int height) {
    SetContentSize(window_, width, height);
    UpdateScrollPage(window_);
    PumpPending();
  }

  int BarPosition(int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(window_, bar, &info);
    return info.nPos;
  }

  HWND window_ = nullptr;
};

struct StepCase {
  WPARAM wParam;
  int position;   // reported, and so the drawing offset
  bool repaints;  // the view moved
};

// A 1000-pixel content in a 600-pixel client: positions 0-400.
TEST_F(ScrollViewTest, StepsMoveTheViewWithinTheRangeAndRepaintOnlyWhenItMoves) {
  ShowContent(1000, 100);
  ASSERT_EQ(600, ClientSize(window_).cx);
  ASSERT_TRUE(GetWindowLongA(window_, GWL_STYLE) & WS_HSCROLL);

  const StepCase steps[] = {
      {Code(SB_PAGEDOWN), 400, true},          // requests 600
      {Code(SB_PAGEDOWN), 400, false},         // requests 1000
      {Code(SB_PAGEUP), 0, true},              // requests -200
      {Code(SB_THUMBTRACK, 100), 100, true},
      {Code(SB_PAGEUP), 0, true},              // requests -500
      {Code(SB_LINEUP), 0, false},             // position 0 is not decreased
      {Code(SB_BOTTOM), 400, true},            // requests nMax, 999
      {Code(SB_LINEUP), 399, true},
      {Code(SB_LINEDOWN), 400, true},
      {Code(SB_LINEDOWN), 400, false},
      {Code(SB_TOP), 0, true},
      {Code(SB_THUMBPOSITION, 250), 250, true},
      {Code(SB_THUMBPOSITION, 0xFFFF), 400, true},  // the high word is unsigned
      {Code(SB_ENDSCROLL), 400, true},         // the clean repaint at the end
      {Code(99), 400, false},
  };
  for (const StepCase& step : steps) {
    SCOPED_TRACE(testing::Message() << "code " << LOWORD(step.wParam) << " thumb " << HIWORD(step.wParam));
    ValidateRect(window_, nullptr);
    OnHScroll(window_, step.wParam);
    EXPECT_EQ(step.position, viewOffset.scrollX);
    EXPECT_EQ(step.position, hScrollInfo.nPos);
    EXPECT_EQ(step.position, BarPosition(SB_HORZ));
    EXPECT_EQ(step.repaints, HasUpdateRegion(window_));
    EXPECT_EQ(0, viewOffset.scrollY);
  }
}

TEST_F(ScrollViewTest, RepeatedLineStepsStopAtTheEnd) {
  ShowContent(1000, 100);
  OnHScroll(window_, Code(SB_THUMBPOSITION, 390));
  for (int i = 1; i <= 15; ++i) {
    OnHScroll(window_, Code(SB_LINEDOWN));
    EXPECT_EQ(i < 10 ? 390 + i : 400, viewOffset.scrollX);
  }
  OnHScroll(window_, Code(SB_LINEUP));
  EXPECT_EQ(399, viewOffset.scrollX);
}

TEST_F(ScrollViewTest, TheVerticalBarRunsTheSameStepsOnItsOwnData) {
  ShowContent(100, 1000);
  int page = ClientSize(window_).cy;
  OnVScroll(window_, Code(SB_PAGEDOWN));
  EXPECT_EQ(page, viewOffset.scrollY);
  EXPECT_EQ(0, viewOffset.scrollX);
  OnVScroll(window_, Code(SB_BOTTOM));
  EXPECT_EQ(1000 - page, viewOffset.scrollY);
  EXPECT_EQ(0, hScrollInfo.nPos);
}

TEST_F(ScrollViewTest, StartsWithTheEmptyContentAndNoBars) {
  ShowContent(graphSettings.imageWidth, graphSettings.imageHeight);  // 0 x 200
  EXPECT_EQ(-1, hScrollInfo.nMax);
  EXPECT_EQ(199, vScrollInfo.nMax);
  EXPECT_EQ(0, viewOffset.scrollX);
  EXPECT_EQ(0, viewOffset.scrollY);
  EXPECT_FALSE(GetWindowLongA(window_, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
  EXPECT_EQ(600u, hScrollInfo.nPage);
  EXPECT_EQ(400u, vScrollInfo.nPage);
}

// The reset fires one pixel before the bar goes: with 499 pixels of a
// 500-pixel content shown, positions 0 and 1 remain, and the view goes home.
TEST_F(ScrollViewTest, WideningTheWindowUntilTheContentFitsReturnsToTheLeftEdge) {
  SetClientSize(window_, 400, 400);
  ShowContent(500, 100);
  OnHScroll(window_, Code(SB_BOTTOM));
  ASSERT_EQ(100, viewOffset.scrollX);
  SetClientSize(window_, 499, 400);
  PumpPending();
  EXPECT_EQ(0, viewOffset.scrollX);
  EXPECT_TRUE(GetWindowLongA(window_, GWL_STYLE) & WS_HSCROLL);
  SetClientSize(window_, 500, 400);
  PumpPending();
  EXPECT_FALSE(GetWindowLongA(window_, GWL_STYLE) & WS_HSCROLL);
  EXPECT_EQ(0, viewOffset.scrollX);
}

TEST_F(ScrollViewTest, MinimisingChangesNothingAndRestoringKeepsThePosition) {
  ShowContent(1000, 1000);
  OnHScroll(window_, Code(SB_THUMBPOSITION, 300));
  OnVScroll(window_, Code(SB_THUMBPOSITION, 200));
  SCROLLINFO h = hScrollInfo, v = vScrollInfo;

  ShowWindow(window_, SW_MINIMIZE);
  PumpPending();
  ASSERT_TRUE(IsIconic(window_));
  EXPECT_EQ(0, memcmp(&h, &hScrollInfo, sizeof h));
  EXPECT_EQ(0, memcmp(&v, &vScrollInfo, sizeof v));
  EXPECT_EQ(300, viewOffset.scrollX);
  EXPECT_EQ(200, viewOffset.scrollY);

  ShowWindow(window_, SW_RESTORE);
  PumpPending();
  EXPECT_EQ(300, viewOffset.scrollX);
  EXPECT_EQ(200, viewOffset.scrollY);
  EXPECT_EQ(h.nPage, hScrollInfo.nPage);
}

TEST_F(ScrollViewTest, ANarrowerContentScrollsTheViewBackIntoRange) {
  ShowContent(2000, 100);
  OnHScroll(window_, Code(SB_THUMBPOSITION, 1400));
  ASSERT_EQ(1400, viewOffset.scrollX);
  ValidateRect(window_, nullptr);

  SetContentSize(window_, 300, 100);
  EXPECT_EQ(299, hScrollInfo.nMax);
  EXPECT_EQ(0, viewOffset.scrollX);
  // The old picture has been moved out entirely: all of it is uncovered.
  RECT update;
  ASSERT_TRUE(GetUpdateRect(window_, &update, FALSE));
  SIZE client = ClientSize(window_);
  EXPECT_EQ(0, update.left);
  EXPECT_EQ(client.cx, update.right);
}

// The message carries 16 bits of the thumb position; beyond 65535 pixels the
// bar's own position is meant. A release where the thumb already is must not
// send the view to the 16-bit remainder.
TEST_F(ScrollViewTest, ThumbPositionsBeyondSixteenBitsOnAVeryWideContent) {
  ShowContent(100000, 100);
  OnHScroll(window_, Code(SB_THUMBTRACK, 4464));
  EXPECT_EQ(4464, viewOffset.scrollX);
  OnHScroll(window_, Code(SB_BOTTOM));
  ASSERT_EQ(99400, viewOffset.scrollX);
  ValidateRect(window_, nullptr);
  OnHScroll(window_, Code(SB_THUMBPOSITION, LOWORD(99400)));
  EXPECT_EQ(99400, viewOffset.scrollX);
  EXPECT_FALSE(HasUpdateRegion(window_));
}

// When shrinking the window brings up the horizontal bar, the client area
// loses that bar's height: the vertical page must be the height that is left,
// or the last rows of a tall picture could never be scrolled into view.
TEST_F(ScrollViewTest, TheVerticalPageIsTheHeightLeftBesideANewHorizontalBar) {
  SetClientSize(window_, 800, 400);
  ShowContent(700, 1000);
  ASSERT_FALSE(GetWindowLongA(window_, GWL_STYLE) & WS_HSCROLL);

  SetClientSize(window_, 650, 400);
  PumpPending();
  ASSERT_TRUE(GetWindowLongA(window_, GWL_STYLE) & WS_HSCROLL);
  SIZE client = ClientSize(window_);
  EXPECT_EQ(static_cast<UINT>(client.cy), vScrollInfo.nPage);
  EXPECT_EQ(static_cast<UINT>(client.cx), hScrollInfo.nPage);
  OnVScroll(window_, Code(SB_BOTTOM));
  EXPECT_EQ(1000 - client.cy, viewOffset.scrollY);
}

}  // namespace
