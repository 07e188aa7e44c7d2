#include "render/DarkInk.h"

#include <cstdio>

#include "render/GraphRenderer.h"

namespace {

constexpr Argb kRgb = 0x00FFFFFFu;

Argb Inked(Argb color) { return (color & kRgb) == 0 ? (color & ~kRgb) | (kDarkInk & kRgb) : color; }

PenSpec Inked(PenSpec pen) {
  pen.color = Inked(pen.color);
  return pen;
}

// Another surface's drawing with black turned to the dark ink; the
// background's Clear passes unchanged, as it is transparent.
class DarkInkSurface final : public DrawingSurface {
 public:
  explicit DarkInkSurface(DrawingSurface& inner) : inner_(inner) {}
  void Clear(Argb color) override { inner_.Clear(color); }
  void SetAntiAlias() override { inner_.SetAntiAlias(); }
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override {
    inner_.DrawLine(Inked(pen), x1, y1, x2, y2);
  }
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override {
    inner_.DrawLines(Inked(pen), points, count);
  }
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override {
    inner_.DrawRectangle(Inked(pen), x, y, width, height);
  }
  void FillEllipse(Argb color, int x, int y, int width, int height) override {
    inner_.FillEllipse(Inked(color), x, y, width, height);
  }
  void FillRectangle(Argb color, int x, int y, int width, int height) override {
    inner_.FillRectangle(Inked(color), x, y, width, height);
  }

 private:
  DrawingSurface& inner_;
};

}  // namespace

void RenderImageForScheme(const GraphSettings& s, const GraphData& d, bool dark, DrawingSurface& image) {
  if (!dark || !s.transparent) return RenderImage(s, d, image);
  DarkInkSurface inked(image);
  RenderImage(s, d, inked);
}

std::string DarkSchemeStyle() {
  char style[200];
  const unsigned ink = kDarkInk & kRgb;
  std::snprintf(style, sizeof style,
                "<style>@media (prefers-color-scheme: dark) { [stroke=\"#000000\"] { stroke: #%06x }"
                " [fill=\"#000000\"] { fill: #%06x } }</style>\n",
                ink, ink);
  return style;
}
