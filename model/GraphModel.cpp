#include "model/GraphModel.h"

namespace {

GraphSettings StartSettings() {
  GraphSettings s;
  s.baseline = s.verticalMargin;
  return s;
}

}  // namespace

GraphSettings graphSettings = StartSettings();
GraphData graphData;
ViewOffset viewOffset;

void ResetGraphModel() {
  graphSettings = StartSettings();
  graphData = GraphData();
  viewOffset = ViewOffset();
}
