#include "model/GraphModel.h"
#include "model/SettingChanges.h"
#include "model/SettingsTable.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "shell/ToolDialogControls.h"

namespace {

// The text is parsed and stored before anything that can re-enter the
// dialog runs (the ratio's recalculation writes the ratio field): a nested
// handler may overwrite textbuf.
void StoreEditText(int editId) {
  HWND edit = editHandles[FieldIndex(editId)];
  SendMessageA(edit, WM_GETTEXT, sizeof textbuf, reinterpret_cast<LPARAM>(textbuf));
  ApplyFieldText(editId, textbuf);
}

// What the window shows of a size: the slider and the scroll ranges. The
// fields with a slider are the image's size.
void UpdateDependents(int editId) {
  const SettingRow& field = *FindSetting(editId);
  if (!field.slider) return;
  const GraphSettings& s = graphSettings;
  FollowTypedSize(field, field.access.read(s));
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
