#include "model/GraphModel.h"
#include "model/NumberText.h"
#include "resources/resource.h"
#include "shell/ToolDialogControls.h"

HWND editHandles[kEditCount] = {};
HWND sliderHandles[2] = {};
HWND lineStyleComboHandle = nullptr;
HWND swatchHandles[2] = {};
char textbuf[256] = "";

const IntegerField kIntegerFields[kIntegerEdits] = {
    {&GraphSettings::imageWidth, 0, 1280},   {&GraphSettings::imageHeight, 0, 1280},
    {&GraphSettings::leftMargin, 0, 256},    {&GraphSettings::verticalMargin, 0, 256},
    {&GraphSettings::lineWidth, 1, 100},     {&GraphSettings::pointSize, 0, 100},
    {&GraphSettings::pointInterval, 1, 256}, {&GraphSettings::xTickInterval, 0, 100},
};

namespace {

void KeepHandles(HWND dialog) {
  swatchHandles[kBackgroundSlot] = GetDlgItem(dialog, IDC_BGCOLOR);
  swatchHandles[kLineSlot] = GetDlgItem(dialog, IDC_LINECOLOR);
  for (int i = 0; i < kEditCount; ++i) editHandles[i] = GetDlgItem(dialog, IDC_WIDTH + i);
  sliderHandles[0] = GetDlgItem(dialog, IDC_WIDTH_SLIDER);
  sliderHandles[1] = GetDlgItem(dialog, IDC_HEIGHT_SLIDER);
  lineStyleComboHandle = GetDlgItem(dialog, IDC_LINESTYLE);
}

void LimitEdits() {
  for (int i = 0; i < kEditCount; ++i) {
    SendMessageA(editHandles[i], EM_LIMITTEXT, i < kIntegerEdits ? 4 : 255, 0);
  }
}

// All ranges before any position, so no position is cut to a spin's default
// range. Each spin writes its position into its edit: that is how the integer
// edits get their first text.
void SetUpSpins(HWND dialog) {
  for (int i = 0; i < kIntegerEdits; ++i) {
    const IntegerField& f = kIntegerFields[i];
    SendDlgItemMessageA(dialog, IDC_WIDTH_SPIN + i, UDM_SETRANGE, 0, MAKELPARAM(f.upper, f.lower));
  }
  for (int i = 0; i < kIntegerEdits; ++i) {
    int value = graphSettings.*kIntegerFields[i].field;
    SendDlgItemMessageA(dialog, IDC_WIDTH_SPIN + i, UDM_SETPOS, 0, MAKELPARAM(LOWORD(value), 0));
  }
}

void SetUpSliders() {
  for (HWND slider : sliderHandles) {
    SendMessageA(slider, TBM_SETLINESIZE, 0, kSizeStep);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
  }
  SendMessageA(sliderHandles[0], TBM_SETPOS, TRUE, graphSettings.imageWidth);
  SendMessageA(sliderHandles[1], TBM_SETPOS, TRUE, graphSettings.imageHeight);
}

void FillList(HWND dialog, int listId, const char* const* items, int count, int selected) {
  for (int i = 0; i < count; ++i) SendDlgItemMessageA(dialog, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(items[i]));
  SendDlgItemMessageA(dialog, listId, CB_SETCURSEL, selected, 0);
}

}  // namespace

void InitToolDialog(HWND dialog) {
  const GraphSettings& s = graphSettings;
  KeepHandles(dialog);
  LimitEdits();
  FormatG(s.yTickUnit, textbuf, sizeof textbuf);
  SetWindowTextA(editHandles[IDC_YTICKUNIT - IDC_WIDTH], textbuf);
  SetUpSpins(dialog);
  SetUpSliders();
  FillLineStyleList();

  static const char* const kPointKinds[] = {"●", "■"};
  FillList(dialog, IDC_POINTKIND, kPointKinds, 2, s.pointKind);
  static const char* const kDisplayModes[] = {"グラフのみ", "座標軸のみ", "グラフと座標軸"};
  FillList(dialog, IDC_DISPLAY, kDisplayModes, 3, s.displayMode);

  if (s.transparent) CheckDlgButton(dialog, IDC_TRANSPARENT, BST_CHECKED);
  if (s.autoRatio) {
    CheckDlgButton(dialog, IDC_AUTORATIO, BST_CHECKED);
    EnableWindow(editHandles[IDC_RATIO - IDC_WIDTH], FALSE);
  }
}
