#include "export/ExportOptions.h"

#include <cstring>

#include "export/OutputFile.h"
#include "model/NumberText.h"
#include "model/SettingChanges.h"
#include "model/SettingText.h"
#include "model/SettingsTable.h"

namespace {

enum class Kind { Flag, Int, Number, Color, Choice, Text };

struct Value {
  int whole = 0;
  double number = 0.0;
  const char* text = nullptr;
};

// One option as the parser and --help see it: one of the program's own, or
// a setting's (or its off option), whose kind, range, default, choices and
// help all come from its row.
struct Option {
  char letter = 0;
  std::string name;
  Kind kind = Kind::Flag;
  std::string help;
  std::string byDefault;  // as --help shows it; empty: none
  std::vector<std::string> choices;  // Choice: the names; the value is the index
  int low = 0;  // Int
  int high = 0;
  const SettingRow* row = nullptr;  // a setting's
  void (*set)(ExportOptions&, const Value&) = nullptr;  // the program's own
};

// Workers beyond the cores only wait; the bound keeps a typo from asking
// for thousands of threads.
constexpr int kJobsMax = 256;

Option Own(char letter, const char* name, Kind kind, const char* help, void (*set)(ExportOptions&, const Value&)) {
  Option option;
  option.letter = letter;
  option.name = name;
  option.kind = kind;
  option.help = help;
  option.set = set;
  return option;
}

// The first box that `holds`.
template <typename Holds>
const char* BoxOption(Holds holds, const char* SettingRow::*name) {
  for (const SettingRow& row : kSettingRows) {
    if (row.kind == SettingKind::Flag && holds(row)) return row.*name;
  }
  return "";
}

// What storing the setting does to the others, in the words of the options
// that name them: the transparency box's off option, the box that rescales.
std::string EffectHelp(const SettingRow& row) {
  switch (row.effect) {
    case SettingEffect::Opaque:
      return std::string(", implies --") +
             BoxOption([](const SettingRow& box) { return box.offOption != nullptr; }, &SettingRow::offOption);
    case SettingEffect::Rescale:
      if (row.kind == SettingKind::Flag) return "";
      return std::string(", refits with --") +
             BoxOption([](const SettingRow& box) { return box.effect == SettingEffect::Rescale; }, &SettingRow::option);
    case SettingEffect::None: break;
  }
  return "";
}

Option ForSetting(const SettingRow& row, const GraphSettings& start) {
  Option option;
  option.name = row.option;
  option.row = &row;
  option.help = row.help + EffectHelp(row);
  if (row.locks) option.help += ", excludes --" + std::string(FindSetting(row.locks)->option);
  option.byDefault = row.startText ? row.startText : SettingText(start, row);
  switch (row.kind) {
    case SettingKind::Integer:
      option.kind = Kind::Int;
      option.low = row.acceptedLower;
      option.high = row.acceptedUpper;
      break;
    case SettingKind::Number: option.kind = Kind::Number; break;
    case SettingKind::Choice:
      option.kind = Kind::Choice;
      for (int i = 0; i < ChoiceCount(row); ++i) option.choices.push_back(row.choices[i].name);
      break;
    case SettingKind::Color: option.kind = Kind::Color; break;
    case SettingKind::Flag:
      // A box shows its default only where it is on, and by the option that says so.
      if (!row.access.read(start)) option.byDefault.clear();
      break;
  }
  return option;
}

Option OffOption(const SettingRow& row, const GraphSettings& start) {
  Option option;
  option.name = row.offOption;
  option.row = &row;
  option.help = row.offHelp;
  if (!row.access.read(start)) option.byDefault = kFlagTexts[1];
  return option;
}

// In --help's order: where the output goes, the settings, then how to run.
std::vector<Option> MakeOptions() {
  std::vector<Option> options;
  options.push_back(Own('o', "output", Kind::Text, "FILE, FOLDER/ or - (standard output)",
                        [](ExportOptions& o, const Value& v) { o.output = v.text; o.outputGiven = true; }));
  options.push_back(Own(0, "format", Kind::Choice, "", [](ExportOptions& o, const Value& v) {
    o.format = static_cast<PictureFormat>(v.whole);
    o.formatGiven = true;
  }));
  options.back().choices = {"png", "svg"};
  options.back().byDefault = "from the -o name, else png";
  const GraphSettings start = StartSettings();
  for (const SettingRow& row : kSettingRows) {
    options.push_back(ForSetting(row, start));
    if (row.offOption) options.push_back(OffOption(row, start));
  }
  options.push_back(Own('j', "jobs", Kind::Int, "files and bands of rows worked on at once",
                        [](ExportOptions& o, const Value& v) { o.jobs = v.whole; }));
  options.back().low = 1;
  options.back().high = kJobsMax;
  options.back().byDefault = "one a core";
  options.push_back(Own('h', "help", Kind::Flag, "show this help and exit",
                        [](ExportOptions& o, const Value&) { o.help = true; }));
  options.push_back(Own(0, "version", Kind::Flag, "show the name and version and exit",
                        [](ExportOptions& o, const Value&) { o.version = true; }));
  return options;
}

const std::vector<Option>& Options() {
  static const std::vector<Option> options = MakeOptions();
  return options;
}

const Option* Find(const std::string& name) {
  for (const Option& option : Options()) {
    if (name == option.name || (name.size() == 1 && name[0] == option.letter)) return &option;
  }
  return nullptr;
}

// "a, b or c"
std::string ChoiceList(const Option& option) {
  const std::vector<std::string>& names = option.choices;
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i == 0 ? "" : i + 1 < names.size() ? ", " : " or ") + names[i];
  return list;
}

