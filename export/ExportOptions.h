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
  bool version = false;
  int jobs = 0;  // cores to use; 0: every one the machine has
  // The start-up settings as the options leave them; the width follows the
  // data unless given.
  GraphSettings settings = StartSettings();
  bool widthGiven = false;
  bool ratioGiven = false;
  // --transparent and --opaque win over the transparency a --background
  // turns off, wherever they stand.
  bool transparencyGiven = false;
  bool transparentGiven = false;
};

// False on a usage error, with what was wrong in `error`.
bool ParseExportOptions(int argc, const char* const* argv, ExportOptions& options, std::string& error);

// One row of the option table as --help shows it; the manual page and the
// bash completion are written from these rows at build time.
struct ExportOptionRow {
  char letter;                       // the short name, or 0
  std::string name;                  // the long name, without its dashes
  std::string value;                 // what follows the name ("N", "NAME"); empty for a flag
  std::string help;                  // with the range, the choices and the default
  std::vector<std::string> choices;  // the names a NAME may be
  bool file;                         // the value names a file or a folder
};
std::vector<ExportOptionRow> ExportOptionRows();

// The --help text and the one-line usage.
std::string ExportHelp();
extern const char kExportUsage[];
