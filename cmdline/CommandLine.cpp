#include "cmdline/CommandLine.h"

#include <cstdio>

#include "model/NumberText.h"
#include "model/SettingText.h"

namespace {

bool ReadChoice(const CommandOption& option, const char* text, int& index) {
  for (index = 0; index < static_cast<int>(option.choices.size()); ++index) {
    if (option.choices[index] == text) return true;
  }
  return false;
}

bool ReadValue(const CommandOption& option, const char* text, OptionValue& value, std::string& error) {
  const std::string prefix = "--" + option.name + ": '" + text + "' is not ";
  value.text = text;
  switch (option.kind) {
    case OptionKind::Flag:
    case OptionKind::Text:
      return true;
    case OptionKind::Int:
      if (ParseWholeInt(text, &value.whole) && value.whole >= option.low && value.whole <= option.high) return true;
      error = prefix + "a whole number from " + std::to_string(option.low) + " to " + std::to_string(option.high);
      return false;
    case OptionKind::Number:
      if (ParseWholeDouble(text, &value.number)) return true;
      error = prefix + "a number";
      return false;
    case OptionKind::Color: {
      Colorref color = 0;
      if (!ColorFromHex(text, color)) {
        error = prefix + "a colour of the form #RRGGBB";
        return false;
      }
      value.whole = static_cast<int>(color);
      return true;
    }
    case OptionKind::Choice:
      if (ReadChoice(option, text, value.whole)) return true;
      error = prefix + ChoiceList(option.choices);
      return false;
  }
  return false;
}

// The option `arg` names: "-x" by its letter, "--name" or "--name=..." by
// its name; null for none.
const CommandOption* Find(const std::vector<CommandOption>& options, const std::string& arg, size_t& index) {
  for (index = 0; index < options.size(); ++index) {
    const CommandOption& option = options[index];
    if (arg.size() == 2 ? arg[1] == option.letter && option.letter : arg == "--" + option.name) return &option;
  }
  return nullptr;
}

}  // namespace

bool ReadCommandLine(int argc, const char* const* argv, const std::vector<CommandOption>& options,
                     const TakeOption& take, const TakeOperand& operand, std::string& error) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      if (!operand(argv[i], error)) return false;
      continue;
    }
    const size_t equals = arg.compare(0, 2, "--") == 0 ? arg.find('=') : std::string::npos;
    const char* inlineValue = equals == std::string::npos ? nullptr : argv[i] + equals + 1;
    if (inlineValue) arg.resize(equals);
    size_t index = 0;
    const CommandOption* option = Find(options, arg, index);
    if (!option) {
      error = "unknown option '" + std::string(argv[i]) + "'";
      return false;
    }
    const bool flag = option->kind == OptionKind::Flag;
    if (flag && inlineValue) {
      error = arg + " takes no value";
      return false;
    }
    if (!flag && !inlineValue && i + 1 >= argc) {
      error = arg + " needs a value";
      return false;
    }
    OptionValue value;
    if (!ReadValue(*option, flag ? "" : inlineValue ? inlineValue : argv[++i], value, error)) return false;
    if (!take(index, value, error)) return false;
  }
  return true;
}

std::string ChoiceList(const std::vector<std::string>& names) {
  std::string list;
  for (size_t i = 0; i < names.size(); ++i) list += (i == 0 ? "" : i + 1 < names.size() ? ", " : " or ") + names[i];
  return list;
}

std::vector<OptionRow> OptionRows(const std::vector<CommandOption>& options) {
  std::vector<OptionRow> rows;
  for (const CommandOption& option : options) {
    OptionRow row{option.letter, option.name, option.value, option.help, option.choices, option.file};
    const char* placeholder = "";
    switch (option.kind) {
      case OptionKind::Flag: break;
      case OptionKind::Text: placeholder = "OUT"; break;
      case OptionKind::Int:
        placeholder = "N";
        row.help += ", " + std::to_string(option.low) + "-" + std::to_string(option.high);
        break;
      case OptionKind::Number: placeholder = "X"; break;
      case OptionKind::Color: placeholder = "#RRGGBB"; break;
      case OptionKind::Choice:
        placeholder = "NAME";
        row.help += ChoiceList(option.choices);
        break;
    }
    if (row.value.empty()) row.value = placeholder;
    if (!option.byDefault.empty()) row.help += " (" + option.byDefault + ")";
    rows.push_back(row);
  }
  return rows;
}

void ReportUsageError(const char* program, const char* usage, const std::string& error) {
  std::fprintf(stderr, "%s: %s\n%s\nTry '%s --help' for more.\n", program, error.c_str(), usage, program);
}
