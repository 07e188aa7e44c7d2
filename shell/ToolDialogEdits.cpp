#include "model/GraphModel.h"
#include "model/SettingChanges.h"
#include "resources/resource.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "shell/ToolDialogControls.h"

namespace {

// The text is parsed and stored before anything that can re-enter the
// dialog runs (the ratio's recalculation writes the ratio field): a nested
// handler may overwrite textbuf.
void StoreEditText(int editId) {
  HWND edit = editHandles[editId - IDC_WIDTH];
  SendMessageA(edit, WM_GETTEXT, sizeof textbuf, reinterpret_cast<LPARAM>(textbuf));
  ApplyFieldText(editId, textbuf);
}

// What the window shows of a size: the slider and the scroll ranges.
void UpdateDependents(int editId) {
  const GraphSettings& s = graphSettings;
  switch (editId) {
    case IDC_WIDTH: FollowTypedSize(IDC_WIDTH, s.imageWidth); break;
    case IDC_HEIGHT: FollowTypedSize(IDC_HEIGHT, s.imageHeight); break;
    default: return;
  }
  SetContentSize(mainWindow, s.imageWidth, s.imageHeight);
}

}  // namespace

// Every change of an edit's text is the setting, whoever made it; until the
// main window exists the changes are the dialog's own initialisation and
// must leave the settings exactly as they are.
void OnEditChange(int editId) {
  if (!IsWindow(mainWindow)) return;
  StoreEditText(editId);
  UpdateDependents(editId);
  InvalidateMainWindow();
}
