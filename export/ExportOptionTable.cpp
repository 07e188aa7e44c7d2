#include "export/ExportOptionTable.h"

#include "model/SettingText.h"

namespace {

// Workers beyond the cores only wait; the bound keeps a typo from asking
// for thousands of threads.
constexpr int kJobsMax = 256;

ExportOption Own(char letter, const char* name, OptionKind kind, const char* help,
                 void (*set)(ExportOptions&, const OptionValue&)) {
  ExportOption option;
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

ExportOption ForSetting(const SettingRow& row, const GraphSettings& start) {
  ExportOption option;
  option.name = row.option;
  option.row = &row;
  option.help = row.help + EffectHelp(row);
  if (row.locks) option.help += ", excludes --" + std::string(FindSetting(row.locks)->option);
  option.byDefault = row.startText ? row.startText : SettingText(start, row);
  switch (row.kind) {
    case SettingKind::Integer:
      option.kind = OptionKind::Int;
      option.low = row.acceptedLower;
      option.high = row.acceptedUpper;
      break;
    case SettingKind::Number: option.kind = OptionKind::Number; break;
    case SettingKind::Choice:
      option.kind = OptionKind::Choice;
      for (int i = 0; i < ChoiceCount(row); ++i) option.choices.push_back(row.choices[i].name);
      break;
    case SettingKind::Color: option.kind = OptionKind::Color; break;
    case SettingKind::Flag:
      // A box shows its default only where it is on, and by the option that says so.
      if (!row.access.read(start)) option.byDefault.clear();
      break;
  }
  return option;
}

ExportOption OffOption(const SettingRow& row, const GraphSettings& start) {
  ExportOption option;
  option.name = row.offOption;
  option.row = &row;
  option.help = row.offHelp;
  if (!row.access.read(start)) option.byDefault = kFlagTexts[1];
  return option;
}

// In --help's order: where the output goes, the settings, then how to run.
std::vector<ExportOption> MakeOptions() {
  std::vector<ExportOption> options;
  options.push_back(Own('o', "output", OptionKind::Text, "FILE, FOLDER/ or - (standard output)",
                        [](ExportOptions& o, const OptionValue& v) { o.output = v.text; o.outputGiven = true; }));
  options.push_back(Own(0, "format", OptionKind::Choice, "", [](ExportOptions& o, const OptionValue& v) {
    o.format = static_cast<PictureFormat>(v.whole);
    o.formatGiven = true;
  }));
  options.back().choices = {"png", "svg", "link"};
  options.back().byDefault = "from the -o name, else png";
  const GraphSettings start = StartSettings();
  for (const SettingRow& row : kSettingRows) {
    options.push_back(ForSetting(row, start));
    if (row.offOption) options.push_back(OffOption(row, start));
  }
  options.push_back(Own('j', "jobs", OptionKind::Int, "files and bands of rows worked on at once",
                        [](ExportOptions& o, const OptionValue& v) { o.jobs = v.whole; }));
  options.back().low = 1;
  options.back().high = kJobsMax;
  options.back().byDefault = "one a core";
  options.push_back(Own('h', "help", OptionKind::Flag, "show this help and exit",
                        [](ExportOptions& o, const OptionValue&) { o.help = true; }));
  options.push_back(Own(0, "version", OptionKind::Flag, "show the name and version and exit",
                        [](ExportOptions& o, const OptionValue&) { o.version = true; }));
  return options;
}


}  // namespace

const std::vector<ExportOption>& ExportOptionList() {
  static const std::vector<ExportOption> options = MakeOptions();
  return options;
}

const ExportOption* FindExportOption(const std::string& name) {
  for (const ExportOption& option : ExportOptionList()) {
    if (name == option.name || (name.size() == 1 && name[0] == option.letter)) return &option;
  }
  return nullptr;
}

std::string ChoiceList(const ExportOption& option) {
  const std::vector<std::string>& names = option.choices;
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i == 0 ? "" : i + 1 < names.size() ? ", " : " or ") + names[i];
  return list;
}

std::vector<OptionRow> ExportOptionRows() {
  std::vector<OptionRow> rows;
  for (const ExportOption& option : ExportOptionList()) {
    OptionRow row{option.letter, option.name, "", option.help, option.choices, option.kind == OptionKind::Text};
    switch (option.kind) {
      case OptionKind::Flag: break;
      case OptionKind::Text: row.value = "OUT"; break;
      case OptionKind::Int:
        row.value = "N";
        row.help += ", " + std::to_string(option.low) + "-" + std::to_string(option.high);
        break;
      case OptionKind::Number: row.value = "X"; break;
      case OptionKind::Color: row.value = "#RRGGBB"; break;
      case OptionKind::Choice:
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
