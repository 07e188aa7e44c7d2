#include "tests/settings/SettingCases.h"

#include "model/SettingChanges.h"
#include "model/SettingText.h"
#include "model/VerticalScale.h"
#include "resources/resource.h"

const std::vector<SettingCase> kSettingCases = {
    // Fields store what they show, read as the program reads numbers and
    // unbounded; the exporter takes only whole numbers in its ranges.
    {IDC_LEFTMARGIN, "12x", 0, false},
    {IDC_LEFTMARGIN, "-5", 0, false},
    {IDC_LINEWIDTH, "", 0, false},
    {IDC_POINTSIZE, "9999", 0, true},
    {IDC_INTERVAL, "0", 0, true},
    {IDC_INTERVAL, "7", 0, true},
    {IDC_XTICK, "3", 0, true},
    {IDC_WIDTH, "333", 0, true},
    {IDC_YTICKUNIT, "2.5D1", 0, true},
    {IDC_YTICKUNIT, "1,5", 0, false},
    {IDC_YTICKUNIT, "abc", 0, false},
    {IDC_RATIO, " -0.25", 0, false},
    {IDC_RATIO, "0.1234567", 0, true},
    // The height and the margin round a typed ratio to what its field shows.
    {IDC_HEIGHT, "300", 0, true},
    {IDC_VMARGIN, "30", 0, true},
    // Lists ignore an index they do not offer.
    {IDC_LINESTYLE, nullptr, 3, true},
    {IDC_LINESTYLE, nullptr, 5, false},
    {IDC_POINTKIND, nullptr, 1, true},
    {IDC_DISPLAY, nullptr, 0, true},
    {IDC_TRANSPARENT, nullptr, 0, true},
    {IDC_TRANSPARENT, nullptr, 1, true},
    // A background turns transparency off.
    {IDC_BGCOLOR, nullptr, 0x336699, true},
    {IDC_LINECOLOR, nullptr, 0x0000FF, true},
    {IDC_AUTORATIO, nullptr, 1, true},
    {IDC_HEIGHT, "250", 0, true},
    {IDC_AUTORATIO, nullptr, 0, false},
    {IDC_VMARGIN, "12", 0, true},
};

void ApplyCase(GraphSettings& s, const GraphData& d, const SettingCase& c) {
  const bool rescale = c.text ? StoreFieldText(s, c.controlId, c.text) : StoreControlValue(s, c.controlId, c.value);
  char text[kRatioTextSize];
  if (rescale) ScaleToData(s, d, text);
}

std::string CaseOption(const SettingCase& c) {
  const SettingRow& row = *FindSetting(c.controlId);
  const std::string name = std::string("--") + row.option;
  switch (row.kind) {
    case SettingKind::Integer:
    case SettingKind::Number: return name + "=" + c.text;
    case SettingKind::Choice:
      return c.value >= row.lower && c.value <= row.upper ? name + "=" + row.choices[c.value] : "";
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
