#include "render/cairo/CairoSurface.h"

#include "render/DashPattern.h"

namespace {

constexpr double kDotLength = 1.0 / 256;

void SetColor(cairo_t* context, Argb color) {
  cairo_set_source_rgba(context, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                        (color & 0xFF) / 255.0, (color >> 24) / 255.0);
}

}  // namespace

// Before SetAntiAlias only the background is drawn, which GDI+ does not smooth.
CairoSurface::CairoSurface(cairo_t* context, int scale) : context_(context) {
  cairo_scale(context_, scale, scale);
  cairo_translate(context_, kPixelCentre, kPixelCentre);
  cairo_set_antialias(context_, CAIRO_ANTIALIAS_NONE);
}

void CairoSurface::Clear(Argb color) {
  cairo_save(context_);
  cairo_set_operator(context_, CAIRO_OPERATOR_SOURCE);
  SetColor(context_, color);
  cairo_paint(context_);
  cairo_restore(context_);
}

void CairoSurface::SetAntiAlias() { cairo_set_antialias(context_, CAIRO_ANTIALIAS_DEFAULT); }

void CairoSurface::DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) {
  cairo_move_to(context_, x1, y1);
  cairo_line_to(context_, x2, y2);
  Stroke(pen);
}

void CairoSurface::DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) {
  if (count < 2) return;
  cairo_move_to(context_, points[0].x, points[0].y);
  for (int i = 1; i < count; ++i) cairo_line_to(context_, points[i].x, points[i].y);
  Stroke(pen);
}

void CairoSurface::DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) {
  cairo_rectangle(context_, x, y, width, height);
  Stroke(pen);
}

void CairoSurface::FillEllipse(Argb color, int x, int y, int width, int height) {
  // A zero scale would leave the context in an error state for good.
  if (width <= 0 || height <= 0) return;
  cairo_save(context_);
  cairo_translate(context_, x + width / 2.0, y + height / 2.0);
  cairo_scale(context_, width / 2.0, height / 2.0);
  cairo_new_sub_path(context_);
  cairo_arc(context_, 0, 0, 1, 0, 2 * 3.14159265358979323846);
  cairo_restore(context_);
  Fill(color);
}

void CairoSurface::FillRectangle(Argb color, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  cairo_rectangle(context_, x, y, width, height);
  Fill(color);
}

void CairoSurface::Stroke(const PenSpec& pen) {
  double dashes[kMaxDashLengths];
  const int count = DashLengths(pen, dashes);
  // Cairo drops a dash of length 0 that follows a longer one (the dots of
  // dash-dot-dot); a length too short to see keeps its round cap, the dot.
  for (int i = 0; i < count; i += 2) {
    if (dashes[i] == 0.0) dashes[i] = kDotLength;
  }
  SetColor(context_, pen.color);
  cairo_set_line_width(context_, pen.width);
  cairo_set_dash(context_, dashes, count, 0);
  cairo_set_line_cap(context_, RoundDashEnds(pen) ? CAIRO_LINE_CAP_ROUND : CAIRO_LINE_CAP_BUTT);
  cairo_set_line_join(context_, pen.roundCapsAndJoins ? CAIRO_LINE_JOIN_ROUND : CAIRO_LINE_JOIN_MITER);
  cairo_stroke(context_);
}

void CairoSurface::Fill(Argb color) {
  SetColor(context_, color);
  cairo_fill(context_);
}
