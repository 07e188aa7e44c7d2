#include "render/GraphRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/NumberText.h"
#include "render/SegmentClip.h"

namespace {

constexpr PenSpec kAxisPen = {0xFF000000u, 1.0f, DashStyle::Solid, false};
constexpr PenSpec kFrameUnderPen = {0xFF00FF00u, 1.0f, DashStyle::Solid, false};
constexpr PenSpec kFrameDotsPen = {0xFF000000u, 1.0f, DashStyle::Dot, false};

// How far around the image lines are kept. It must exceed half the widest pen
// (9999) so that cut ends, caps and joins stay invisible, and it keeps every
// reasonable graph (scrolled, or a manual ratio that puts points off the image)
// uncut, so a dashed line keeps its dash phase while the view scrolls.
constexpr double kGuardMargin = 65536.0;

// Markers are skipped only when wholly outside the image. Pixel centres lie on
// whole coordinates, so an edge one pixel beyond the image cannot reach it even
// anti-aliased; one pixel of slack keeps every marker's near corner within the
// int range, since no marker is wider than INT_MAX.
constexpr int64_t kMarkerSlack = 1;
constexpr int64_t kIntMax = 2147483647;

// Where the graph lands in the image. Kept in 64 bits: settings anywhere in
// the int range and a saturated trunc cannot overflow them.
struct Placement {
  const GraphSettings& s;
  int64_t width;
  int64_t height;
  int64_t scrollX;
  int64_t scrollY;
  int64_t zeroRow;  // b
  ClipRect guard;

