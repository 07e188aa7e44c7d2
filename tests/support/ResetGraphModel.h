#pragma once
// The start-up state again between tests: the program itself starts once and
// never needs it.
#include "model/GraphModel.h"

inline void ResetGraphModel() {
  graphSettings = StartSettings();
  graphData = GraphData();
  viewOffset = ViewOffset();
}
