#include "shell/ToolDialog.h"

#include "model/GraphModel.h"
#include "model/SettingChanges.h"
#include "model/SettingsTable.h"
#include "resources/resource.h"
#include "shell/ShellState.h"
#include "shell/ToolDialogControls.h"

namespace {

// The notification by which a setting's control says it changed; the
// colour swatches say nothing (their clicks reach the dialog itself).
constexpr int kNoNotification = -1;
constexpr int ChangeNotification(SettingKind kind) {
  switch (kind) {
    case SettingKind::Integer:
    case SettingKind::Number: return EN_CHANGE;
    case SettingKind::Choice: return CBN_SELCHANGE;
    case SettingKind::Flag: return BN_CLICKED;
    case SettingKind::Color: break;
  }
  return kNoNotification;
}

// Matched on the whole wParam: a notification from the right control with any
// other code is not ours.
INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  const SettingRow* row = FindSetting(LOWORD(wParam));
  if (!row || HIWORD(wParam) != ChangeNotification(row->kind)) return FALSE;
  switch (row->kind) {
    case SettingKind::Choice: OnListSelect(dialog, row->controlId); return TRUE;
    case SettingKind::Flag: OnCheckBox(dialog, *row); return TRUE;
    default: OnEditChange(row->controlId); return TRUE;
  }
}

INT_PTR OnNotify(HWND dialog, const NMHDR& header) {
  if (header.code == static_cast<UINT>(UDN_DELTAPOS)) {
    OnSpinDelta(dialog, reinterpret_cast<const NMUPDOWN&>(header));
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, FALSE);  // let the step go ahead
  }
  return TRUE;
}

INT_PTR OnScroll(HWND dialog, LPARAM lParam) {
  OnSliderMove(dialog, reinterpret_cast<HWND>(lParam));
  return TRUE;
}

INT_PTR OnClose(HWND dialog) {
  ShowWindow(dialog, SW_HIDE);
  if (mainWindow) SetMenuCheck(mainWindow, IDM_TOOL, false);
  return TRUE;
}

INT_PTR OnDestroy(HWND dialog) {
  toolDialog = nullptr;
  // The message loop must not hand keys to a handle that may be reused.
  if (activeDialog == dialog) activeDialog = nullptr;
  return TRUE;
}

INT_PTR OnActivate(HWND dialog, WPARAM wParam) {
  activeDialog = LOWORD(wParam) != WA_INACTIVE ? dialog : nullptr;
  return TRUE;
}

}  // namespace

void InitToolDialogControls() {
  INITCOMMONCONTROLSEX classes = {sizeof classes, kToolDialogControlClasses};
  InitCommonControlsEx(&classes);
}

void InvalidateMainWindow() {
  // A NULL window would mean every window on the desktop.
  if (mainWindow) InvalidateRect(mainWindow, nullptr, TRUE);
}

// The line-style list is an extended combo box, asked through its handle.
void OnListSelect(HWND dialog, int listId) {
  HWND list = listId == IDC_LINESTYLE ? lineStyleComboHandle : GetDlgItem(dialog, listId);
  ApplyControlValue(listId, static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)));
  InvalidateMainWindow();
}

void OnCheckBox(HWND dialog, const SettingRow& box) {
  const bool checked = IsDlgButtonChecked(dialog, box.controlId) == BST_CHECKED;
  ApplyControlValue(box.controlId, checked);
  if (!box.locks) {
    InvalidateMainWindow();
    return;
  }
  // Unchecked, the locked field's last value stays in effect until the user
  // types another.
  EnableWindow(editHandles[FieldIndex(box.locks)], !checked);
  if (checked) InvalidateMainWindow();
}

INT_PTR CALLBACK ToolDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: InitToolDialog(dialog); return TRUE;
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_HSCROLL: return OnScroll(dialog, lParam);
    case WM_NOTIFY: return OnNotify(dialog, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_LBUTTONUP: OnSwatchClick(dialog, swatchHandles, lParam); return TRUE;
    case WM_PAINT: PaintSwatches(dialog); return TRUE;
    case WM_CLOSE: return OnClose(dialog);
    case WM_DESTROY: return OnDestroy(dialog);
    case WM_ACTIVATE: return OnActivate(dialog, wParam);
  }
  return FALSE;
}