  int64_t PointX(int64_t i) const { return i * s.pointInterval + s.leftMargin - scrollX; }
  int64_t PointY(double value) const { return height - TruncToInt(s.ratio * value) - s.baseline - scrollY; }
};

Placement PlacementOf(const GraphView& view) {
  const GraphSettings& s = view.settings;
  const int64_t width = s.imageWidth;
  const int64_t height = s.imageHeight;
  const int64_t scrollY = view.offset.scrollY;
  // The far edges stop at the int range: a cut end must still be an int
  // coordinate, however wide an image another process typed in.
  constexpr double kFarEdge = static_cast<double>(kIntMax);
  const ClipRect guard = {-kGuardMargin, -kGuardMargin,
                          std::min(static_cast<double>(std::max<int64_t>(width, 0)) + kGuardMargin, kFarEdge),
                          std::min(static_cast<double>(std::max<int64_t>(height, 0)) + kGuardMargin, kFarEdge)};
  return {s, width, height, view.offset.scrollX, scrollY, height - s.baseline - scrollY, guard};
}

int PointsToDraw(const GraphData& d, int n) {
  const int loaded = std::clamp(d.count, 0, kMaxPoints);
  return std::clamp(n, 0, loaded);
}

DashStyle LineDash(int lineStyle) {
  return lineStyle >= 0 && lineStyle < kLineStyleCount ? static_cast<DashStyle>(lineStyle) : DashStyle::Solid;
}

// The axes and ticks are horizontal or vertical, so their cut ends are whole pixels.
void DrawGuardedLine(DrawingSurface& surface, const Placement& p, const PenSpec& pen,
                     int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
  Segment s = {static_cast<double>(x1), static_cast<double>(y1), static_cast<double>(x2),
               static_cast<double>(y2)};
  if (!ClipSegment(p.guard, s)) return;
  surface.DrawLine(pen, static_cast<int>(std::llround(s.x1)), static_cast<int>(std::llround(s.y1)),
                   static_cast<int>(std::llround(s.x2)), static_cast<int>(std::llround(s.y2)));
}

// direction -1 draws above the zero line, +1 below it.
void DrawYTicks(DrawingSurface& image, const Placement& p, int count, double step, int direction) {
  if (count > 100) return;
  const int64_t tickEnd = p.s.tickLength - p.scrollX;
  for (int i = 1; i <= count; ++i) {
    const int64_t row = p.zeroRow + direction * static_cast<int64_t>(TruncToInt(i * step));
    DrawGuardedLine(image, p, kAxisPen, -p.scrollX, row, tickEnd, row);
  }
}

// The box goes to the surface with both corners in the int range. Its near
// corner is there once the marker touches the image; its far edges are cut at
// INT_MAX, beyond every pixel of an image (whose size is an int), so a square
// keeps its visible part. An ellipse cut there changes shape, but only a marker
// wider than 2^30 or an image wider than 2^29 reaches that far, and no surface
// holds such an image or draws such a marker exactly (GDI+ works in floats).
void FillMarker(DrawingSurface& image, const Placement& p, Argb color, int64_t x, int64_t y) {
  const GraphSettings& s = p.s;
  const int64_t size = s.pointSize;
  if (size <= 0) return;
  const int64_t left = x - size / 2;
  const int64_t top = y - size / 2;
  if (left + size < -kMarkerSlack || left > p.width - 1 + kMarkerSlack ||
      top + size < -kMarkerSlack || top > p.height - 1 + kMarkerSlack) {
    return;
  }
  const int width = static_cast<int>(std::min(left + size, kIntMax) - left);
  const int height = static_cast<int>(std::min(top + size, kIntMax) - top);
  if (s.pointKind == Square) {
    image.FillRectangle(color, static_cast<int>(left), static_cast<int>(top), width, height);
  } else {
    image.FillEllipse(color, static_cast<int>(left), static_cast<int>(top), width, height);
  }
}

// The polyline goes to the surface in one piece unless a stretch of it leaves
// the guard rectangle; each piece that remains is drawn on its own.
void DrawGuardedPolyline(DrawingSurface& image, const Placement& p, const PenSpec& pen,
                         const int64_t* xs, const int64_t* ys, int n) {
  SurfacePoint run[kMaxPoints];
  int length = 0;
  auto flush = [&] {
    if (length >= 2) image.DrawLines(pen, run, length);
    length = 0;
  };
  for (int i = 1; i < n; ++i) {
    const Segment whole = {static_cast<double>(xs[i - 1]), static_cast<double>(ys[i - 1]),
                           static_cast<double>(xs[i]), static_cast<double>(ys[i])};
    Segment kept = whole;
    if (!ClipSegment(p.guard, kept)) {
      flush();
      continue;
    }
    if (kept.x1 != whole.x1 || kept.y1 != whole.y1) flush();
    if (length == 0) run[length++] = {static_cast<float>(kept.x1), static_cast<float>(kept.y1)};
    run[length++] = {static_cast<float>(kept.x2), static_cast<float>(kept.y2)};
    if (kept.x2 != whole.x2 || kept.y2 != whole.y2) flush();
  }
  flush();
}

}  // namespace

void DrawGraph(const GraphView& view, DrawingSurface& window, DrawingSurface& image, int n) {
  const GraphSettings& s = view.settings;
  DrawBackground(view, window, image);
  image.SetAntiAlias();
  if (s.displayMode != GraphOnly) DrawAxes(view, image, n);
  if (s.displayMode != AxesOnly) DrawPlot(view, image, ToArgb(s.colors[kLineSlot]), n);
}

void RenderGraph(DrawingSurface& window, DrawingSurface& image, int n) {
  DrawGraph({graphSettings, graphData, viewOffset}, window, image, n);
}

void DrawBackground(const GraphView& view, DrawingSurface& window, DrawingSurface& image) {
  const GraphSettings& s = view.settings;
  if (!s.transparent) {
    image.Clear(ToArgb(s.colors[kBackgroundSlot]));
    return;
  }
  image.Clear(0x00000000u);
  // With no image there is nothing for the frame to mark.
  if (s.imageWidth < 1 || s.imageHeight < 1) return;
  window.DrawRectangle(kFrameUnderPen, 0, 0, s.imageWidth - 1, s.imageHeight - 1);
  window.DrawRectangle(kFrameDotsPen, 0, 0, s.imageWidth - 1, s.imageHeight - 1);
}

