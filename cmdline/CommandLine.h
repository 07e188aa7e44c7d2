#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "cmdline/OptionDocs.h"

// A program's options as the reader and --help see them. Each program keeps
// its own table and says here only what the reader must know: the names,
// what the value must be, and how --help describes it.

enum class OptionKind { Flag, Int, Number, Color, Choice, Text };

struct CommandOption {
  char letter = 0;
  std::string name;
  OptionKind kind = OptionKind::Flag;
  std::string value;  // the placeholder --help shows; empty: the kind's own
  std::string help;
  std::string byDefault;  // as --help shows it; empty: none
  std::vector<std::string> choices;  // Choice: the names; the value is the index
  int low = 0;  // Int
  int high = 0;
  bool file = false;  // the value names a file or a folder
};

// A value already known to be of its option's kind.
struct OptionValue {
  int whole = 0;       // Int, Choice's index, Color's Colorref
  double number = 0.0;  // Number
  const char* text = "";  // as written, for every kind
};

// Each option read, by its place in the table; false with `error` set
// refuses it.
using TakeOption = std::function<bool(size_t option, const OptionValue& value, std::string& error)>;
// Each argument that is not an option.
using TakeOperand = std::function<bool(const char* operand, std::string& error)>;

// -x VALUE, --name VALUE, --name=VALUE; "--" ends the options and "-" is an
// operand. False on the first bad argument, with what was wrong in `error`.
bool ReadCommandLine(int argc, const char* const* argv, const std::vector<CommandOption>& options,
                     const TakeOption& take, const TakeOperand& operand, std::string& error);

// "a, b or c"
std::string ChoiceList(const std::vector<std::string>& names);

// The table as --help, the manual page and the completion show it: each
// option's range, choices and default told after its help.
std::vector<OptionRow> OptionRows(const std::vector<CommandOption>& options);

// A usage error as every program reports it, on standard error.
void ReportUsageError(const char* program, const char* usage, const std::string& error);
