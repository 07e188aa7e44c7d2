// Writes zimbelplot-export's manual page and bash completion from the option
// table --help prints, so that neither can list an option the program lacks
// or miss one it has. Run at build time:
//   zimbelplot-export-docs man TEMPLATE DATE OUTPUT
//   zimbelplot-export-docs completion TEMPLATE OUTPUT
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "export/ExportOptions.h"
#include "model/AboutText.h"

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

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
std::string Names(const ExportOptionRow& row, const char* between) {
  return (row.letter ? "-" + std::string(1, row.letter) + between : "") + "--" + row.name;
}

std::string ManOptions() {
  std::string roff;
  for (const ExportOptionRow& row : ExportOptionRows()) {
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

Fields CompletionFields() {
  std::string words, choices, files, values;
  const auto add = [](std::string& list, const std::string& item, const char* between) {
    list += (list.empty() ? "" : between) + item;
  };
  for (const ExportOptionRow& row : ExportOptionRows()) {
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

std::string Fill(std::string text, const Fields& fields) {
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

int main(int argc, char** argv) {
  const bool man = argc == 5 && std::strcmp(argv[1], "man") == 0;
  const bool completion = argc == 4 && std::strcmp(argv[1], "completion") == 0;
  std::string text;
  if ((!man && !completion) || !Slurp(argv[2], text)) {
    std::fprintf(stderr, "usage: zimbelplot-export-docs man TEMPLATE DATE OUTPUT | completion TEMPLATE OUTPUT\n");
    return 2;
  }
  text = man ? Fill(text, {{"@OPTIONS@\n", ManOptions()}, {"@DATE@", argv[3]}, {"@VERSION@", kAppVersion}})
             : Fill(text, CompletionFields());
  std::ofstream out(argv[argc - 1], std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "zimbelplot-export-docs: cannot write %s\n", argv[argc - 1]);
    return 1;
  }
  return 0;
}
