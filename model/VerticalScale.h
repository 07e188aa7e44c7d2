#pragma once
#include "model/GraphModel.h"

constexpr int kRatioTextSize = 32;  // "%g" of any double, with room to spare

// Computes ratio and baseline from the data when autoRatio is on, and always
// leaves ratio at the "%g" rounding shown in the ratio field: `text`.
void ScaleToData(GraphSettings& s, const GraphData& d, char (&text)[kRatioTextSize]);

// The same on the process-wide records; the ratio field then shows the text.
void RecalcRatio();
