#pragma once
#include <memory>

#include "render/gdiplus/GdiplusHandles.h"

// One paint's drawing on one context. The pen and the brush are made when
// first needed and kept while the next call wants the same one: a paint draws
// hundreds of markers and ticks with one colour.
//
// Filled shapes are gathered and filled as one path while they share a
// colour and a kind and their joint bounding box stays small: Wine's GDI+
// pays a large fixed price per fill and a price per pixel of the fill's
// bounding box, so 512 markers cost a handful of fills. Any other drawing
// fills what is gathered first, so the order of the picture is kept. The
// markers are opaque and of one colour, so their union is what separate fills
// give (with anti-aliasing, the rim where two markers overlap is blended once
// instead of twice).
class GdiplusSurface final : public DrawingSurface {
 public:
  // A fresh 32-bit image is already fully transparent; clearing it to
  // transparent again would cost as much as filling it.
  // `visible` bounds what a paint can show on a window context; null for an image.
  GdiplusSurface(GraphicsContext& context, bool freshImage, const RECT* visible = nullptr)
      : context_(context), untouched_(freshImage), visible_(visible) {}
  ~GdiplusSurface() { FillGathered(); }
  GdiplusSurface(const GdiplusSurface&) = delete;
  GdiplusSurface& operator=(const GdiplusSurface&) = delete;

  void Clear(Argb color) override;
  void SetAntiAlias() override;
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override;
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override;
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void FillRectangle(Argb color, int x, int y, int width, int height) override;

 private:
  enum class Shape { Ellipse, Rectangle };
  struct Box {
    long long left, top, right, bottom;
    long long Area() const { return (right - left) * (bottom - top); }
  };

  void DrawSide(const PenSpec& pen, int x1, int y1, int x2, int y2);
  void Gather(Shape shape, Argb color, int x, int y, int width, int height);
  void FillGathered();
  void Draw(GpStatus status);
  Gdiplus::GpPen* PenFor(const PenSpec& spec);
  Gdiplus::GpBrush* BrushFor(Argb color);

  GraphicsContext& context_;
  bool untouched_;
  const RECT* visible_;
  std::unique_ptr<Pen> pen_;
  PenSpec penSpec_ = {};
  std::unique_ptr<SolidBrush> brush_;
  Argb brushColor_ = 0;
  std::unique_ptr<GraphicsPath> path_;
  int gathered_ = 0;
  Shape shape_ = Shape::Ellipse;
  Argb gatheredColor_ = 0;
  Box box_ = {};
};
