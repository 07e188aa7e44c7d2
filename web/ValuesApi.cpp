// What a reader of the graph asks for: the loaded values exactly as read,
// their range, and the point under the pointer, for the page's readout, its
// table of values and the canvas's text alternative.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "model/FloatChars.h"
#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "web/WebApi.h"

namespace {

std::string text;

int LoadedCount() { return std::clamp(graphData.count, 0, kMaxPoints); }

const char* Shown(double value) {
  text = ShortestText(value);
  return text.c_str();
}

int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

int ZimbelValueCount() { return LoadedCount(); }

const char* ZimbelValueText(int index) {
  if (index < 0 || index >= LoadedCount()) return "";
  return Shown(graphData.values[index]);
}

const char* ZimbelLowestText() { return LoadedCount() > 0 ? Shown(graphData.minValue) : ""; }
const char* ZimbelHighestText() { return LoadedCount() > 0 ? Shown(graphData.maxValue) : ""; }

int ZimbelNearestPoint(double x) { return NearestPoint(graphSettings, graphData, x); }

int ZimbelPointX(int index) { return ToInt(PointCentreOf(graphSettings, graphData, index).x); }
int ZimbelPointY(int index) { return ToInt(PointCentreOf(graphSettings, graphData, index).y); }
