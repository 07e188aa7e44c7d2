// The model's updates of the tool dialog and the menu, through the real controls.
#include <cstdio>

#include "model/ModelHooks.h"
#include "model/NumberText.h"
#include "model/SettingsTable.h"
#include "resources/resource.h"
#include "shell/ShellState.h"
#include "shell/ToolDialogControls.h"

// The spin keeps its position within 0-1280, so the width it writes into the
// field can differ from the loaded one; every loaded value must stay
// reachable, so the field then gets the loaded width itself, and its change
// handler makes that the width in effect and the scroll range.
void ShowLoadedWidth(int width) {
  if (!toolDialog) return;
  const SettingRow& field = *FindSetting(IDC_WIDTH);
  SendDlgItemMessageA(toolDialog, field.controlId + kSpinAboveEdit, UDM_SETPOS, 0, MAKELPARAM(LOWORD(width), 0));
  SendDlgItemMessageA(toolDialog, field.slider, TBM_SETPOS, TRUE, width);
  char shown[32];
  GetDlgItemTextA(toolDialog, IDC_WIDTH, shown, sizeof shown);
  if (ParseInt(shown) == width) return;
  std::snprintf(shown, sizeof shown, "%d", width);
  SetDlgItemTextA(toolDialog, IDC_WIDTH, shown);
}

// The field's change handler parses the text back: the field is the ratio.
void ShowRatioText(const char* text) {
  if (toolDialog) SetDlgItemTextA(toolDialog, IDC_RATIO, text);
}

void ShowToolDialog() {
  if (!toolDialog) return;
  ShowWindow(toolDialog, SW_SHOW);
  if (mainWindow) SetMenuCheck(mainWindow, IDM_TOOL, true);
}
