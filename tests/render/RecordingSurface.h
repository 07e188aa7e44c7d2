#pragma once
#include <string>
#include <vector>

#include "render/DrawingSurface.h"

// Records every primitive with its coordinates, pen and colour, in order.
struct Primitive {
  enum Kind { Clear, AntiAlias, Line, Lines, Rectangle, Ellipse, FilledRectangle };
  explicit Primitive(Kind k) : kind(k) {}

  Kind kind;
  PenSpec pen = {};
  Argb color = 0;
  std::vector<int> coords;            // x1 y1 x2 y2, or x y width height
  std::vector<SurfacePoint> points;   // the polyline
};

class RecordingSurface final : public DrawingSurface {
 public:
  void Clear(Argb color) override;
  void SetAntiAlias() override;
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override;
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override;
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void FillRectangle(Argb color, int x, int y, int width, int height) override;

  std::vector<Primitive> Of(Primitive::Kind kind) const;
  // The lines as "x1,y1-x2,y2", easy to compare with a table.
  std::vector<std::string> LineTexts() const;

  std::vector<Primitive> drawn;
};
