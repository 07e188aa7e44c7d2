#pragma once
#include <windows.h>
#include <commctrl.h>

#include "model/GraphModel.h"
#include "model/SettingsTable.h"

// What the tool dialog's handlers share across their files. The handles are
// looked up once, at WM_INITDIALOG.

constexpr int kSpinAboveEdit = 10;  // each integer edit's spin

extern HWND editHandles[kFieldCount];  // by FieldIndex
extern HWND lineStyleComboHandle;
extern HWND swatchHandles[2];  // indexed by ColorSlot
// The one buffer through which every edit text is read and every "%g" text
// written. Handlers parse it before they call anything that can re-enter.
extern char textbuf[kTextFieldLength + 1];
extern int lineStyleImageIndex[kLineStyleCount];

void InitToolDialog(HWND dialog);
void FillLineStyleList();

void OnEditChange(int editId);
void OnListSelect(HWND dialog, int listId);
void OnCheckBox(HWND dialog, const SettingRow& box);

void OnSliderMove(HWND dialog, HWND slider);
void OnSpinDelta(HWND dialog, const NMUPDOWN& step);
// A field's slider follows a typed value only while the field has the focus.
void FollowTypedSize(const SettingRow& field, int value);

void PaintSwatches(HWND dialog);

// With erase: a transparent picture is blended over what the window shows.
void InvalidateMainWindow();
