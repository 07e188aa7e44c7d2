#pragma once

// What the model asks of the window around it. The shell provides these; a
// build without windows links ModelHooksHeadless.cpp, where they do nothing.

// After a load: make the width spin, slider and field show `width` and make
// it the width in effect.
void ShowLoadedWidth(int width);

// Make the ratio field show `text`; it is already the ratio in effect.
void ShowRatioText(const char* text);

// After a load: show the tool dialog and check its menu item.
void ShowToolDialog();
