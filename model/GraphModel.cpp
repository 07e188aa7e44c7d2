#include "model/GraphModel.h"

#include "model/SettingsTable.h"

GraphSettings StartSettings() {
  GraphSettings s;
  for (const SettingRow& row : kSettingRows) {
    if (row.kind == SettingKind::Number) {
      s.*row.number = row.start;
    } else {
      row.access.write(s, static_cast<int>(row.start));
    }
  }
  s.baseline = s.verticalMargin;
  return s;
}

GraphSettings graphSettings = StartSettings();
GraphData graphData;
ViewOffset viewOffset;

void AppendValue(GraphData& d, double v) {
  // One pass in read order; a new minimum is never also tested as a maximum.
  if (d.count == 0) {
    d.minValue = d.maxValue = v;
  } else if (v < d.minValue) {
    d.minValue = v;
  } else if (v > d.maxValue) {
    d.maxValue = v;
  }
  d.values[d.count++] = v;
}

