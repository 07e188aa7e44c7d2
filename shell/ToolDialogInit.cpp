#include "model/GraphModel.h"
#include "model/NumberText.h"
#include "model/SettingsTable.h"
#include "resources/resource.h"
#include "shell/ToolDialogControls.h"

HWND editHandles[kFieldCount] = {};
HWND lineStyleComboHandle = nullptr;
HWND swatchHandles[2] = {};
char textbuf[kTextFieldLength + 1] = "";

namespace {

void KeepHandles(HWND dialog) {
  swatchHandles[kBackgroundSlot] = GetDlgItem(dialog, IDC_BGCOLOR);
  swatchHandles[kLineSlot] = GetDlgItem(dialog, IDC_LINECOLOR);
  for (int i = 0; i < kFieldCount; ++i) editHandles[i] = GetDlgItem(dialog, kSettingRows[i].controlId);
  lineStyleComboHandle = GetDlgItem(dialog, IDC_LINESTYLE);
}

void LimitEdits() {
  for (int i = 0; i < kFieldCount; ++i) {
    const bool digits = kSettingRows[i].kind == SettingKind::Integer;
    SendMessageA(editHandles[i], EM_LIMITTEXT, digits ? kFieldDigits : kTextFieldLength, 0);
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

void SetUpSliders(HWND dialog) {
  for (const SettingRow& row : kSettingRows) {
    if (!row.slider) continue;
    HWND slider = GetDlgItem(dialog, row.slider);
    SendMessageA(slider, TBM_SETLINESIZE, 0, kSizeStep);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(kSliderMin, kSliderMax));
    SendMessageA(slider, TBM_SETPOS, TRUE, row.access.read(graphSettings));
  }
}

void FillList(HWND dialog, int listId) {
  const SettingRow& row = *FindSetting(listId);
  for (int i = 0; i < ChoiceCount(row); ++i) {
    SendDlgItemMessageA(dialog, listId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.choices[i].label));
  }
  SendDlgItemMessageA(dialog, listId, CB_SETCURSEL, row.access.read(graphSettings), 0);
}

}  // namespace

void InitToolDialog(HWND dialog) {
  const GraphSettings& s = graphSettings;
  KeepHandles(dialog);
  LimitEdits();
  FormatG(s.yTickUnit, textbuf, sizeof textbuf);
  SetWindowTextA(editHandles[FieldIndex(IDC_YTICKUNIT)], textbuf);
  SetUpSpins(dialog);
  SetUpSliders(dialog);
  FillLineStyleList();
  FillList(dialog, IDC_POINTKIND);
  FillList(dialog, IDC_DISPLAY);

  for (const SettingRow& row : kSettingRows) {
    if (row.kind != SettingKind::Flag || !row.access.read(s)) continue;
    CheckDlgButton(dialog, row.controlId, BST_CHECKED);
    if (row.locks) EnableWindow(editHandles[FieldIndex(row.locks)], FALSE);
  }
}
