#pragma once
#include <string>
#include <vector>

#include "model/GraphModel.h"

enum class PictureFormat { Png, Svg };

// One command line, understood.
struct ExportOptions {
  std::vector<std::string> inputs;  // "-" is standard input
  std::string output;               // empty: beside each input; "-": standard output
  bool outputGiven = false;
  PictureFormat format = PictureFormat::Png;
  bool formatGiven = false;
  bool help = false;
  int jobs = 0;  // cores to use; 0: every one the machine has
  // The start-up settings as the options leave them; the width follows the
  // data unless given.
  GraphSettings settings = StartSettings();
  bool widthGiven = false;
  bool backgroundGiven = false;
  bool transparencyGiven = false;
  bool ratioGiven = false;
};

// False on a usage error, with what was wrong in `error`.
bool ParseExportOptions(int argc, const char* const* argv, ExportOptions& options, std::string& error);

// The --help text and the one-line usage.
std::string ExportHelp();
extern const char kExportUsage[];
