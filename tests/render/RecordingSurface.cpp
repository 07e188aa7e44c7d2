#include "tests/render/RecordingSurface.h"

void RecordingSurface::Clear(Argb color) {
  Primitive p(Primitive::Clear);
  p.color = color;
  drawn.push_back(p);
}

void RecordingSurface::SetAntiAlias() { drawn.push_back(Primitive(Primitive::AntiAlias)); }

void RecordingSurface::DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) {
  Primitive p(Primitive::Line);
  p.pen = pen;
  p.coords = {x1, y1, x2, y2};
  drawn.push_back(p);
}

void RecordingSurface::DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) {
  Primitive p(Primitive::Lines);
  p.pen = pen;
  p.points.assign(points, points + count);
  drawn.push_back(p);
}

void RecordingSurface::DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) {
  Primitive p(Primitive::Rectangle);
  p.pen = pen;
  p.coords = {x, y, width, height};
  drawn.push_back(p);
}

void RecordingSurface::FillEllipse(Argb color, int x, int y, int width, int height) {
  Primitive p(Primitive::Ellipse);
  p.color = color;
  p.coords = {x, y, width, height};
  drawn.push_back(p);
}

void RecordingSurface::FillRectangle(Argb color, int x, int y, int width, int height) {
  Primitive p(Primitive::FilledRectangle);
  p.color = color;
  p.coords = {x, y, width, height};
  drawn.push_back(p);
}

std::vector<Primitive> RecordingSurface::Of(Primitive::Kind kind) const {
  std::vector<Primitive> found;
  for (const Primitive& p : drawn)
    if (p.kind == kind) found.push_back(p);
  return found;
}

std::vector<std::string> RecordingSurface::LineTexts() const {
  std::vector<std::string> texts;
  for (const Primitive& p : Of(Primitive::Line)) {
    texts.push_back(std::to_string(p.coords[0]) + "," + std::to_string(p.coords[1]) + "-" +
                    std::to_string(p.coords[2]) + "," + std::to_string(p.coords[3]));
  }
  return texts;
}
