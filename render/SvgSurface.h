#pragma once
#include <string>

#include "render/DrawingSurface.h"

// The graph's drawing operations as SVG elements: the same geometry as the
// offscreen image, as vectors. Platform-free, so both exporters share it.
class SvgSurface final : public DrawingSurface {
 public:
  SvgSurface(int width, int height) : width_(width), height_(height) {}

  void Clear(Argb color) override;
  void SetAntiAlias() override {}  // every SVG renderer smooths of its own
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override;
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override;
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void FillRectangle(Argb color, int x, int y, int width, int height) override;

  // The whole document: what was drawn since the last Clear.
  std::string Document() const;

 private:
  void Stroked(const std::string& element, const PenSpec& pen);

  int width_;
  int height_;
  Argb background_ = 0;
  std::string body_;
};
