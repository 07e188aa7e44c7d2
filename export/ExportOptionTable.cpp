#include "export/ExportOptionTable.h"

#include <iterator>

#include "model/SettingText.h"
#include "render/PngRenderer.h"

namespace {

// Workers beyond the cores only wait; the bound keeps a typo from asking
// for thousands of threads.
constexpr int kJobsMax = 256;

void AddOwn(ExportOptionTable& table, char letter, const char* name, OptionKind kind, const char* help,
            void (*set)(ExportOptions&, const OptionValue&)) {
  CommandOption option;
  option.letter = letter;
  option.name = name;
  option.kind = kind;
  option.help = help;
  table.options.push_back(option);
  table.actions.push_back({nullptr, set});
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

CommandOption ForSetting(const SettingRow& row, const GraphSettings& start) {
  CommandOption option;
  option.name = row.option;
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

CommandOption OffOption(const SettingRow& row, const GraphSettings& start) {
  CommandOption option;
  option.name = row.offOption;
  option.help = row.offHelp;
  if (!row.access.read(start)) option.byDefault = kFlagTexts[1];
  return option;
}

ExportOptionTable MakeOptions() {
  ExportOptionTable table;
  AddOwn(table, 'o', "output", OptionKind::Text, "FILE, FOLDER/ or - (standard output)",
         [](ExportOptions& o, const OptionValue& v) { o.output = v.text; o.outputGiven = true; });
  table.options.back().file = true;
  AddOwn(table, 0, "format", OptionKind::Choice, "", [](ExportOptions& o, const OptionValue& v) {
    o.format = static_cast<PictureFormat>(v.whole);
    o.formatGiven = true;
  });
  table.options.back().choices.assign(std::begin(kFormatNames), std::end(kFormatNames));
  table.options.back().byDefault = "from the -o name, else png";
  AddOwn(table, 0, "server", OptionKind::Text, "the zimbelplot-serve a markdown or html snippet names",
         [](ExportOptions& o, const OptionValue& v) {
           o.server = v.text;
           if (o.server.empty() || o.server.back() != '/') o.server += '/';
         });
  table.options.back().value = "URL";
  table.options.back().byDefault = ExportOptions().server;
  const GraphSettings start = StartSettings();
  for (const SettingRow& row : kSettingRows) {
    table.options.push_back(ForSetting(row, start));
    table.actions.push_back({&row, nullptr});
    if (!row.offOption) continue;
    table.options.push_back(OffOption(row, start));
    table.actions.push_back({&row, nullptr});
  }
  AddOwn(table, 0, "scale", OptionKind::Int, "PNG pixels to the graph's pixel, each way, for dense screens",
         [](ExportOptions& o, const OptionValue& v) { o.look.scale = v.whole; });
  table.options.back().low = 1;
  table.options.back().high = kPngScaleMax;
  table.options.back().byDefault = "1";
  AddOwn(table, 0, "scheme", OptionKind::Choice, "the page a PNG is for; dark draws black in white when transparent: ",
         [](ExportOptions& o, const OptionValue& v) { o.look.dark = v.whole == 1; });
  table.options.back().choices = {"light", "dark"};
  table.options.back().byDefault = "light";
  AddOwn(table, 'j', "jobs", OptionKind::Int, "files and bands of rows worked on at once",
         [](ExportOptions& o, const OptionValue& v) { o.jobs = v.whole; });
  table.options.back().low = 1;
  table.options.back().high = kJobsMax;
  table.options.back().byDefault = "one a core";
  AddOwn(table, 'h', "help", OptionKind::Flag, "show this help and exit",
         [](ExportOptions& o, const OptionValue&) { o.help = true; });
  AddOwn(table, 0, "version", OptionKind::Flag, "show the name and version and exit",
         [](ExportOptions& o, const OptionValue&) { o.version = true; });
  return table;
}

}  // namespace

const ExportOptionTable& ExportOptionList() {
  static const ExportOptionTable table = MakeOptions();
  return table;
}

std::vector<OptionRow> ExportOptionRows() { return OptionRows(ExportOptionList().options); }

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
