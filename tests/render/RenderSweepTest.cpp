#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>

#include "render/GraphRenderer.h"
#include "tests/render/RenderTest.h"

namespace {

// Anything the rasteriser is handed stays this close to the image: the image
// is at most 9999 pixels, the widest pen 9999, the guard 65536 beyond it.
constexpr double kReach = 9999 + 65536 + 1;
constexpr int kMaxPrimitives = 2 + 2 + kMaxPoints + 2 * 100 + kMaxPoints + kMaxPoints / 2;

// Fails the test for anything a real surface could not draw sensibly.
class CheckingSurface final : public DrawingSurface {
 public:
  void Clear(Argb) override { Count(); }
  void SetAntiAlias() override { Count(); }
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override {
    Count();
    CheckPen(pen);
    CheckCoords({double(x1), double(y1), double(x2), double(y2)});
  }
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override {
    Count();
    CheckPen(pen);
    ASSERT_GE(count, 2);
    ASSERT_LE(count, kMaxPoints);
    for (int i = 0; i < count; ++i) {
      ASSERT_TRUE(std::isfinite(points[i].x) && std::isfinite(points[i].y));
      CheckCoords({points[i].x, points[i].y});
    }
  }
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override {
    Count();
    CheckPen(pen);
    CheckShape(x, y, width, height);
  }
  void FillEllipse(Argb, int x, int y, int width, int height) override {
    Count();
    CheckShape(x, y, width, height);
  }
  void FillRectangle(Argb, int x, int y, int width, int height) override {
    Count();
    CheckShape(x, y, width, height);
  }

 private:
  void Count() { ASSERT_LE(++count_, kMaxPrimitives); }
  static void CheckPen(const PenSpec& pen) {
    ASSERT_GE(pen.width, 1.0f);
    ASSERT_LE(pen.width, 9999.0f);
    ASSERT_GE(static_cast<int>(pen.dash), 0);
    ASSERT_LE(static_cast<int>(pen.dash), 4);
  }
  static void CheckCoords(std::initializer_list<double> coords) {
    for (double c : coords) ASSERT_LE(std::fabs(c), kReach);
  }
  static void CheckShape(int x, int y, int width, int height) {
    CheckCoords({double(x), double(y)});
    ASSERT_GE(width, 0);
    ASSERT_GE(height, 0);
    ASSERT_LE(width, 9999);
    ASSERT_LE(height, 9999);
  }
  int count_ = 0;
};

class RenderSweepTest : public RenderTest {
 protected:
  std::mt19937 random_{20240611};

  template <typename T, size_t N>
  T Pick(const T (&choices)[N]) {
    return choices[std::uniform_int_distribution<size_t>(0, N - 1)(random_)];
  }
  // Anything the integer fields accept, with the edges more often.
  int Setting() {
    static const int kEdges[] = {-999, -1, 0, 1, 2, 3, 5, 20, 256, 1280, 9999};
    if (random_() % 2) return Pick(kEdges);
    return std::uniform_int_distribution<int>(-999, 9999)(random_);
  }
  double Real() {
    static const double kEdges[] = {std::numeric_limits<double>::quiet_NaN(),
                                    INFINITY, -INFINITY, 1.7976931348623157e308,
                                    -1.7976931348623157e308, 1e308, -1e308, 4.9e-324,
                                    0.0, -0.0, 1.0, 60.0, 1e12, -1e12, 2147483648.0};
    if (random_() % 2) return Pick(kEdges);
    return std::ldexp(std::uniform_real_distribution<double>(-1, 1)(random_),
                      std::uniform_int_distribution<int>(-60, 1030)(random_));
  }
};

TEST_F(RenderSweepTest, NoSettingDrawsOutOfReach) {
  for (int round = 0; round < 20000; ++round) {
    GraphSettings& s = graphSettings;
    s.leftMargin = Setting();
    s.verticalMargin = Setting();
    s.transparent = random_() % 2;
    s.imageWidth = Setting();
    s.imageHeight = Setting();
    s.lineWidth = Setting();
    s.pointSize = Setting();
    s.pointInterval = Setting();
    s.tickLength = Setting();
    s.xTickInterval = Setting();
    s.displayMode = static_cast<DisplayMode>(random_() % 3);
    s.pointKind = static_cast<PointKind>(random_() % 2);
    s.lineStyle = static_cast<int>(random_() % 5);
    s.ratio = Real();
    s.yTickUnit = Real();
    static const int kBaselines[] = {INT_MIN, INT_MIN + 10, -999, 0, 10, 9999, INT_MAX};
    s.baseline = random_() % 2 ? Pick(kBaselines) : Setting();
    viewOffset.scrollX = Setting();
    viewOffset.scrollY = Setting();

    GraphData& d = graphData;
    d.count = std::uniform_int_distribution<int>(0, kMaxPoints)(random_);
    for (int i = 0; i < d.count; ++i) d.values[i] = Real();
    d.minValue = Real();
    d.maxValue = Real();

    static const int kExtraN[] = {-1, 0, 513, INT_MAX};
    const int n = random_() % 4 ? VisiblePointCount() : Pick(kExtraN);
    CheckingSurface window;
    CheckingSurface image;
    RenderGraph(window, image, n);
    if (HasFatalFailure()) {
      FAIL() << "round " << round << ": width " << s.imageWidth << " height " << s.imageHeight
             << " interval " << s.pointInterval << " ratio " << s.ratio << " baseline " << s.baseline;
    }
  }
}

}  // namespace
