#include "export/ExportOptions.h"

#include <cstring>

#include "export/OutputFile.h"
#include "model/NumberText.h"

namespace {

enum class Kind { Flag, Int, Number, Color, Choice, Text };

struct Value {
  int whole = 0;
  double number = 0.0;
  Colorref color = 0;
  const char* text = nullptr;
};

struct Option {
  const char* name;
  Kind kind;
  const char* help;
  const char* byDefault;  // as --help shows it; null when it goes without saying
  void (*set)(ExportOptions&, const Value&);
  int low = 0;  // Int: the range accepted
  int high = 0;
  const char* const* choices = nullptr;  // Choice: the names, null-terminated; the value is the index
};

// The dialog's edit fields take four digits; the image may be as wide as the
// data makes it and as large as either drawing library can.
constexpr int kFieldMax = 9999;
constexpr int kSizeMax = 32767;
constexpr int kJobsMax = 256;

const char* const kFormats[] = {"png", "svg", nullptr};
const char* const kLineStyles[] = {"solid", "dash", "dot", "dash-dot", "dash-dot-dot", nullptr};
const char* const kPointKinds[] = {"circle", "square", nullptr};
const char* const kShows[] = {"graph", "axes", "both", nullptr};  // DisplayMode's order

GraphSettings& S(ExportOptions& o) { return o.settings; }

const Option kOptions[] = {
    {"output", Kind::Text, "FILE, FOLDER/ or - (standard output)", nullptr,
     [](ExportOptions& o, const Value& v) { o.output = v.text; o.outputGiven = true; }},
    {"format", Kind::Choice, "", "from the -o name, else png",
     [](ExportOptions& o, const Value& v) {
       o.format = static_cast<PictureFormat>(v.whole);
       o.formatGiven = true;
     }, 0, 0, kFormats},
    {"width", Kind::Int, "image width", "as the data needs",
     [](ExportOptions& o, const Value& v) { S(o).imageWidth = v.whole; o.widthGiven = true; }, 1, kSizeMax},
    {"height", Kind::Int, "image height", "200",
     [](ExportOptions& o, const Value& v) { S(o).imageHeight = v.whole; }, 1, kSizeMax},
    {"left-margin", Kind::Int, "x of the first point", "10",
     [](ExportOptions& o, const Value& v) { S(o).leftMargin = v.whole; }, 0, kFieldMax},
    {"vertical-margin", Kind::Int, "margin kept free by --auto-ratio", "10",
     [](ExportOptions& o, const Value& v) { S(o).verticalMargin = v.whole; }, 0, kFieldMax},
    {"line-width", Kind::Int, "width of the line", "1",
     [](ExportOptions& o, const Value& v) { S(o).lineWidth = v.whole; }, 0, kFieldMax},
    {"line-style", Kind::Choice, "", "solid",
     [](ExportOptions& o, const Value& v) { S(o).lineStyle = v.whole; }, 0, 0, kLineStyles},
    {"line-color", Kind::Color, "colour of the line and the points", "#000000",
     [](ExportOptions& o, const Value& v) { S(o).lineColor() = v.color; }},
    {"background", Kind::Color, "background colour, implies --opaque", "#FFFFFF",
     [](ExportOptions& o, const Value& v) { S(o).backgroundColor() = v.color; o.backgroundGiven = true; }},
    {"transparent", Kind::Flag, "transparent background", "on",
     [](ExportOptions& o, const Value&) { S(o).transparent = true; o.transparencyGiven = true; }},
    {"opaque", Kind::Flag, "background filled with its colour", nullptr,
     [](ExportOptions& o, const Value&) { S(o).transparent = false; o.transparencyGiven = true; }},
    {"point-size", Kind::Int, "size of the points, 0 for none", "4",
     [](ExportOptions& o, const Value& v) { S(o).pointSize = v.whole; }, 0, kFieldMax},
    {"point-kind", Kind::Choice, "", "circle",
     [](ExportOptions& o, const Value& v) { S(o).pointKind = static_cast<PointKind>(v.whole); }, 0, 0,
     kPointKinds},
    {"point-interval", Kind::Int, "pixels from one point to the next", "20",
     [](ExportOptions& o, const Value& v) { S(o).pointInterval = v.whole; }, 0, kFieldMax},
    {"x-tick", Kind::Int, "X tick every N points, 0 for none", "1",
     [](ExportOptions& o, const Value& v) { S(o).xTickInterval = v.whole; }, 0, kFieldMax},
    {"y-tick-unit", Kind::Number, "data units from one Y tick to the next", "0",
     [](ExportOptions& o, const Value& v) { S(o).yTickUnit = v.number; }},
    {"show", Kind::Choice, "", "both",
     [](ExportOptions& o, const Value& v) { S(o).displayMode = static_cast<DisplayMode>(v.whole); }, 0, 0,
     kShows},
    {"ratio", Kind::Number, "vertical pixels per data unit", "1",
     [](ExportOptions& o, const Value& v) { S(o).ratio = v.number; o.ratioGiven = true; }},
    {"auto-ratio", Kind::Flag, "fit the data between the vertical margins", nullptr,
     [](ExportOptions& o, const Value&) { S(o).autoRatio = true; }},
    {"jobs", Kind::Int, "files and bands of rows worked on at once", "one a core",
     [](ExportOptions& o, const Value& v) { o.jobs = v.whole; }, 1, kJobsMax},
    {"help", Kind::Flag, "show this help and exit", nullptr,
     [](ExportOptions& o, const Value&) { o.help = true; }},
};

// The options a letter also names.
const struct {
  char letter;
  const char* name;
} kShortNames[] = {{'o', "output"}, {'j', "jobs"}, {'h', "help"}};

std::string ShortFor(const char* name) {
  for (const auto& short_ : kShortNames) {
    if (std::strcmp(name, short_.name) == 0) return std::string("-") + short_.letter + ", ";
  }
  return "";
}

const Option* Find(const std::string& name) {
  for (const Option& option : kOptions) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// #RRGGBB into the settings' 0x00BBGGRR.
bool ParseColor(const char* text, Colorref& color) {
  if (std::strlen(text) != 7 || text[0] != '#') return false;
  unsigned rgb = 0;
  for (int i = 1; i < 7; ++i) {
    const int digit = HexDigit(text[i]);
    if (digit < 0) return false;
    rgb = rgb << 4 | static_cast<unsigned>(digit);
  }
  color = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

// "a, b or c"
std::string ChoiceList(const char* const* choices) {
  std::string list;
  for (int i = 0; choices[i]; ++i) list += (i == 0 ? "" : choices[i + 1] ? ", " : " or ") + std::string(choices[i]);
  return list;
}

bool ReadValue(const Option& option, const char* text, Value& value, std::string& error) {
  const std::string prefix = "--" + std::string(option.name) + ": ";
  switch (option.kind) {
    case Kind::Flag:
      return true;
    case Kind::Text:
      value.text = text;
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
    case Kind::Color:
      if (!ParseColor(text, value.color)) {
        error = prefix + "'" + text + "' is not a colour of the form #RRGGBB";
        return false;
      }
      return true;
    case Kind::Choice:
      for (int i = 0; option.choices[i]; ++i) {
        if (std::strcmp(text, option.choices[i]) == 0) {
          value.whole = i;
          return true;
        }
      }
      error = prefix + "'" + text + "' is not " + ChoiceList(option.choices);
      return false;
  }
  return false;
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
  option->set(options, value);
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
  if (options.help) return true;

  GraphSettings& s = options.settings;
  // As in the tool dialog: choosing a background colour turns transparency off.
  if (options.backgroundGiven && !options.transparencyGiven) s.transparent = false;
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
  for (const Option& option : kOptions) {
    std::string left = "  " + ShortFor(option.name) + "--" + option.name;
    std::string right = option.help;
    switch (option.kind) {
      case Kind::Flag: break;
      case Kind::Text: left += " OUT"; break;
      case Kind::Int:
        left += " N";
        right += ", " + std::to_string(option.low) + "-" + std::to_string(option.high);
        break;
      case Kind::Number: left += " X"; break;
      case Kind::Color: left += " #RRGGBB"; break;
      case Kind::Choice:
        left += " NAME";
        right += ChoiceList(option.choices);
        break;
    }
    if (option.byDefault) right += " (" + std::string(option.byDefault) + ")";
    help += left + std::string(left.size() < 25 ? 25 - left.size() : 1, ' ') + right + "\n";
  }
  help += "\n"
          "--vertical-margin moves the graph only with --auto-ratio, as in the window.\n"
          "Exit status: 0 when every picture was written, 1 when any file failed (each\n"
          "failure is one line on standard error; the other files are still written),\n"
          "2 for a usage error (nothing is written).\n";
  return help;
}
