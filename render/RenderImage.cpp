#include "render/GraphRenderer.h"

namespace {

// Where the window's frame would go when there is no window.
class NoWindow final : public DrawingSurface {
 public:
  void Clear(Argb) override {}
  void SetAntiAlias() override {}
  void DrawLine(const PenSpec&, int, int, int, int) override {}
  void DrawLines(const PenSpec&, const SurfacePoint*, int) override {}
  void DrawRectangle(const PenSpec&, int, int, int, int) override {}
  void FillEllipse(Argb, int, int, int, int) override {}
  void FillRectangle(Argb, int, int, int, int) override {}
};

}  // namespace

void RenderImage(const GraphSettings& s, const GraphData& d, DrawingSurface& image) {
  NoWindow window;
  DrawGraph({s, d, ViewOffset()}, window, image, VisiblePointCount(s, d));
}
