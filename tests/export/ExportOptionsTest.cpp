// The command line, as a table: what each form sets, and what each bad one says.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "export/ExportOptions.h"
#include "model/VerticalScale.h"
#include "resources/resource.h"
#include "tests/settings/SettingCases.h"

namespace {

struct Parsed {
  bool ok;
  std::string error;
  ExportOptions options;
};

Parsed Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "zimbelplot-export");
  Parsed p;
  p.ok = ParseExportOptions(static_cast<int>(args.size()), args.data(), p.options, p.error);
  return p;
}

struct Accepted {
  std::vector<const char*> args;
  std::function<bool(const ExportOptions&)> holds;
};

TEST(ExportOptionsTest, EachFormSetsItsSetting) {
  const GraphSettings start = StartSettings();
  const Accepted cases[] = {
      {{"a.txt"},
       [&](const ExportOptions& o) {
         return o.settings.imageHeight == start.imageHeight && o.settings.transparent && !o.Given(IDC_WIDTH) &&
                o.format == PictureFormat::Png && !o.outputGiven;
       }},
      {{"--width", "300", "a.txt"}, [](const ExportOptions& o) { return o.settings.imageWidth == 300 && o.Given(IDC_WIDTH); }},
      {{"--line-color", "#ff8000", "a.txt"}, [](const ExportOptions& o) { return o.settings.colors[kLineSlot] == 0x0080FFu; }},
      {{"--transparent", "--background", "#102030", "a.txt"}, [](const ExportOptions& o) { return o.settings.transparent; }},
      {{"--line-style", "dash-dot", "--point-kind", "square", "--show", "axes", "a.txt"},
       [](const ExportOptions& o) {
         return o.settings.lineStyle == 3 && o.settings.pointKind == Square && o.settings.displayMode == AxesOnly;
       }},
      {{"--auto-ratio", "--vertical-margin", "0", "a.txt"},
       [](const ExportOptions& o) { return o.settings.autoRatio && o.settings.verticalMargin == 0; }},
      {{"a.txt", "-o", "b.SVG"}, [](const ExportOptions& o) { return o.format == PictureFormat::Svg && o.output == "b.SVG"; }},
      {{"--format", "png", "a.txt", "-o", "b.svg"}, [](const ExportOptions& o) { return o.format == PictureFormat::Png; }},
      {{"a.txt", "b.txt", "-o", "pictures/"}, [](const ExportOptions& o) { return o.inputs.size() == 2; }},
      {{"-", "-o", "-"}, [](const ExportOptions& o) { return o.inputs[0] == "-" && o.output == "-"; }},
      {{"--", "-a.txt"}, [](const ExportOptions& o) { return o.inputs[0] == "-a.txt"; }},
      {{"--help"}, [](const ExportOptions& o) { return o.help; }},
      {{"--version"}, [](const ExportOptions& o) { return o.version; }},
      {{"-j", "3", "a.txt"}, [](const ExportOptions& o) { return o.jobs == 3; }},
      {{"--scale", "3", "a.txt"}, [](const ExportOptions& o) { return o.look.scale == 3; }},
      {{"--scheme", "dark", "a.txt"}, [](const ExportOptions& o) { return o.look.dark; }},
  };
  for (const Accepted& c : cases) {
    Parsed p = Parse(c.args);
    EXPECT_TRUE(p.ok && c.holds(p.options)) << c.args[0] << " " << (c.args.size() > 1 ? c.args[1] : "") << ": "
                                            << p.error;
  }
}

struct Rejected {
  std::vector<const char*> args;
  const char* error;
};

TEST(ExportOptionsTest, EachBadFormSaysWhatWasWrong) {
  const Rejected cases[] = {
      {{"--width", "12abc", "a.txt"}, "--width: '12abc' is not a whole number from 1 to 32767"},
      {{"--width", " 12", "a.txt"}, "--width: ' 12' is not a whole number from 1 to 32767"},
      {{"--width", "0", "a.txt"}, "--width: '0' is not a whole number from 1 to 32767"},
      {{"--point-size", "10000", "a.txt"}, "--point-size: '10000' is not a whole number from 0 to 9999"},
      {{"--ratio", "1e", "a.txt"}, "--ratio: '1e' is not a number"},
      {{"--ratio=", "a.txt"}, "--ratio: '' is not a number"},
      {{"--line-color", "red", "a.txt"}, "--line-color: 'red' is not a colour of the form #RRGGBB"},
      {{"--background", "#12345G", "a.txt"}, "--background: '#12345G' is not a colour of the form #RRGGBB"},
      {{"--line-style", "wavy", "a.txt"}, "--line-style: 'wavy' is not solid, dash, dot, dash-dot or dash-dot-dot"},
      {{"--colour", "#000000", "a.txt"}, "unknown option '--colour'"},
      {{"-x", "a.txt"}, "unknown option '-x'"},
      {{"a.txt", "--width"}, "--width needs a value"},
      {{"--auto-ratio=yes", "a.txt"}, "--auto-ratio takes no value"},
      {{"--ratio", "2", "--auto-ratio", "a.txt"}, "--ratio and --auto-ratio exclude each other"},
      {{"--width", "300"}, "no input file"},
      {{"-", "-"}, "standard input (-) can be read only once"},
      {{"a.txt", "b.txt", "-o", "b.png"}, "-o b.png takes one input; name a folder (ending in /) for several"},
      {{"a.txt", "b.txt", "-o", "-"}, "-o - (standard output) takes one input"},
      {{"-j", "0", "a.txt"}, "--jobs: '0' is not a whole number from 1 to 256"},
      {{"--format", "link", "a.txt", "-o", "a.link"}, "--format link writes to standard output"},
      {{"--scale", "4", "a.txt"}, "--scale: '4' is not a whole number from 1 to 3"},
      {{"--scale", "2", "a.txt", "-o", "a.svg"}, "--scale draws PNG pictures; an SVG has no pixels to scale"},
      {{"--scheme", "dark", "--format", "svg", "a.txt"},
       "--scheme draws PNG pictures; an SVG follows the scheme of the page it is on"},
  };
  for (const Rejected& c : cases) {
    Parsed p = Parse(c.args);
    EXPECT_FALSE(p.ok) << c.error;
    EXPECT_EQ(p.error, c.error);
  }
}

// Each change the dialog and the page make, as an option: taken where it is
// a whole number in range, and then stored as the core stores it.
TEST(ExportOptionsTest, EachSettingIsStoredAsTheDialogStoresIt) {
  for (const SettingCase& c : kSettingCases) {
    const std::string option = CaseOption(c);
    if (option.empty()) continue;
    Parsed p = Parse({option.c_str(), "a.txt"});
    EXPECT_EQ(c.commandLine, p.ok) << option << ": " << p.error;
    if (!p.ok) continue;
    GraphSettings expected = StartSettings();
    ApplyCase(expected, GraphData(), c);
    // Every load fits the scale again, so the exporter leaves that to it.
    char ratioText[kRatioTextSize];
    ScaleToData(expected, GraphData(), ratioText);
    ScaleToData(p.options.settings, GraphData(), ratioText);
    EXPECT_EQ("", Difference(expected, p.options.settings)) << option;
  }
  // Every setting has its option, and --help names it.
  for (const SettingRow& row : kSettingRows) {
    EXPECT_NE(std::string::npos, ExportHelp().find(std::string("--") + row.option + " ")) << row.option;
  }
}

}  // namespace
