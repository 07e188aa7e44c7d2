#pragma once
#include <string>
#include <utility>
#include <vector>

// A command-line program's options as --help, the manual page and the bash
// completion show them, written from one list of rows so that none of the
// three can list an option the program lacks or miss one it has. Any of
// the project's programs gives its own rows.

struct OptionRow {
  char letter;                       // the short name, or 0
  std::string name;                  // the long name, without its dashes
  std::string value;                 // what follows the name ("N", "NAME"); empty for a flag
  std::string help;                  // with the range, the choices and the default
  std::vector<std::string> choices;  // the names a NAME may be
  bool file;                         // the value names a file or a folder
};

// Placeholders of a template and what each becomes.
using TemplateFields = std::vector<std::pair<std::string, std::string>>;

// --help's option lines: "  -o, --output OUT         what it does".
std::string OptionHelpLines(const std::vector<OptionRow>& rows);

// A program's docs tool, run at build time with the program's rows and the
// placeholders its templates hold besides the options (@OPTIONS@ in both,
// @VALUE_CASES@ in the completion; @DATE@ and @VERSION@ are filled for the
// manual page):
//   TOOL man TEMPLATE DATE OUTPUT
//   TOOL completion TEMPLATE OUTPUT
// Returns the tool's exit status.
int WriteOptionDocs(int argc, char** argv, const std::vector<OptionRow>& rows, const TemplateFields& fields);
