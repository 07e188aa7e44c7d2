#include "model/GraphModel.h"
#include "model/NumberText.h"
#include "model/VerticalScale.h"
#include "resources/resource.h"
#include "shell/ScrollView.h"
#include "shell/ShellState.h"
#include "shell/ToolDialogControls.h"

namespace {

// The text is parsed and stored before anything that can re-enter the
// dialog runs: a nested handler may overwrite textbuf.
void StoreEditText(int editId) {
  HWND edit = editHandles[editId - IDC_WIDTH];
  SendMessageA(edit, WM_GETTEXT, sizeof textbuf, reinterpret_cast<LPARAM>(textbuf));
  GraphSettings& s = graphSettings;
  if (editId < IDC_WIDTH + kIntegerEdits) {
    s.*kIntegerFields[editId - IDC_WIDTH].field = ParseInt(textbuf);
  } else if (editId == IDC_YTICKUNIT) {
    s.yTickUnit = ParseDouble(textbuf);
  } else {
    s.ratio = ParseDouble(textbuf);
  }
}

void UpdateDependents(int editId) {
  const GraphSettings& s = graphSettings;
  switch (editId) {
    case IDC_WIDTH:
      FollowTypedSize(IDC_WIDTH, s.imageWidth);
      SetContentSize(mainWindow, s.imageWidth, s.imageHeight);
      break;
    case IDC_HEIGHT:
      FollowTypedSize(IDC_HEIGHT, s.imageHeight);
      RecalcRatio();
      SetContentSize(mainWindow, s.imageWidth, s.imageHeight);
      break;
    case IDC_VMARGIN:
      RecalcRatio();
      break;
  }
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
