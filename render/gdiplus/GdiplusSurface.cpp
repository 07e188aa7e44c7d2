#include "render/gdiplus/GdiplusSurface.h"

#include <algorithm>
#include <cstdint>

namespace {

// Every dash pattern of a 1-pixel pen repeats within 24 pixels (2, 4, 6 and 8).
constexpr int kDashPeriod = 24;

// A box of 128 x 128 pixels keeps a batch's own pixel cost far below the
// fixed cost of a fill it saves.
constexpr long long kGatherArea = 128 * 128;

// The stretch of [start, end] (either way round) within [low, high],
// widened to whole dash periods counted from start.
bool CutToView(int start, int end, int low, int high, int& from, int& to) {
  const int step = start <= end ? 1 : -1;
  const int64_t ahead = step > 0 ? int64_t{low} - start : int64_t{start} - high;
  const int64_t skip = ahead > kDashPeriod ? (ahead / kDashPeriod - 1) * kDashPeriod : 0;
  from = static_cast<int>(start + step * skip);
  const int64_t stop = step > 0 ? std::min<int64_t>(end, int64_t{high} + kDashPeriod)
                                : std::max<int64_t>(end, int64_t{low} - kDashPeriod);
  to = static_cast<int>(stop);
  return step > 0 ? from <= to : from >= to;
}

}  // namespace

void GdiplusSurface::Clear(Argb color) {
  FillGathered();
  if (untouched_ && color == 0x00000000u) return;
  Draw(gdip::GdipGraphicsClear(context_.get(), color));
}

void GdiplusSurface::SetAntiAlias() {
  if (context_.valid())
    context_.Call(gdip::GdipSetSmoothingMode(context_.get(), Gdiplus::SmoothingModeAntiAlias));
}

void GdiplusSurface::DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) {
  FillGathered();
  if (context_.valid()) Draw(gdip::GdipDrawLineI(context_.get(), PenFor(pen), x1, y1, x2, y2));
}

void GdiplusSurface::DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) {
  FillGathered();
  if (!context_.valid() || count < 2) return;
  Gdiplus::PointF vertices[kMaxPoints];
  count = std::min(count, kMaxPoints);
  for (int i = 0; i < count; ++i) vertices[i] = Gdiplus::PointF(points[i].x, points[i].y);
  Draw(gdip::GdipDrawLines(context_.get(), PenFor(pen), vertices, count));
}

// Drawn as its four sides, in the order a closed outline runs, and only
// where the window can show them: Wine's GDI+ spends time on the whole area
// a shape encloses and on every dash, so the dotted frame of a wide image
// would cost far more than the graph. Cuts fall on whole dash periods, so
// every visible dot stays where the closed outline puts it; only the phase
// at the corners can differ.
void GdiplusSurface::DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) {
  FillGathered();
  if (!context_.valid()) return;
  const int right = x + width;
  const int bottom = y + height;
  DrawSide(pen, x, y, right, y);
  DrawSide(pen, right, y, right, bottom);
  DrawSide(pen, right, bottom, x, bottom);
  DrawSide(pen, x, bottom, x, y);
}

void GdiplusSurface::FillEllipse(Argb color, int x, int y, int width, int height) {
  Gather(Shape::Ellipse, color, x, y, width, height);
}

void GdiplusSurface::FillRectangle(Argb color, int x, int y, int width, int height) {
  Gather(Shape::Rectangle, color, x, y, width, height);
}

void GdiplusSurface::DrawSide(const PenSpec& pen, int x1, int y1, int x2, int y2) {
  if (visible_) {
    const RECT& v = *visible_;
    if (y1 == y2) {
      if (y1 < v.top - 1 || y1 > v.bottom) return;
      if (!CutToView(x1, x2, v.left, v.right, x1, x2)) return;
    } else {
      if (x1 < v.left - 1 || x1 > v.right) return;
      if (!CutToView(y1, y2, v.top, v.bottom, y1, y2)) return;
    }
  }
  Draw(gdip::GdipDrawLineI(context_.get(), PenFor(pen), x1, y1, x2, y2));
}

void GdiplusSurface::Gather(Shape shape, Argb color, int x, int y, int width, int height) {
  if (!context_.valid() || width <= 0 || height <= 0) return;
  const Box box = {x, y, static_cast<long long>(x) + width, static_cast<long long>(y) + height};
  if (gathered_ > 0) {
    const Box joint = {std::min(box.left, box_.left), std::min(box.top, box_.top),
                       std::max(box.right, box_.right), std::max(box.bottom, box_.bottom)};
    if (shape != shape_ || color != gatheredColor_ || joint.Area() > kGatherArea) {
      FillGathered();
    } else {
      box_ = joint;
    }
  }
  if (gathered_ == 0) {
    if (!path_) path_ = std::make_unique<GraphicsPath>();
    shape_ = shape;
    gatheredColor_ = color;
    box_ = box;
  }
  if (shape == Shape::Ellipse) {
    path_->AddEllipse(x, y, width, height);
  } else {
    path_->AddRectangle(x, y, width, height);
  }
  ++gathered_;
}

void GdiplusSurface::FillGathered() {
  if (gathered_ == 0) return;
  Draw(gdip::GdipFillPath(context_.get(), BrushFor(gatheredColor_), path_->get()));
  path_->Reset();
  gathered_ = 0;
}

void GdiplusSurface::Draw(GpStatus status) {
  context_.Call(status);
  untouched_ = false;
}

Gdiplus::GpPen* GdiplusSurface::PenFor(const PenSpec& spec) {
  if (!pen_ || !(penSpec_ == spec)) {
    pen_.reset();
    pen_ = std::make_unique<Pen>(spec);
    penSpec_ = spec;
  }
  return pen_->get();
}

Gdiplus::GpBrush* GdiplusSurface::BrushFor(Argb color) {
  if (!brush_ || brushColor_ != color) {
    brush_.reset();
    brush_ = std::make_unique<SolidBrush>(color);
    brushColor_ = color;
  }
  return brush_->get();
}
