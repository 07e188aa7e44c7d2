#include "export/ExportOptions.h"

#include "export/ExportOptionTable.h"
#include "export/OutputFile.h"
#include "model/SettingChanges.h"
#include "model/SettingsTable.h"

namespace {

// A setting's option stores as its control does: a field's text (already
// known to be a whole number), a list's index, a colour, a box. A box
// given on the command line wins over what another option's effect makes
// of it, wherever the two stand.
void SetSetting(ExportOptions& o, const SettingRow& row, const std::string& name, const OptionValue& v) {
  GraphSettings& s = o.settings;
  const GraphSettings before = s;
  switch (row.kind) {
    case SettingKind::Integer:
    case SettingKind::Number: StoreFieldText(s, row.controlId, v.text); break;
    case SettingKind::Flag: StoreControlValue(s, row.controlId, name == row.option); break;
    default: StoreControlValue(s, row.controlId, v.whole); break;
  }
  for (int i = 0; i < kSettingCount; ++i) {
    const SettingRow& other = kSettingRows[i];
    if (o.given[i] && other.kind == SettingKind::Flag && &other != &row) other.access.write(s, other.access.read(before));
  }
  o.given[&row - kSettingRows] = true;
}

bool EndsWithSvg(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return tail == ".svg";
}

}  // namespace

const char* const kFormatNames[5] = {"png", "svg", "link", "markdown", "html"};

const char kExportUsage[] = "usage: zimbelplot-export [OPTION]... FILE... [-o OUTPUT]";

bool ParseExportOptions(int argc, const char* const* argv, ExportOptions& options, std::string& error) {
  const ExportOptionTable& table = ExportOptionList();
  const auto take = [&](size_t index, const OptionValue& value, std::string&) {
    const ExportAction& action = table.actions[index];
    if (action.row) {
      SetSetting(options, *action.row, table.options[index].name, value);
    } else {
      action.set(options, value);
    }
    return true;
  };
  const auto input = [&](const char* name, std::string&) {
    options.inputs.push_back(name);
    return true;
  };
  if (!ReadCommandLine(argc, argv, table.options, take, input, error)) return false;
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
  // A link or a snippet is a line of text for each input, all of them to
  // standard output.
  if (options.format >= PictureFormat::Link) {
    if (options.outputGiven && options.output != "-") {
      error = "--format " + std::string(kFormatNames[static_cast<int>(options.format)]) +
              " writes to standard output";
      return false;
    }
    return true;
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
  if (options.look.scale != 1 && options.format == PictureFormat::Svg) {
    error = "--scale draws PNG pictures; an SVG has no pixels to scale";
    return false;
  }
  if (options.look.dark && options.format == PictureFormat::Svg) {
    error = "--scheme draws PNG pictures; an SVG follows the scheme of the page it is on";
    return false;
  }
  return true;
}

bool ExportOptions::Given(int controlId) const {
  const SettingRow* row = FindSetting(controlId);
  return row && given[row - kSettingRows];
}
