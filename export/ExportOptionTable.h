#pragma once
#include <string>
#include <vector>

#include "export/ExportOptions.h"
#include "model/SettingsTable.h"

// zimbelplot-export's options as the parser and --help see them: the
// program's own, and one for each setting (two for a box with an off
// option) whose kind, range, default, choices and help come from its row.

enum class OptionKind { Flag, Int, Number, Color, Choice, Text };

struct OptionValue {
  int whole = 0;
  double number = 0.0;
  const char* text = nullptr;
};

struct ExportOption {
  char letter = 0;
  std::string name;
  OptionKind kind = OptionKind::Flag;
  std::string help;
  std::string byDefault;  // as --help shows it; empty: none
  std::vector<std::string> choices;  // Choice: the names; the value is the index
  int low = 0;  // Int
  int high = 0;
  const SettingRow* row = nullptr;  // a setting's
  void (*set)(ExportOptions&, const OptionValue&) = nullptr;  // the program's own
};

// In --help's order: where the output goes, the settings, then how to run.
const std::vector<ExportOption>& ExportOptionList();

// The option a long name or a letter names; null for none.
const ExportOption* FindExportOption(const std::string& name);

// "a, b or c"
std::string ChoiceList(const ExportOption& option);
