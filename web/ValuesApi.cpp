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
#include "web/Handed.h"
#include "web/WebApi.h"

namespace {

int LoadedCount() { return std::clamp(graphData.count, 0, kMaxPoints); }

char* Shown(double value) { return Handed(ShortestText(value)); }

int ToInt(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

int ZimbelValueCount() { return LoadedCount(); }

char* ZimbelValueText(int index) {
  if (index < 0 || index >= LoadedCount()) return Handed("");
  return Shown(graphData.values[index]);
}

char* ZimbelLowestText() { return LoadedCount() > 0 ? Shown(graphData.minValue) : Handed(""); }
char* ZimbelHighestText() { return LoadedCount() > 0 ? Shown(graphData.maxValue) : Handed(""); }

int ZimbelNearestPoint(double x) { return NearestPoint(graphSettings, graphData, x); }

int ZimbelPointX(int index) { return ToInt(PointCentreOf(graphSettings, graphData, index).x); }
int ZimbelPointY(int index) { return ToInt(PointCentreOf(graphSettings, graphData, index).y); }
