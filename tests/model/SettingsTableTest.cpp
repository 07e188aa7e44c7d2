// The table's rows against the design's list of controls: each control
// stores into its own member, and into nothing else.
#include <gtest/gtest.h>

#include <iterator>

#include "model/SettingsTable.h"
#include "resources/resource.h"

namespace {

struct Tie {
  int controlId;
  bool (*holds)(const GraphSettings&);  // once Mark has stored through its row
};

// A value no member has at start.
void Mark(GraphSettings& s, const SettingRow& row) {
  if (row.kind == SettingKind::Number) {
    s.*row.number = 7.5;
  } else {
    row.access.write(s, row.kind == SettingKind::Flag ? !row.access.read(s) : row.kind == SettingKind::Choice ? 1 : 7);
  }
}

TEST(SettingsTableTest, EachControlStoresIntoItsMemberAlone) {
  const Tie ties[] = {
      {IDC_WIDTH, [](const GraphSettings& s) { return s.imageWidth == 7; }},
      {IDC_HEIGHT, [](const GraphSettings& s) { return s.imageHeight == 7; }},
      {IDC_LEFTMARGIN, [](const GraphSettings& s) { return s.leftMargin == 7; }},
      {IDC_VMARGIN, [](const GraphSettings& s) { return s.verticalMargin == 7; }},
      {IDC_LINEWIDTH, [](const GraphSettings& s) { return s.lineWidth == 7; }},
      {IDC_POINTSIZE, [](const GraphSettings& s) { return s.pointSize == 7; }},
      {IDC_INTERVAL, [](const GraphSettings& s) { return s.pointInterval == 7; }},
      {IDC_XTICK, [](const GraphSettings& s) { return s.xTickInterval == 7; }},
      {IDC_YTICKUNIT, [](const GraphSettings& s) { return s.yTickUnit == 7.5; }},
      {IDC_RATIO, [](const GraphSettings& s) { return s.ratio == 7.5; }},
      {IDC_LINESTYLE, [](const GraphSettings& s) { return s.lineStyle == 1; }},
      {IDC_BGCOLOR, [](const GraphSettings& s) { return s.colors[kBackgroundSlot] == 7; }},
      {IDC_LINECOLOR, [](const GraphSettings& s) { return s.colors[kLineSlot] == 7; }},
      {IDC_TRANSPARENT, [](const GraphSettings& s) { return !s.transparent; }},
      {IDC_AUTORATIO, [](const GraphSettings& s) { return s.autoRatio; }},
      {IDC_POINTKIND, [](const GraphSettings& s) { return s.pointKind == Square; }},
      {IDC_DISPLAY, [](const GraphSettings& s) { return s.displayMode == AxesOnly; }},
  };
  ASSERT_EQ(static_cast<size_t>(kSettingCount), std::size(ties));
  const GraphSettings start = StartSettings();
  for (const Tie& tie : ties) {
    const SettingRow* row = FindSetting(tie.controlId);
    ASSERT_NE(nullptr, row) << tie.controlId;
    GraphSettings s = start;
    Mark(s, *row);
    EXPECT_TRUE(tie.holds(s)) << row->option;
    int changed = 0;
    for (const SettingRow& other : kSettingRows) {
      changed += other.kind == SettingKind::Number ? s.*other.number != start.*other.number
                                                   : other.access.read(s) != other.access.read(start);
    }
    EXPECT_EQ(1, changed) << row->option;
    EXPECT_EQ(row, FindOption(row->option));
  }
  EXPECT_EQ(nullptr, FindSetting(IDC_WIDTH_SPIN));
  EXPECT_EQ(FindSetting(IDC_TRANSPARENT), FindOption("opaque"));
}

}  // namespace
