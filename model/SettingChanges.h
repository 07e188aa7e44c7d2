#pragma once
#include "model/GraphModel.h"

// The one way a setting changes, whichever front end changes it.

// Field 1000-1009 now shows `text`: the setting is what it shows, read as
// the dialog reads it (atoi or atof, unbounded). True when the ratio is
// then to be recalculated (the height, the vertical margin).
bool StoreFieldText(GraphSettings& s, int controlId, const char* text);

// Control 1020-1026 now holds `value`: a list's index (one out of range is
// ignored, as no list offers it), a box's 0 or 1, a colour as 0x00BBGGRR.
// A background, picked or kept, turns transparency off. True when the ratio
// is then to be recalculated (the automatic ratio turned on).
bool StoreControlValue(GraphSettings& s, int controlId, int value);

// A size slider's position as the size it gives: down to a multiple of
// kSizeStep, so that positions 1-15 give 0 while the slider stays at 1.
int SliderSize(int position);

// The same on graphSettings, with the recalculation done: the ratio field
// is written with its new text before these return.
void ApplyFieldText(int controlId, const char* text);
void ApplyControlValue(int controlId, int value);
