#include "model/GraphModel.h"
#include "model/NumberText.h"
#include "model/SettingsTable.h"
#include "resources/resource.h"
#include "shell/ToolDialogControls.h"

HWND editHandles[kEditCount] = {};
HWND sliderHandles[2] = {};
HWND lineStyleComboHandle = nullptr;
HWND swatchHandles[2] = {};
char textbuf[kTextFieldLength + 1] = "";

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
    SendMessageA(editHandles[i], EM_LIMITTEXT, IsIntegerField(IDC_WIDTH + i) ? kFieldDigits : kTextFieldLength, 0);
  }
}

// All ranges before any position, so no position is cut to a spin's default
// range. Each spin writes its position into its edit: that is how the integer
// edits get their first text.
void SetUpSpins(HWND dialog) {
  for (const SettingRow& row : kSettingRows) {
    if (row.kind != SettingKind::Integer) continue;
    SendDlgItemMessageA(dialog, row.controlId + kSpinAboveEdit, UDM_SETRANGE, 0, MAKELPARAM(row.upper, row.lower));
  }
  for (const SettingRow& row : kSettingRows) {
    if (row.kind != SettingKind::Integer) continue;
    const int value = row.access.read(graphSettings);
    SendDlgItemMessageA(dialog, row.controlId + kSpinAboveEdit, UDM_SETPOS, 0, MAKELPARAM(LOWORD(value), 0));
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

void FillList(HWND dialog, int listId) {
  const SettingRow& row = *FindSetting(listId);
  for (int i = 0; i < ChoiceCount(row); ++i) {
    SendDlgItemMessageA(dialog, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.labels[i]));
  }
  SendDlgItemMessageA(dialog, listId, CB_SETCURSEL, row.access.read(graphSettings), 0);
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
  FillList(dialog, IDC_POINTKIND);
  FillList(dialog, IDC_DISPLAY);

  if (s.transparent) CheckDlgButton(dialog, IDC_TRANSPARENT, BST_CHECKED);
  if (s.autoRatio) {
    CheckDlgButton(dialog, IDC_AUTORATIO, BST_CHECKED);
    EnableWindow(editHandles[IDC_RATIO - IDC_WIDTH], FALSE);
  }
}
