#pragma once
#include <string>

#include "model/GraphModel.h"
#include "model/SettingsTable.h"

// A setting as text, the same wherever one is written or read: the
// exporter's options and help, the page's colour inputs.

// "#RRGGBB" (either case) into 0x00BBGGRR; false when it is not of that form.
bool ColorFromHex(const char* text, Colorref& color);
// 0x00BBGGRR as "#RRGGBB".
std::string HexFromColor(Colorref color);

// The value of `row` in `s`: a field as the dialog writes it ("%d" or
// "%g"), a choice by its name, a flag as "on" or "off", a colour as #RRGGBB.
std::string SettingText(const GraphSettings& s, const SettingRow& row);
