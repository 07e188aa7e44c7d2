#include "export/ExportOptions.h"

#include "export/ExportOptionTable.h"
#include "export/OutputFile.h"
#include "model/NumberText.h"
#include "model/SettingChanges.h"
#include "model/SettingText.h"
#include "model/SettingsTable.h"

namespace {

bool ReadChoice(const ExportOption& option, const char* text, int& index) {
  for (index = 0; index < static_cast<int>(option.choices.size()); ++index) {
    if (option.choices[index] == text) return true;
  }
  return false;
}

bool ReadValue(const ExportOption& option, const char* text, OptionValue& value, std::string& error) {
  const std::string prefix = "--" + option.name + ": ";
  value.text = text;
  switch (option.kind) {
    case OptionKind::Flag:
    case OptionKind::Text:
      return true;
    case OptionKind::Int:
      if (!ParseWholeInt(text, &value.whole) || value.whole < option.low || value.whole > option.high) {
        error = prefix + "'" + text + "' is not a whole number from " + std::to_string(option.low) + " to " +
                std::to_string(option.high);
        return false;
      }
      return true;
    case OptionKind::Number:
      if (!ParseWholeDouble(text, &value.number)) {
        error = prefix + "'" + text + "' is not a number";
        return false;
      }
      return true;
    case OptionKind::Color: {
      Colorref color = 0;
      if (!ColorFromHex(text, color)) {
        error = prefix + "'" + text + "' is not a colour of the form #RRGGBB";
        return false;
      }
      value.whole = static_cast<int>(color);
      return true;
    }
    case OptionKind::Choice:
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
void SetSetting(ExportOptions& o, const ExportOption& option, const OptionValue& v) {
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
  const ExportOption* option = name.size() == 1 && arg.size() != 2 ? nullptr : FindExportOption(name);
  if (!option) {
    error = "unknown option '" + arg + "'";
    return false;
  }
  OptionValue value;
  const char* text = inlineValue;
  if (option->kind == OptionKind::Flag) {
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
  // A link is a line of text for each input, all of them to standard output.
  if (options.format == PictureFormat::Link) {
    if (options.outputGiven && options.output != "-") {
      error = "--format link writes to standard output";
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
  return true;
}

bool ExportOptions::Given(int controlId) const {
  const SettingRow* row = FindSetting(controlId);
  return row && given[row - kSettingRows];
}
