#pragma once
#include "model/GraphModel.h"

// The few drawing operations the graph needs. The renderer draws through this
// and nothing else, so it builds without any platform and can be checked on a
// surface that records what it is asked to draw.

// The values are those of the platform's dash styles, as `lineStyle` keeps them.
enum class DashStyle : int { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4 };

struct PenSpec {
  Argb color;
  float width;
  DashStyle dash;
  bool roundCapsAndJoins;  // round dash caps and round line joins
};

inline bool operator==(const PenSpec& a, const PenSpec& b) {
  return a.color == b.color && a.width == b.width && a.dash == b.dash &&
         a.roundCapsAndJoins == b.roundCapsAndJoins;
}

// GDI+ puts a pixel's centre on whole coordinates; Cairo, SVG and the
// canvas put it on halves. Those draw everything this far down and right,
// so that a 1-pixel axis at row 190 covers row 190 alone, as GDI+ draws it,
// instead of half of 189 and half of 190.
constexpr double kPixelCentre = 0.5;

// Polyline vertices are floats so that a segment cut short far outside the
// image keeps its exact slope; whole pixels are exact in a float up to 2^24.
struct SurfacePoint {
  float x;
  float y;
};

// Integer pixels, origin top left, y downwards; rectangles are x, y, width,
// height. Nothing reports failure: a surface that cannot draw draws nothing.
class DrawingSurface {
 public:
  virtual void Clear(Argb color) = 0;  // replaces the pixels, no blending
  virtual void SetAntiAlias() = 0;
  virtual void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) = 0;
  virtual void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) = 0;
  virtual void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) = 0;
  virtual void FillEllipse(Argb color, int x, int y, int width, int height) = 0;
  virtual void FillRectangle(Argb color, int x, int y, int width, int height) = 0;

 protected:
  ~DrawingSurface() = default;
};
