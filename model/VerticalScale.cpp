#include "model/VerticalScale.h"

#include <cmath>
#include <cstdint>

#include "model/GraphModel.h"
#include "model/ModelHooks.h"
#include "model/NumberText.h"

namespace {

int SaturatedDifference(int a, int b) {
  int64_t d = static_cast<int64_t>(a) - b;
  if (d > INT32_MAX) return INT32_MAX;
  if (d < INT32_MIN) return INT32_MIN;
  return static_cast<int>(d);
}

void FitToData(GraphSettings& s, const GraphData& d) {
  double available = static_cast<double>(s.imageHeight) - 2.0 * s.verticalMargin;
  if (d.minValue >= 0.0) {
    s.ratio = available / d.maxValue;
    s.baseline = s.verticalMargin;
  } else {
    s.ratio = available / (d.maxValue - d.minValue);
    // Data with no vertical extent (no values, all zero, all equal) gives no
    // finite ratio; it is drawn flat on the zero line instead.
    if (!std::isfinite(s.ratio)) s.ratio = 0.0;
    s.baseline = SaturatedDifference(s.verticalMargin, TruncToInt(d.minValue * s.ratio));
  }
  if (!std::isfinite(s.ratio)) s.ratio = 0.0;
}

}  // namespace

void ScaleToData(GraphSettings& s, const GraphData& d, char (&text)[kRatioTextSize]) {
  if (s.autoRatio) FitToData(s, d);
  // The ratio in effect is always what the ratio field shows, with or
  // without a window around the model.
  FormatG(s.ratio, text, sizeof text);
  s.ratio = ParseDouble(text);
}

void RecalcRatio() {
  char text[kRatioTextSize];
  ScaleToData(graphSettings, graphData, text);
  ShowRatioText(text);
}
