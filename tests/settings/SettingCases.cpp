#include "tests/settings/SettingCases.h"

#include "model/SettingText.h"
#include "model/VerticalScale.h"
#include "resources/resource.h"

const std::vector<SettingCase> kSettingCases = {
    // Fields store what they show, read as the program reads numbers and
    // unbounded; the exporter takes only whole numbers in its ranges.
    {IDC_LEFTMARGIN, "12x", 0, false, 12},
    {IDC_LEFTMARGIN, "-5", 0, false, -5},
    {IDC_LINEWIDTH, "", 0, false, 0},
    {IDC_POINTSIZE, "9999", 0, true, 9999},
    {IDC_INTERVAL, "0", 0, true, 0},
    {IDC_INTERVAL, "7", 0, true, 7},
    {IDC_XTICK, "3", 0, true, 3},
    {IDC_WIDTH, "333", 0, true, 333},
    {IDC_YTICKUNIT, "2.5D1", 0, true, 25},
    {IDC_YTICKUNIT, "1,5", 0, false, 1},
    {IDC_YTICKUNIT, "abc", 0, false, 0},
    {IDC_RATIO, " -0.25", 0, false, -0.25},
    {IDC_RATIO, "0.1234567", 0, true, 0.1234567},
    // The height and the margin round a typed ratio to what its field shows.
    {IDC_HEIGHT, "300", 0, true, 300},
    {IDC_VMARGIN, "30", 0, true, 30},
    // Lists ignore an index they do not offer.
    {IDC_LINESTYLE, nullptr, 3, true, 3},
    {IDC_LINESTYLE, nullptr, 5, false, 3},
    {IDC_POINTKIND, nullptr, 1, true, 1},
    {IDC_DISPLAY, nullptr, 0, true, 0},
    {IDC_TRANSPARENT, nullptr, 0, true, 0},
    {IDC_TRANSPARENT, nullptr, 1, true, 1},
    // A background turns transparency off.
    {IDC_BGCOLOR, nullptr, 0x336699, true, 0x336699},
    {IDC_LINECOLOR, nullptr, 0x0000FF, true, 0x0000FF},
    {IDC_AUTORATIO, nullptr, 1, true, 1},
    {IDC_HEIGHT, "250", 0, true, 250},
    {IDC_AUTORATIO, nullptr, 0, false, 0},
    {IDC_VMARGIN, "12", 0, true, 12},
};

void ApplyCase(GraphSettings& s, const GraphData& d, const SettingCase& c) {
  const SettingRow& row = *FindSetting(c.controlId);
  if (row.kind == SettingKind::Number) {
    s.*row.number = c.stored;
  } else {
    row.access.write(s, static_cast<int>(c.stored));
  }
  if (row.effect == SettingEffect::Opaque) s.transparent = false;
  char text[kRatioTextSize];
  if (row.effect == SettingEffect::Rescale && (row.kind != SettingKind::Flag || c.stored != 0)) ScaleToData(s, d, text);
}

std::string CaseOption(const SettingCase& c) {
  const SettingRow& row = *FindSetting(c.controlId);
  const std::string name = std::string("--") + row.option;
  switch (row.kind) {
    case SettingKind::Integer:
    case SettingKind::Number: return name + "=" + c.text;
    case SettingKind::Choice:
      return c.value >= row.lower && c.value <= row.upper ? name + "=" + row.choices[c.value].name : "";
    case SettingKind::Flag: return c.value ? name : row.offOption ? std::string("--") + row.offOption : "";
    case SettingKind::Color: return name + "=" + HexFromColor(static_cast<Colorref>(c.value));
  }
  return "";
}

std::string Difference(const GraphSettings& a, const GraphSettings& b) {
  for (const SettingRow& row : kSettingRows) {
    const bool same = row.kind == SettingKind::Number ? a.*row.number == b.*row.number
                                                      : row.access.read(a) == row.access.read(b);
    if (!same) return row.option;
  }
  return a.baseline == b.baseline ? "" : "baseline";
}

std::string Describe(const SettingCase& c) {
  return std::to_string(c.controlId) + " " + (c.text ? "'" + std::string(c.text) + "'" : std::to_string(c.value));
}
