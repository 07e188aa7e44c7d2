// Fuzzes the renderer with any settings and values a user or another process
// could produce, set directly or through the core's way of changing them: it
// must never crash, draw more points than were loaded, or hand the drawing
// surface coordinates far outside the image.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/GraphModel.h"
#include "model/SettingChanges.h"
#include "model/SettingsTable.h"
#include "render/GraphRenderer.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/render/RecordingSurface.h"
#include "tests/support/ResetGraphModel.h"

namespace {

// Lines are cut at a guard band around the image; nothing may go further.
constexpr int64_t kReach = 65536 + 2;

int SomeInt(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.ConsumeIntegralInRange(-999, 9999);  // what the edits let through
    case 1: return in.ConsumeIntegralInRange(-2, 2);
    default: return in.ConsumeIntegral<int>();              // written by another process
  }
}

double SomeDouble(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return in.ConsumeFloatingPoint<double>();
  uint64_t bits = in.ConsumeIntegral<uint64_t>();  // NaN, infinities, subnormals
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

bool Near(int64_t v, int64_t extent) { return v >= -kReach && v <= std::max<int64_t>(extent, 0) + kReach; }

// Polyline vertices are floats: beyond 2^24 they keep only 24 bits.
bool NearFloat(float v, int64_t extent) {
  const double far = static_cast<double>(std::max<int64_t>(extent, 0)) + kReach;
  const double slack = far / (1 << 23);
  return v >= -kReach - slack && v <= far + slack;
}

// Every setting anywhere in its type's range, as another process could
// write it; a list's and a box's within what their controls hold.
void AnySettings(FuzzedDataProvider& in) {
  GraphSettings& s = graphSettings;
  for (const SettingRow& row : kSettingRows) {
    switch (row.kind) {
      case SettingKind::Integer: row.access.write(s, SomeInt(in)); break;
      case SettingKind::Number: s.*row.number = SomeDouble(in); break;
      case SettingKind::Choice: row.access.write(s, in.ConsumeIntegralInRange(row.lower, row.upper)); break;
      case SettingKind::Flag: row.access.write(s, in.ConsumeBool()); break;
      case SettingKind::Color: row.access.write(s, in.ConsumeIntegral<int>()); break;
    }
  }
  s.baseline = SomeInt(in);
}

void SomeValues(FuzzedDataProvider& in) {
  graphData.count = in.ConsumeIntegralInRange(0, kMaxPoints);
  graphData.minValue = SomeDouble(in);
  graphData.maxValue = SomeDouble(in);
  for (int i = 0; i < graphData.count && in.remaining_bytes() > 0; ++i) graphData.values[i] = SomeDouble(in);
}

// Changes as the front ends make them, in any order: any text into any
// field, any value into any control, ids beside them included. What the
// lists and colours hold stays what their controls can show.
void ChangesThroughTheControls(FuzzedDataProvider& in) {
  SomeValues(in);
  const int steps = in.ConsumeIntegralInRange(0, 40);
  for (int i = 0; i < steps && in.remaining_bytes() > 0; ++i) {
    const int id = in.ConsumeIntegralInRange(995, 1030);
    if (in.ConsumeBool()) {
      ApplyFieldText(id, in.ConsumeRandomLengthString(300).c_str());
    } else {
      ApplyControlValue(id, in.ConsumeBool() ? in.ConsumeIntegralInRange(-2, 6) : in.ConsumeIntegral<int>());
    }
  }
  const GraphSettings& s = graphSettings;
  Check(s.lineStyle >= 0 && s.lineStyle < kLineStyleCount);
  Check(s.pointKind == Circle || s.pointKind == Square);
  Check(s.displayMode >= GraphOnly && s.displayMode <= GraphAndAxes);
  Check(s.colors[kBackgroundSlot] <= 0xFFFFFFu && s.colors[kLineSlot] <= 0xFFFFFFu);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider in(bytes, size);
  ResetGraphModel();
  if (in.ConsumeBool()) {
    ChangesThroughTheControls(in);
  } else {
    AnySettings(in);
    SomeValues(in);
  }
  viewOffset.scrollX = SomeInt(in);
  viewOffset.scrollY = SomeInt(in);
  const GraphSettings& s = graphSettings;
  const int n = in.ConsumeBool() ? VisiblePointCount() : SomeInt(in);

  RecordingSurface window;
  RecordingSurface image;
  RenderGraph(window, image, n);

  const int64_t w = s.imageWidth;
  const int64_t h = s.imageHeight;
  int markers = 0;
  int polylinePoints = 0;
  for (const Primitive& p : image.drawn) {
    switch (p.kind) {
      case Primitive::Line:
        Check(Near(p.coords[0], w) && Near(p.coords[2], w) && Near(p.coords[1], h) && Near(p.coords[3], h));
        break;
      case Primitive::Lines:
        polylinePoints += static_cast<int>(p.points.size());
        for (const SurfacePoint& q : p.points) Check(NearFloat(q.x, w) && NearFloat(q.y, h));
        break;
      case Primitive::Ellipse:
      case Primitive::FilledRectangle:
        ++markers;
        // A marker drawn at all touches the image or the pixel beside it, and its
        // far edges are still int coordinates (a wrapped corner fails this).
        Check(p.coords[0] <= w && static_cast<int64_t>(p.coords[0]) + p.coords[2] >= -1);
        Check(p.coords[1] <= h && static_cast<int64_t>(p.coords[1]) + p.coords[3] >= -1);
        Check(static_cast<int64_t>(p.coords[0]) + p.coords[2] <= INT32_MAX &&
              static_cast<int64_t>(p.coords[1]) + p.coords[3] <= INT32_MAX);
        break;
      default:
        break;
    }
  }
  Check(markers <= graphData.count);
  // A polyline cut into pieces repeats at most one point per cut.
  Check(polylinePoints <= 2 * graphData.count);
  for (const Primitive& p : window.drawn) Check(p.kind == Primitive::Rectangle);
  return 0;
}
