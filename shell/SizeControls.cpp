#include "model/SettingChanges.h"
#include "resources/resource.h"
#include "shell/ToolDialogControls.h"

namespace {

int SliderIndex(HWND slider) {
  if (slider && slider == sliderHandles[0]) return 0;
  if (slider && slider == sliderHandles[1]) return 1;
  return -1;
}

}  // namespace

// Every scroll code alike: the slider snaps to the size it gives and hands
// the value to the spin, whose edit then stores it.
void OnSliderMove(HWND dialog, HWND slider) {
  int index = SliderIndex(slider);
  if (index < 0) return;
  int position = static_cast<int>(SendMessageA(slider, TBM_GETPOS, 0, 0));
  position = SliderSize(position);
  SendMessageA(slider, TBM_SETPOS, TRUE, position);
  SendDlgItemMessageA(dialog, IDC_WIDTH_SPIN + index, UDM_SETPOS, 0, MAKELPARAM(LOWORD(position), 0));
}

// The slider shows where the spin was; if the edit has the focus, its change
// handler then moves the slider on to the new value.
void OnSpinDelta(const NMUPDOWN& step) {
  if (step.hdr.idFrom == IDC_WIDTH_SPIN) SendMessageA(sliderHandles[0], TBM_SETPOS, TRUE, step.iPos);
  if (step.hdr.idFrom == IDC_HEIGHT_SPIN) SendMessageA(sliderHandles[1], TBM_SETPOS, TRUE, step.iPos);
}

void FollowTypedSize(int editId, int value) {
  int index = editId - IDC_WIDTH;
  if (GetFocus() == editHandles[index]) SendMessageA(sliderHandles[index], TBM_SETPOS, TRUE, value);
}
