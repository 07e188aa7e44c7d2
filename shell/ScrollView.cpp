#include "shell/ScrollView.h"

#include <climits>
#include <cstdint>
#include <initializer_list>

#include "model/GraphModel.h"

SCROLLINFO hScrollInfo = {};
SCROLLINFO vScrollInfo = {};

namespace {

constexpr UINT kApplyAll = SIF_RANGE | SIF_PAGE | SIF_POS;

// The two bars run the same steps on different data.
struct ScrollAxis {
  int bar;
  SCROLLINFO& info;
  int& position;
};

ScrollAxis Horizontal() { return {SB_HORZ, hScrollInfo, viewOffset.scrollX}; }
ScrollAxis Vertical() { return {SB_VERT, vScrollInfo, viewOffset.scrollY}; }

int Saturate(int64_t value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// The bar clamps the requested position; from here on the clamped one is the
// truth, so the next step starts from what is on screen. Returns how far
// the contents must move to show it. The window's contents always show
// viewOffset, so that is where they are moved from: read after the bar is
// set, since showing or hiding a bar sends WM_SIZE, whose own apply has
// moved them already.
int Apply(HWND window, const ScrollAxis& axis) {
  const int reported = SetScrollInfo(window, axis.bar, &axis.info, TRUE);
  const int distance = axis.position - reported;
  axis.position = reported;
  axis.info.nPos = reported;
  return distance;
}

// Applied, and the contents moved at once, their uncovered part repainted.
void ApplyAndScroll(HWND window, const ScrollAxis& axis) {
  const int distance = Apply(window, axis);
  const bool across = axis.bar == SB_HORZ;
  ScrollWindowEx(window, across ? distance : 0, across ? 0 : distance, nullptr, nullptr, nullptr, nullptr,
                 SW_INVALIDATE);
}

void SetPage(HWND window, const ScrollAxis& axis, int clientSize) {
  axis.info.nPage = static_cast<UINT>(clientSize);
  // Unsigned on purpose: an empty content (nMax -1) never resets.
  if (static_cast<UINT>(axis.info.nMax) <= axis.info.nPage) axis.info.nPos = 0;
  ApplyAndScroll(window, axis);
}

// wParam carries only 16 bits of the thumb position; on a content wider than
// 65535 pixels the bar's own 32-bit tracking position is the one meant.
int ThumbPosition(HWND window, int bar, WPARAM wParam) {
  int reported = HIWORD(wParam);
  SCROLLINFO track = {};
  track.cbSize = sizeof track;
  track.fMask = SIF_TRACKPOS;
  if (GetScrollInfo(window, bar, &track) && LOWORD(track.nTrackPos) == reported) return track.nTrackPos;
  return reported;
}

void Step(HWND window, const ScrollAxis& axis, WPARAM wParam) {
  SCROLLINFO& info = axis.info;
  switch (LOWORD(wParam)) {
    case SB_LINEUP: if (info.nPos != 0) --info.nPos; break;
    case SB_LINEDOWN: if (info.nPos < int64_t{info.nMax} - 1) ++info.nPos; break;
    case SB_PAGEUP: info.nPos = Saturate(int64_t{info.nPos} - info.nPage); break;
    case SB_PAGEDOWN: info.nPos = Saturate(int64_t{info.nPos} + info.nPage); break;
    case SB_THUMBPOSITION: info.nPos = ThumbPosition(window, axis.bar, wParam); break;
    case SB_THUMBTRACK: info.nPos = ThumbPosition(window, axis.bar, wParam); break;
    case SB_TOP: info.nPos = info.nMin; break;
    case SB_BOTTOM: info.nPos = info.nMax; break;
    // Moves during a drag repaint without erase; the end of every
    // interaction leaves a clean picture.
    case SB_ENDSCROLL: InvalidateRect(window, nullptr, TRUE); break;
  }

  const int distance = Apply(window, axis);
  if (distance == 0) return;

  SendMessageA(window, WM_SETREDRAW, FALSE, 0);
  if (axis.bar == SB_HORZ) {
    ScrollWindowEx(window, distance, 0, nullptr, nullptr, nullptr, nullptr, 0);
  } else {
    ScrollWindowEx(window, 0, distance, nullptr, nullptr, nullptr, nullptr, 0);
  }
  SendMessageA(window, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(window, nullptr, FALSE);
}

}  // namespace

void InitScrollInfo(HWND window) {
  for (SCROLLINFO* info : {&hScrollInfo, &vScrollInfo}) {
    *info = SCROLLINFO{};
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = kApplyAll;
  }
  SetScrollInfo(window, SB_VERT, &vScrollInfo, TRUE);
  SetScrollInfo(window, SB_HORZ, &hScrollInfo, TRUE);
}

void SetContentSize(HWND window, int width, int height) {
  hScrollInfo.nMax = Saturate(int64_t{width} - 1);
  ApplyAndScroll(window, Horizontal());
  vScrollInfo.nMax = Saturate(int64_t{height} - 1);
  ApplyAndScroll(window, Vertical());
}

void UpdateScrollPage(HWND window) {
  RECT client;
  GetClientRect(window, &client);
  if (client.right <= 0 || client.bottom <= 0) return;  // minimised: keep everything

  SetPage(window, Horizontal(), client.right);
  // Showing or hiding the horizontal bar has just changed the client height;
  // a page from before that would leave the bottom rows out of reach.
  GetClientRect(window, &client);
  SetPage(window, Vertical(), client.bottom);
}

void OnHScroll(HWND window, WPARAM wParam) { Step(window, Horizontal(), wParam); }
void OnVScroll(HWND window, WPARAM wParam) { Step(window, Vertical(), wParam); }

#ifndef _WIN64
static_assert(sizeof(SCROLLINFO) == 28, "the 32-bit scroll record");
#endif
