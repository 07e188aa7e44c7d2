#pragma once
#include <string>
#include <utility>

#include "model/GraphModel.h"
#include "render/DrawingSurface.h"

// The graph's drawing operations as SVG elements: the same geometry as the
// offscreen image, as vectors. Platform-free, so both exporters share it.
// The exporter's SVG of `s` and `d`: never scrolled, described in English,
// the language of the programs that write it.
std::string SvgPicture(const GraphSettings& s, const GraphData& d);

class SvgSurface final : public DrawingSurface {
 public:
  // `description`: the text alternative, for the title and the label a
  // screen reader gives the picture.
  SvgSurface(int width, int height, std::string description)
      : width_(width), height_(height), description_(std::move(description)) {}

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
  std::string description_;
  Argb background_ = 0;
  std::string body_;
};
