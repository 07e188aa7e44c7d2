#include "export/ExportOptions.h"

#include <cstring>

#include "export/OutputFile.h"
#include "model/NumberText.h"
#include "model/SettingChanges.h"
#include "model/SettingText.h"
#include "model/SettingsTable.h"
#include "resources/resource.h"

namespace {

enum class Kind { Flag, Int, Number, Color, Choice, Text };

struct Value {
  int whole = 0;
  double number = 0.0;
  const char* text = nullptr;
};

// The exporter's own options, and the settings by their long option names:
// a setting's kind, range, default and choices are those of its row.
struct Option {
  const char* name;
  const char* help;
  const char* byDefault;  // as --help shows it; null: a setting's default, or none
  Kind kind = Kind::Flag;
  void (*set)(ExportOptions&, const Value&) = nullptr;  // null for a setting
  const char* const* choices = nullptr;  // Choice: the names, null-terminated; the value is the index
  int low = 0;  // Int: the range of an option that is no setting
  int high = 0;
};

int LowOf(const Option& option, const SettingRow* row) { return row ? row->acceptedLower : option.low; }
int HighOf(const Option& option, const SettingRow* row) { return row ? row->acceptedUpper : option.high; }

// Workers beyond the cores only wait; the bound keeps a typo from asking
// for thousands of threads.
constexpr int kJobsMax = 256;

const char* const kFormats[] = {"png", "svg", nullptr};

const Option kOptions[] = {
    {"output", "FILE, FOLDER/ or - (standard output)", nullptr, Kind::Text,
     [](ExportOptions& o, const Value& v) { o.output = v.text; o.outputGiven = true; }},
    {"format", "", "from the -o name, else png", Kind::Choice,
     [](ExportOptions& o, const Value& v) {
       o.format = static_cast<PictureFormat>(v.whole);
       o.formatGiven = true;
     }, kFormats},
    {"width", "image width", "as the data needs"},
    {"height", "image height", nullptr},
    {"left-margin", "x of the first point", nullptr},
    {"vertical-margin", "margin kept free by --auto-ratio", nullptr},
    {"line-width", "width of the line", nullptr},
    {"line-style", "", nullptr},
    {"line-color", "colour of the line and the points", nullptr},
    {"background", "background colour, implies --opaque", nullptr},
    {"transparent", "transparent background", nullptr},
    {"opaque", "background filled with its colour", nullptr},
    {"point-size", "size of the points, 0 for none", nullptr},
    {"point-kind", "", nullptr},
    {"point-interval", "pixels from one point to the next", nullptr},
    {"x-tick", "X tick every N points, 0 for none", nullptr},
    {"y-tick-unit", "data units from one Y tick to the next", nullptr},
    {"show", "", nullptr},
    {"ratio", "vertical pixels per data unit", nullptr},
    {"auto-ratio", "fit the data between the vertical margins", nullptr},
    {"jobs", "files and bands of rows worked on at once", "one a core", Kind::Int,
     [](ExportOptions& o, const Value& v) { o.jobs = v.whole; }, nullptr, 1, kJobsMax},
    {"help", "show this help and exit", nullptr, Kind::Flag, [](ExportOptions& o, const Value&) { o.help = true; }},
    {"version", "show the name and version and exit", nullptr, Kind::Flag,
     [](ExportOptions& o, const Value&) { o.version = true; }},
};

// The options a letter also names.
const struct {
  char letter;
  const char* name;
} kShortNames[] = {{'o', "output"}, {'j', "jobs"}, {'h', "help"}};

char LetterFor(const char* name) {
  for (const auto& short_ : kShortNames) {
    if (std::strcmp(name, short_.name) == 0) return short_.letter;
  }
  return 0;
}

const Option* Find(const std::string& name) {
  for (const Option& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

const SettingRow* SettingOf(const Option& option) { return option.set ? nullptr : FindOption(option.name); }

Kind KindOf(const Option& option) {
  const SettingRow* row = SettingOf(option);
  if (!row) return option.kind;
  switch (row->kind) {
    case SettingKind::Integer: return Kind::Int;
    case SettingKind::Number: return Kind::Number;
    case SettingKind::Choice: return Kind::Choice;
    case SettingKind::Color: return Kind::Color;
    case SettingKind::Flag: break;
  }
  return Kind::Flag;
}

// A Choice option's names, in index order: its setting's, or its own.
std::vector<const char*> ChoicesOf(const Option& option) {
  const SettingRow* row = SettingOf(option);
  if (row) return {row->choices, row->choices + ChoiceCount(*row)};
  std::vector<const char*> names;
  for (const char* const* name = option.choices; *name; ++name) names.push_back(*name);
  return names;
}

// "a, b or c"
std::string ChoiceList(const Option& option) {
  const std::vector<const char*> names = ChoicesOf(option);
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) {
    list += (i == 0 ? "" : i + 1 < names.size() ? ", " : " or ") + std::string(names[i]);
  }
  return list;
}

bool ReadChoice(const Option& option, const char* text, int& index) {
  const std::vector<const char*> names = ChoicesOf(option);
  for (index = 0; index < static_cast<int>(names.size()); ++index) {
    if (std::strcmp(text, names[index]) == 0) return true;
  }
  return false;
}

bool ReadValue(const Option& option, const char* text, Value& value, std::string& error) {
  const std::string prefix = "--" + std::string(option.name) + ": ";
  const SettingRow* row = SettingOf(option);
  value.text = text;
  switch (KindOf(option)) {
    case Kind::Flag:
    case Kind::Text:
      return true;
    case Kind::Int:
      if (!ParseWholeInt(text, &value.whole) || value.whole < LowOf(option, row) || value.whole > HighOf(option, row)) {
        error = prefix + "'" + text + "' is not a whole number from " + std::to_string(LowOf(option, row)) + " to " +
                std::to_string(HighOf(option, row));
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
// known to be a whole number), a list's index, a colour, a box.
void SetSetting(ExportOptions& o, const Option& option, const SettingRow& row, const Value& v) {
  GraphSettings& s = o.settings;
  switch (row.kind) {
    case SettingKind::Integer:
    case SettingKind::Number: StoreFieldText(s, row.controlId, v.text); break;
    case SettingKind::Flag: StoreControlValue(s, row.controlId, std::strcmp(option.name, row.option) == 0); break;
    default: StoreControlValue(s, row.controlId, v.whole); break;
  }
  if (row.controlId == IDC_WIDTH) o.widthGiven = true;
  if (row.controlId == IDC_RATIO) o.ratioGiven = true;
  if (row.controlId == IDC_TRANSPARENT) {
    o.transparencyGiven = true;
    o.transparentGiven = s.transparent;
  }
}

// -o FILE, --name VALUE, --name=VALUE; false with `error` set on a bad one.
bool ReadOption(int argc, const char* const* argv, int& i, ExportOptions& options, std::string& error) {
  std::string arg = argv[i];
  std::string name;
  const char* inlineValue = nullptr;
  if (arg.size() == 2) {
    for (const auto& short_ : kShortNames) {
      if (arg[1] == short_.letter) name = short_.name;
    }
  } else if (arg.compare(0, 2, "--") == 0) {
    const size_t equals = arg.find('=');
    name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
    if (equals != std::string::npos) inlineValue = argv[i] + equals + 1;
  }
  const Option* option = Find(name);
  if (!option) {
    error = "unknown option '" + arg + "'";
    return false;
  }
  Value value;
  const char* text = inlineValue;
  if (KindOf(*option) == Kind::Flag) {
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
  if (const SettingRow* row = SettingOf(*option)) {
    SetSetting(options, *option, *row, value);
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

  GraphSettings& s = options.settings;
  if (options.transparencyGiven) s.transparent = options.transparentGiven;
  if (options.ratioGiven && s.autoRatio) {
    error = "--ratio and --auto-ratio exclude each other";
    return false;
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

std::vector<ExportOptionRow> ExportOptionRows() {
  const GraphSettings start = StartSettings();
  std::vector<ExportOptionRow> rows;
  for (const Option& option : kOptions) {
    const SettingRow* setting = SettingOf(option);
    const Kind kind = KindOf(option);
    ExportOptionRow row{LetterFor(option.name), option.name, "", option.help, {}, kind == Kind::Text};
    switch (kind) {
      case Kind::Flag: break;
      case Kind::Text: row.value = "OUT"; break;
      case Kind::Int:
        row.value = "N";
        row.help += ", " + std::to_string(LowOf(option, setting)) + "-" + std::to_string(HighOf(option, setting));
        break;
      case Kind::Number: row.value = "X"; break;
      case Kind::Color: row.value = "#RRGGBB"; break;
      case Kind::Choice:
        row.value = "NAME";
        row.help += ChoiceList(option);
        for (const char* name : ChoicesOf(option)) row.choices.push_back(name);
        break;
    }
    std::string byDefault = option.byDefault ? option.byDefault : "";
    // A box shows its default only where it is on, and by the option that says so.
    if (!option.byDefault && setting &&
        (setting->kind != SettingKind::Flag ||
         (setting->access.read(start) && std::strcmp(option.name, setting->option) == 0))) {
      byDefault = SettingText(start, *setting);
    }
    if (!byDefault.empty()) row.help += " (" + byDefault + ")";
    rows.push_back(row);
  }
  return rows;
}

std::string ExportHelp() {
  std::string help = std::string(kExportUsage) +
                     "\n"
                     "Draws each data file (one number a line, at most 512) as the line graph\n"
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
  for (const ExportOptionRow& row : ExportOptionRows()) {
    std::string left = "  ";
    if (row.letter) left += std::string("-") + row.letter + ", ";
    left += "--" + row.name;
    if (!row.value.empty()) left += " " + row.value;
    help += left + std::string(left.size() < 25 ? 25 - left.size() : 1, ' ') + row.help + "\n";
  }
  help += "\n"
          "--vertical-margin moves the graph only with --auto-ratio, as in the window.\n"
          "Exit status: 0 when every picture was written, 1 when any file failed (each\n"
          "failure is one line on standard error; the other files are still written),\n"
          "2 for a usage error (nothing is written).\n";
  return help;
}
