#include <windows.h>
#include <commdlg.h>

#include <initializer_list>

#include "model/GraphModel.h"
#include "resources/resource.h"
#include "shell/ScopedWin.h"
#include "shell/ToolDialog.h"
#include "shell/ToolDialogControls.h"

RECT GetChildRect(HWND dialog, HWND child) {
  RECT screen = {};
  GetWindowRect(child, &screen);
  POINT corner = {screen.left, screen.top};
  ScreenToClient(dialog, &corner);
  return {corner.x, corner.y, corner.x + (screen.right - screen.left), corner.y + (screen.bottom - screen.top)};
}

void FillSwatch(HDC dc, int x, int y, int width, int height, COLORREF color) {
  GdiObject<HBRUSH> brush(CreateSolidBrush(color));
  SelectedObject selected(dc, brush.get());
  PatBlt(dc, x, y, width, height, PATCOPY);
}

// The swatch controls draw only their frame, and the dialog has no
// WS_CLIPCHILDREN: the colour goes under the frame, which is drawn over it.
void PaintSwatches(HWND dialog) {
  PaintDc paint(dialog);
  for (int slot : {kBackgroundSlot, kLineSlot}) {
    RECT r = GetChildRect(dialog, swatchHandles[slot]);
    FillSwatch(paint.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, graphSettings.colors[slot]);
  }
}

// The custom colours live in the settings so they outlast each use of the
// chooser for the whole run.
void PickColor(HWND owner, int slot) {
  if (slot != kBackgroundSlot && slot != kLineSlot) return;
  CHOOSECOLORA chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner;
  chooser.rgbResult = graphSettings.colors[slot];
  chooser.lpCustColors = reinterpret_cast<COLORREF*>(graphSettings.customColors);
  chooser.Flags = CC_RGBINIT;
  if (ChooseColorA(&chooser)) graphSettings.colors[slot] = chooser.rgbResult;
}

void OnSwatchClick(HWND dialog, const HWND swatches[2], LPARAM lParam) {
  POINT release = {LOWORD(lParam), HIWORD(lParam)};
  for (int slot : {kBackgroundSlot, kLineSlot}) {
    RECT r = GetChildRect(dialog, swatches[slot]);
    if (!PtInRect(&r, release)) continue;
    PickColor(dialog, slot);
    // Choosing a background, even cancelled, asks for an opaque one.
    if (slot == kBackgroundSlot) {
      graphSettings.transparent = false;
      CheckDlgButton(dialog, IDC_TRANSPARENT, BST_UNCHECKED);
    }
    InvalidateRect(dialog, &r, TRUE);
    InvalidateMainWindow();
  }
}

static_assert(sizeof(COLORREF) == sizeof(Colorref), "the settings keep colours as COLORREF");
#ifndef _WIN64
static_assert(sizeof(CHOOSECOLORA) == 36, "the 32-bit colour chooser record");
#endif
