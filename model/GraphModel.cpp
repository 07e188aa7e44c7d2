#include "model/GraphModel.h"

GraphSettings StartSettings() {
  GraphSettings s;
  s.baseline = s.verticalMargin;
  return s;
}

GraphSettings graphSettings = StartSettings();
GraphData graphData;
ViewOffset viewOffset;

void ResetGraphModel() {
  graphSettings = StartSettings();
  graphData = GraphData();
  viewOffset = ViewOffset();
}
