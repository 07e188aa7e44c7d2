#pragma once
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

// Input to the tool dialog the way it arrives from a user.

std::string ControlText(HWND dialog, int id);
// Focus, select all, and one WM_CHAR per character, as typing does.
void TypeInto(HWND dialog, int editId, const char* text);
// A drag: the thumb lands on `position`, then the tracking ends.
void DragSlider(HWND dialog, int sliderId, int position);
int SliderPosition(HWND dialog, int sliderId);
int SpinPosition(HWND dialog, int spinId);
void SelectListItem(HWND dialog, int listId, int index);
// A release of the left button at the centre of a control, as the dialog
// receives it through the swatches, which pass the mouse through.
void ReleaseMouseOver(HWND dialog, int controlId);
bool IsMenuItemChecked(HWND window, UINT commandId);

// Answers the colour chooser that the next swatch click opens: from a helper
// thread, finds it as the visible #32770 owned by `owner`, then either
// cancels it or enters the colour and confirms.
class ColorChooserAnswer {
 public:
  ColorChooserAnswer(HWND owner, bool confirm, COLORREF color = 0);
  ~ColorChooserAnswer();
  bool answered() const { return answered_; }

 private:
  void Run(DWORD uiThread);

  HWND owner_;
  bool confirm_;
  COLORREF color_;
  std::atomic<bool> answered_{false};
  std::thread thread_;
};

// Saves the screen area of a window as a 24-bit BMP.
bool SaveWindowShot(HWND window, const char* path);
