#pragma once
#include <windows.h>
#include <commctrl.h>

#include "model/GraphModel.h"

// What the tool dialog's handlers share across their files. The handles are
// looked up once, at WM_INITDIALOG.

constexpr int kEditCount = 10;      // edits 1000-1009
constexpr int kIntegerEdits = 8;    // edits 1000-1007, each with the spin 10 above it
constexpr int kLineStyleCount = 5;
constexpr int kSizeStep = 16;       // slider line size and rounding
constexpr int kSliderMin = 1;
constexpr int kSliderMax = 1280;

extern HWND editHandles[kEditCount];
extern HWND sliderHandles[2];  // width, height
extern HWND lineStyleComboHandle;
extern HWND swatchHandles[2];  // indexed by ColorSlot
// The one buffer through which every edit text is read and every "%g" text
// written. Handlers parse it before they call anything that can re-enter.
extern char textbuf[256];
extern int lineStyleImageIndex[kLineStyleCount];

// Integer edit 1000 + i stores into `field`; its spin offers lower..upper.
struct IntegerField {
  int GraphSettings::*field;
  short lower;
  short upper;
};
extern const IntegerField kIntegerFields[kIntegerEdits];

void InitToolDialog(HWND dialog);
void FillLineStyleList();

void OnEditChange(int editId);
void OnListSelect(HWND dialog, int listId);
void OnCheckBox(HWND dialog, int boxId);

void OnSliderMove(HWND dialog, HWND slider);
void OnSpinDelta(const NMUPDOWN& step);
// The slider follows a typed size only while its edit has the focus.
void FollowTypedSize(int editId, int value);

void PaintSwatches(HWND dialog);

// With erase: a transparent picture is blended over what the window shows.
void InvalidateMainWindow();
