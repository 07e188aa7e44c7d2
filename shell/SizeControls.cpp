#include "model/SettingChanges.h"
#include "model/SettingsTable.h"
#include "shell/ToolDialogControls.h"

// Every scroll code alike: the slider snaps to the size it gives and hands
// the value to the spin, whose edit then stores it.
void OnSliderMove(HWND dialog, HWND slider) {
  const SettingRow* field = slider ? FindSlider(GetDlgCtrlID(slider)) : nullptr;
  if (!field) return;
  int position = static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
  position = SliderSize(position);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
  SendDlgItemMessageA(dialog, field->controlId + kSpinAboveEdit, UDM_SETPOS, 0, MAKELPARAM(LOWORD(position), 0));
}

// The slider shows where the spin was; if the edit has the focus, its change
// handler then moves the slider on to the new value.
void OnSpinDelta(HWND dialog, const NMUPDOWN& step) {
  const SettingRow* field = FindSetting(static_cast<int>(step.hdr.idFrom) - kSpinAboveEdit);
  if (field && field->slider) SendDlgItemMessageA(dialog, field->slider, TBM_SETPOS, TRUE, step.iPos);
}

void FollowTypedSize(const SettingRow& field, int value) {
  HWND edit = editHandles[FieldIndex(field.controlId)];
  if (GetFocus() == edit) SendDlgItemMessageA(GetParent(edit), field.slider, TBM_SETPOS, TRUE, value);
}