void DrawAxes(const GraphView& view, DrawingSurface& image, int n) {
  const GraphSettings& s = view.settings;
  const GraphData& d = view.data;
  const Placement p = PlacementOf(view);
  n = PointsToDraw(d, n);
  const int64_t axisX = -p.scrollX;
  DrawGuardedLine(image, p, kAxisPen, axisX, p.zeroRow, p.width - p.scrollX, p.zeroRow);
  const int64_t axisBottom = d.minValue < 0.0 ? p.height - 1 - p.scrollY : p.zeroRow;
  DrawGuardedLine(image, p, kAxisPen, axisX, -p.scrollY, axisX, axisBottom);

  if (s.xTickInterval > 0) {
    for (int i = 0; i < n; i += s.xTickInterval) {
      const int64_t x = p.PointX(i);
      DrawGuardedLine(image, p, kAxisPen, x, p.zeroRow - s.tickLength, x, p.zeroRow);
    }
  }

  // Not-a-number fails this test too, so no tick is ever computed from it.
  const double step = s.yTickUnit * s.ratio;
  if (!(step >= 2.0)) return;
  DrawYTicks(image, p, TruncToInt((static_cast<double>(s.imageHeight) - s.baseline) / step), step, -1);
  if (d.minValue < 0.0) DrawYTicks(image, p, TruncToInt(s.baseline / step), step, +1);
}

void DrawPlot(const GraphView& view, DrawingSurface& image, Argb color, int n) {
  const GraphSettings& s = view.settings;
  const Placement p = PlacementOf(view);
  n = PointsToDraw(view.data, n);
  int64_t xs[kMaxPoints];
  int64_t ys[kMaxPoints];
  for (int i = 0; i < n; ++i) {
    xs[i] = p.PointX(i);
    ys[i] = p.PointY(view.data.values[i]);
    FillMarker(image, p, color, xs[i], ys[i]);
  }
  // A width below 1 would mean nothing to the pen; it draws the thinnest line.
  const PenSpec pen = {color, static_cast<float>(std::max(s.lineWidth, 1)), LineDash(s.lineStyle), true};
  DrawGuardedPolyline(image, p, pen, xs, ys, n);
}

int VisiblePointCount(const GraphSettings& s, const GraphData& d) {
  if (s.pointInterval <= 0 || s.imageWidth <= 0) return 0;
  return std::min(std::clamp(d.count, 0, kMaxPoints), s.imageWidth / s.pointInterval);
}

int VisiblePointCount() { return VisiblePointCount(graphSettings, graphData); }

int NearestPoint(const GraphSettings& s, const GraphData& d, double x) {
  const int n = VisiblePointCount(s, d);
  if (n == 0 || std::isnan(x)) return -1;
  // Centres lie an interval apart from the left margin; a tie goes left.
  const double steps = std::ceil((x - s.leftMargin) / s.pointInterval - 0.5);
  return static_cast<int>(std::clamp(steps, 0.0, static_cast<double>(n - 1)));
}

PointCentre PointCentreOf(const GraphSettings& s, const GraphData& d, int i) {
  const Placement p = PlacementOf({s, d, ViewOffset()});
  return {p.PointX(i), p.PointY(d.values[std::clamp(i, 0, kMaxPoints - 1)])};
}

int PointsReaching(const GraphSettings& s, int n, int64_t right) {
  if (s.pointInterval <= 0) return n;
  // Beyond a marker's or a round join's reach, and a pixel of anti-aliasing.
  const double reach = std::max(0, s.pointSize) + std::max(1, s.lineWidth) + 2.0;
  const double lastReaching = std::floor((static_cast<double>(right) + reach - s.leftMargin) / s.pointInterval);
  return static_cast<int>(std::clamp(lastReaching + 2, 0.0, static_cast<double>(std::max(n, 0))));
}