bool ReadChoice(const Option& option, const char* text, int& index) {
  for (index = 0; index < static_cast<int>(option.choices.size()); ++index) {
    if (option.choices[index] == text) return true;
  }
  return false;
}

bool ReadValue(const Option& option, const char* text, Value& value, std::string& error) {
  const std::string prefix = "--" + option.name + ": ";
  value.text = text;
  switch (option.kind) {
    case Kind::Flag:
    case Kind::Text:
      return true;
    case Kind::Int:
      if (!ParseWholeInt(text, &value.whole) || value.whole < option.low || value.whole > option.high) {
        error = prefix + "'" + text + "' is not a whole number from " + std::to_string(option.low) + " to " +
                std::to_string(option.high);
        return false;
      }
      return true;
    case Kind::Number:
      if (!ParseWholeDouble(text, &value.number)) {
        error = prefix + "'" + text + "' is not a number";
        return false;
      }
      return true;
    case Kind::Color: {
      Colorref color = 0;
      if (!ColorFromHex(text, color)) {
        error = prefix + "'" + text + "' is not a colour of the form #RRGGBB";
        return false;
      }
      value.whole = static_cast<int>(color);
      return true;
    }
    case Kind::Choice:
      if (ReadChoice(option, text, value.whole)) return true;
      error = prefix + "'" + text + "' is not " + ChoiceList(option);
      return false;
  }
  return false;
}

// A setting's option stores as its control does: a field's text (already
// known to be a whole number), a list's index, a colour, a box. A box
// given on the command line wins over what another option's effect makes
// of it, wherever the two stand.
void SetSetting(ExportOptions& o, const Option& option, const Value& v) {
  const SettingRow& row = *option.row;
  GraphSettings& s = o.settings;
  const GraphSettings before = s;
  switch (row.kind) {
    case SettingKind::Integer:
    case SettingKind::Number: StoreFieldText(s, row.controlId, v.text); break;
    case SettingKind::Flag: StoreControlValue(s, row.controlId, option.name == row.option); break;
    default: StoreControlValue(s, row.controlId, v.whole); break;
  }
  for (int i = 0; i < kSettingCount; ++i) {
    const SettingRow& other = kSettingRows[i];
    if (o.given[i] && other.kind == SettingKind::Flag && &other != &row) other.access.write(s, other.access.read(before));
  }
  o.given[&row - kSettingRows] = true;
}

// -o FILE, --name VALUE, --name=VALUE; false with `error` set on a bad one.
bool ReadOption(int argc, const char* const* argv, int& i, ExportOptions& options, std::string& error) {
  std::string arg = argv[i];
  std::string name;
  const char* inlineValue = nullptr;
  if (arg.size() == 2) {
    name = arg.substr(1);
  } else if (arg.compare(0, 2, "--") == 0) {
    const size_t equals = arg.find('=');
    name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    if (equals != std::string::npos) inlineValue = argv[i] + equals + 1;
  }
  const Option* option = name.size() == 1 && arg.size() != 2 ? nullptr : Find(name);
  if (!option) {
    error = "unknown option '" + arg + "'";
    return false;
  }
  Value value;
  const char* text = inlineValue;
  if (option->kind == Kind::Flag) {
    if (inlineValue) {
      error = "--" + name + " takes no value";
      return false;
    }
  } else if (!text) {
    if (i + 1 >= argc) {
      error = arg + " needs a value";
      return false;
    }
    text = argv[++i];
  }
  if (!ReadValue(*option, text ? text : "", value, error)) return false;
  if (option->row) {
    SetSetting(options, *option, value);
  } else {
    option->set(options, value);
  }
  return true;
}

