#include <windows.h>
#include <commdlg.h>

#include <initializer_list>

#include "model/GraphModel.h"
#include "model/SettingChanges.h"
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
COLORREF PickColor(HWND owner, int slot) {
  if (slot != kBackgroundSlot && slot != kLineSlot) return 0;
  CHOOSECOLORA chooser = {};
  chooser.lStructSize = sizeof chooser;
  chooser.hwndOwner = owner;
  chooser.rgbResult = graphSettings.colors[slot];
  chooser.lpCustColors = reinterpret_cast<COLORREF*>(graphSettings.customColors);
  chooser.Flags = CC_RGBINIT;
  return ChooseColorA(&chooser) ? chooser.rgbResult : graphSettings.colors[slot];
}

void OnSwatchClick(HWND dialog, const HWND swatches[2], LPARAM lParam) {
  POINT release = {LOWORD(lParam), HIWORD(lParam)};
  for (int slot : {kBackgroundSlot, kLineSlot}) {
    RECT r = GetChildRect(dialog, swatches[slot]);
    if (!PtInRect(&r, release)) continue;
    // A cancelled chooser keeps the colour, and that is still the colour
    // picked: choosing a background, even cancelled, asks for an opaque one.
    const bool wasTransparent = graphSettings.transparent;
    ApplyControlValue(slot == kBackgroundSlot ? IDC_BGCOLOR : IDC_LINECOLOR, PickColor(dialog, slot));
    if (graphSettings.transparent != wasTransparent) {
      CheckDlgButton(dialog, IDC_TRANSPARENT, graphSettings.transparent ? BST_CHECKED : BST_UNCHECKED);
    }
    InvalidateRect(dialog, &r, TRUE);
    InvalidateMainWindow();
  }
}

static_assert(sizeof(COLORREF) == sizeof(Colorref), "the settings keep colours as COLORREF");
#ifndef _WIN64
static_assert(sizeof(CHOOSECOLORA) == 36, "the 32-bit colour chooser record");
#endif
