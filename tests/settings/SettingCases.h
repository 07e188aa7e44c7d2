#pragma once
#include <string>
#include <vector>

#include "model/GraphModel.h"
#include "model/SettingsTable.h"

// One list of changes that every front end makes through its own controls
// (the dialog under Wine, the page's C API, the exporter's options), so that
// each shows it stores what the core stores. Applied in order, from the
// start-up settings: the later ones meet what the earlier ones left.
struct SettingCase {
  int controlId;
  const char* text;   // a field's text; null for the other controls
  int value;          // a list's index, a box's 0 or 1, a colour
  bool commandLine;   // the exporter takes it as an option (whole, in range)
  double stored;      // what the member then holds, worked out by hand
};

extern const std::vector<SettingCase> kSettingCases;

// The change as the case says it ends: the member holds `stored`, with the
// after-effect its row names (a background ends transparency, a rescale
// fits the scale again).
void ApplyCase(GraphSettings& s, const GraphData& d, const SettingCase& c);

// The exporter's words for the change: "--name=text", "--name=choice",
// "--opaque"; empty where it has none (an index no list offers).
std::string CaseOption(const SettingCase& c);

// The first setting in which a and b differ, by its option name; "" when none.
std::string Difference(const GraphSettings& a, const GraphSettings& b);

// "1004 '12x'" or "1020 3", for a failure's message.
std::string Describe(const SettingCase& c);
