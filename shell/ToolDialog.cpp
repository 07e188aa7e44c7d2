#include "shell/ToolDialog.h"

#include "model/GraphModel.h"
#include "model/SettingChanges.h"
#include "resources/resource.h"
#include "shell/ShellState.h"
#include "shell/ToolDialogControls.h"

namespace {

constexpr WPARAM Command(int id, int code) { return MAKEWPARAM(id, code); }

bool IsEditChange(WPARAM wParam) {
  return HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) >= IDC_WIDTH && LOWORD(wParam) <= IDC_RATIO;
}

// Matched on the whole wParam: a notification from the right control with any
// other code is not ours.
INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
  if (IsEditChange(wParam)) {
    OnEditChange(LOWORD(wParam));
    return TRUE;
  }
  switch (wParam) {
    case Command(IDC_LINESTYLE, CBN_SELCHANGE): OnListSelect(dialog, IDC_LINESTYLE); return TRUE;
    case Command(IDC_POINTKIND, CBN_SELCHANGE): OnListSelect(dialog, IDC_POINTKIND); return TRUE;
    case Command(IDC_DISPLAY, CBN_SELCHANGE): OnListSelect(dialog, IDC_DISPLAY); return TRUE;
    case Command(IDC_TRANSPARENT, BN_CLICKED): OnCheckBox(dialog, IDC_TRANSPARENT); return TRUE;
    case Command(IDC_AUTORATIO, BN_CLICKED): OnCheckBox(dialog, IDC_AUTORATIO); return TRUE;
  }
  return FALSE;
}

INT_PTR OnNotify(HWND dialog, const NMHDR& header) {
  if (header.code == static_cast<UINT>(UDN_DELTAPOS)) {
    OnSpinDelta(reinterpret_cast<const NMUPDOWN&>(header));
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

void OnCheckBox(HWND dialog, int boxId) {
  const bool checked = IsDlgButtonChecked(dialog, boxId) == BST_CHECKED;
  ApplyControlValue(boxId, checked);
  if (boxId == IDC_TRANSPARENT) {
    InvalidateMainWindow();
    return;
  }
  // Unchecked, the last ratio stays in effect until the user types another.
  EnableWindow(editHandles[IDC_RATIO - IDC_WIDTH], !checked);
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