bool EndsWithSvg(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".svg";
}

}  // namespace

const char kExportUsage[] = "usage: zimbelplot-export [OPTION]... FILE... [-o OUTPUT]";

bool ParseExportOptions(int argc, const char* const* argv, ExportOptions& options, std::string& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
      if (!ReadOption(argc, argv, i, options, error)) return false;
    } else {
      options.inputs.push_back(arg);
    }
  }
  if (options.help || options.version) return true;

  // A box that locks a field while on excludes the field's option.
  for (const SettingRow& row : kSettingRows) {
    const SettingRow* locked = row.locks ? FindSetting(row.locks) : nullptr;
    if (locked && options.Given(locked->controlId) && row.access.read(options.settings)) {
      error = "--" + std::string(locked->option) + " and --" + row.option + " exclude each other";
      return false;
    }
  }
  if (options.inputs.empty()) {
    error = "no input file";
    return false;
  }
  int fromStdin = 0;
  for (const std::string& input : options.inputs) fromStdin += input == "-";
  if (fromStdin > 1) {
    error = "standard input (-) can be read only once";
    return false;
  }
  const bool toFolder = !options.output.empty() && (options.output.back() == '/' || options.output.back() == '\\');
  if (options.outputGiven && options.output.empty()) {
    error = "-o needs a file name";
    return false;
  }
  if (options.outputGiven && !toFolder && options.inputs.size() > 1 && options.output != "-" &&
      !IsFolder(options.output)) {
    error = "-o " + options.output + " takes one input; name a folder (ending in /) for several";
    return false;
  }
  if (options.output == "-" && options.inputs.size() > 1) {
    error = "-o - (standard output) takes one input";
    return false;
  }
  if (!options.formatGiven && EndsWithSvg(options.output)) options.format = PictureFormat::Svg;
  return true;
}

bool ExportOptions::Given(int controlId) const {
  const SettingRow* row = FindSetting(controlId);
  return row && given[row - kSettingRows];
}

std::vector<OptionRow> ExportOptionRows() {
  std::vector<OptionRow> rows;
  for (const Option& option : Options()) {
    OptionRow row{option.letter, option.name, "", option.help, option.choices, option.kind == Kind::Text};
    switch (option.kind) {
      case Kind::Flag: break;
      case Kind::Text: row.value = "OUT"; break;
      case Kind::Int:
        row.value = "N";
        row.help += ", " + std::to_string(option.low) + "-" + std::to_string(option.high);
        break;
      case Kind::Number: row.value = "X"; break;
      case Kind::Color: row.value = "#RRGGBB"; break;
      case Kind::Choice:
        row.value = "NAME";
        row.help += ChoiceList(option);
        break;
    }
    if (!option.byDefault.empty()) row.help += " (" + option.byDefault + ")";
    rows.push_back(row);
  }
  return rows;
}

std::string ExportHelp() {
  std::string help = std::string(kExportUsage) +
                     "\n"
                     "Draws each data file (one number a line, at most " + std::to_string(kMaxPoints) +
                     ") as the line graph\n"
                     "zimbelplot shows, and writes it as PNG (8-bit RGBA) or SVG.\n"
                     "\n"
                     "  FILE          a data file, or - for standard input\n"
                     "  -o FILE       the picture of the one input (.svg: SVG)\n"
                     "  -o FOLDER/    each NAME.txt becomes FOLDER/NAME.png\n"
                     "  -o -          the picture to standard output\n"
                     "  without -o    NAME.txt becomes NAME.png beside it; - goes to standard output\n"
                     "\n"
                     "Options (the tool dialog's settings and defaults; numbers as zimbelplot\n"
                     "reads them, and the whole value must be one):\n";
  help += OptionHelpLines(ExportOptionRows());
  help += "\n"
          "Exit status: 0 when every picture was written, 1 when any file failed (each\n"
          "failure is one line on standard error; the other files are still written),\n"
          "2 for a usage error (nothing is written).\n";
  return help;
}
