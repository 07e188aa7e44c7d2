#pragma once
#include <string>
#include <vector>

#include "cmdline/OptionDocs.h"
#include "model/GraphModel.h"
#include "model/SettingsTable.h"
#include "render/PngRenderer.h"

// Link: no picture, but the graph's link, one line an input; Markdown and
// Html: a snippet that shows its picture from a zimbelplot-serve.
enum class PictureFormat { Png, Svg, Link, Markdown, Html };
// By PictureFormat, as --format names them.
extern const char* const kFormatNames[5];

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
  PngLook look;  // a PNG's scale and scheme
  std::string server = "http://127.0.0.1:8016/";  // the snippets' server, ending in "/"
  // The start-up settings as the options leave them; the width follows the
  // data unless given.
  GraphSettings settings = StartSettings();
  bool given[kSettingCount] = {};  // by row: which settings an option gave

  bool Given(int controlId) const;
};

// False on a usage error, with what was wrong in `error`.
bool ParseExportOptions(int argc, const char* const* argv, ExportOptions& options, std::string& error);

// Every option as --help shows it: the program's own and one for each
// setting (two for a box that has an off option), from the settings table.
// The manual page and the bash completion are written from these rows at
// build time.
std::vector<OptionRow> ExportOptionRows();

// The --help text and the one-line usage.
std::string ExportHelp();
extern const char kExportUsage[];
