#pragma once
#include <vector>

#include "cmdline/CommandLine.h"
#include "export/ExportOptions.h"
#include "model/SettingsTable.h"

// zimbelplot-export's options as the reader and --help see them: the
// program's own, and one for each setting (two for a box with an off
// option) whose kind, range, default, choices and help come from its row.

// What an option does once read: a setting's row stores it, or the
// program's own setter does.
struct ExportAction {
  const SettingRow* row = nullptr;
  void (*set)(ExportOptions&, const OptionValue&) = nullptr;
};

// In --help's order: where the output goes, the settings, then how to run.
// `actions[i]` is what `options[i]` does.
struct ExportOptionTable {
  std::vector<CommandOption> options;
  std::vector<ExportAction> actions;
};

const ExportOptionTable& ExportOptionList();
