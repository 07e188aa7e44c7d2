#include "cmdline/OptionDocs.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "model/AboutText.h"

namespace {

// Text as roff prints it: a hyphen in an option or a file name is a minus
// sign, which a reader can paste into a shell.
std::string Roff(const std::string& text) {
  std::string roff;
  for (char c : text) {
    if (c == '-') roff += "\\-";
    else if (c == '\\') roff += "\\e";
    else roff += c;
  }
  if (!roff.empty() && (roff[0] == '.' || roff[0] == '\'')) roff.insert(0, "\\&");
  return roff;
}

// "-o --output", or "-o | --output" for a case pattern.
std::string Names(const OptionRow& row, const char* between) {
  return (row.letter ? "-" + std::string(1, row.letter) + between : "") + "--" + row.name;
}

std::string ManOptions(const std::vector<OptionRow>& rows) {
  std::string roff;
  for (const OptionRow& row : rows) {
    roff += ".TP\n";
    if (row.letter) roff += "\\fB\\-" + std::string(1, row.letter) + "\\fR, ";
    roff += "\\fB\\-\\-" + Roff(row.name) + "\\fR";
    if (!row.value.empty()) roff += " \\fI" + Roff(row.value) + "\\fR";
    roff += "\n" + Roff(row.help) + "\n";
  }
  return roff;
}

// One arm of the completion's `case $prev`.
std::string Arm(const std::string& pattern, const std::string& body) {
  return pattern.empty() ? "" : "        " + pattern + ")\n" + body + "            return\n            ;;\n";
}

TemplateFields CompletionFields(const std::vector<OptionRow>& rows) {
  std::string words, choices, files, values;
  const auto add = [](std::string& list, const std::string& item, const char* between) {
    list += (list.empty() ? "" : between) + item;
  };
  for (const OptionRow& row : rows) {
    add(words, Names(row, " "), " ");
    const std::string pattern = Names(row, " | ");
    if (!row.choices.empty()) {
      std::string list;
      for (const std::string& choice : row.choices) add(list, choice, " ");
      choices += Arm(pattern, "            COMPREPLY=($(compgen -W '" + list + "' -- \"$cur\"))\n");
    } else if (row.file) {
      add(files, pattern, " | ");
    } else if (!row.value.empty()) {
      add(values, pattern, " | ");
    }
  }
  // A number or a colour: nothing to offer, not even a file name.
  return {{"@OPTIONS@", words}, {"@VALUE_CASES@\n", choices + Arm(files, "            _filedir\n") + Arm(values, "")}};
}

std::string Fill(std::string text, const TemplateFields& fields) {
  for (const auto& [key, value] : fields) {
    for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size())) {
      text.replace(at, key.size(), value);
    }
  }
  return text;
}

bool Slurp(const char* path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  text = bytes.str();
  return static_cast<bool>(file);
}

}  // namespace

std::string OptionHelpLines(const std::vector<OptionRow>& rows) {
  std::string help;
  for (const OptionRow& row : rows) {
    std::string left = "  ";
    if (row.letter) left += std::string("-") + row.letter + ", ";
    left += "--" + row.name;
    if (!row.value.empty()) left += " " + row.value;
    help += left + std::string(left.size() < 25 ? 25 - left.size() : 1, ' ') + row.help + "\n";
  }
  return help;
}

int WriteOptionDocs(int argc, char** argv, const std::vector<OptionRow>& rows, const TemplateFields& fields) {
  const bool man = argc == 5 && std::strcmp(argv[1], "man") == 0;
  const bool completion = argc == 4 && std::strcmp(argv[1], "completion") == 0;
  std::string text;
  if ((!man && !completion) || !Slurp(argv[2], text)) {
    std::fprintf(stderr, "usage: %s man TEMPLATE DATE OUTPUT | completion TEMPLATE OUTPUT\n", argv[0]);
    return 2;
  }
  text = Fill(text, fields);
  text = man ? Fill(text, {{"@OPTIONS@\n", ManOptions(rows)}, {"@DATE@", argv[3]}, {"@VERSION@", kAppVersion}})
             : Fill(text, CompletionFields(rows));
  std::ofstream out(argv[argc - 1], std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[argc - 1]);
    return 1;
  }
  return 0;
}
