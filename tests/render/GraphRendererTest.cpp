#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "render/GraphRenderer.h"
#include "tests/render/RecordingSurface.h"
#include "tests/render/RenderTest.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

struct Rendered {
  RecordingSurface window;
  RecordingSurface image;
};

Rendered Render(int n) {
  Rendered r;
  RenderGraph(r.window, r.image, n);
  return r;
}

Rendered Render() { return Render(VisiblePointCount()); }

std::vector<std::string> Centres(const RecordingSurface& s, Primitive::Kind kind) {
  std::vector<std::string> centres;
  for (const Primitive& p : s.Of(kind)) {
    centres.push_back(std::to_string(p.coords[0] + p.coords[2] / 2) + "," +
                      std::to_string(p.coords[1] + p.coords[3] / 2));
  }
  return centres;
}

std::vector<std::string> Vertices(const Primitive& polyline) {
  std::vector<std::string> texts;
  for (const SurfacePoint& v : polyline.points) {
    texts.push_back(std::to_string(static_cast<int>(v.x)) + "," + std::to_string(static_cast<int>(v.y)));
  }
  return texts;
}

class GraphRendererTest : public RenderTest {
 protected:
  // Values 1, 2, 3 scaled as the automatic ratio fits them: 60 pixels a unit.
  void LoadThree() {
    Load({1, 2, 3});
    graphSettings.ratio = 60;
  }
};

TEST_F(GraphRendererTest, ThreeValuesLandWhereTheScaleSays) {
  LoadThree();
  Rendered r = Render();

  const PenSpec axis = {0xFF000000u, 1.0f, DashStyle::Solid, false};
  EXPECT_EQ(r.image.drawn[0].kind, Primitive::Clear);
  EXPECT_EQ(r.image.drawn[0].color, 0x00000000u);
  EXPECT_EQ(r.image.drawn[1].kind, Primitive::AntiAlias);
  EXPECT_THAT(r.image.LineTexts(), ElementsAre("0,190-70,190", "0,0-0,190", "10,185-10,190",
                                               "30,185-30,190", "50,185-50,190"));
  for (const Primitive& p : r.image.Of(Primitive::Line)) EXPECT_EQ(p.pen, axis);

  const std::vector<Primitive> markers = r.image.Of(Primitive::Ellipse);
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_EQ(markers[0].coords, (std::vector<int>{8, 128, 4, 4}));
  EXPECT_EQ(markers[0].color, 0xFF000000u);
  EXPECT_THAT(Centres(r.image, Primitive::Ellipse), ElementsAre("10,130", "30,70", "50,10"));

  // The line lies on top of the markers.
  ASSERT_EQ(r.image.drawn.back().kind, Primitive::Lines);
  EXPECT_THAT(Vertices(r.image.drawn.back()), ElementsAre("10,130", "30,70", "50,10"));
  const PenSpec line = {0xFF000000u, 1.0f, DashStyle::Solid, true};
  EXPECT_EQ(r.image.drawn.back().pen, line);
}

TEST_F(GraphRendererTest, TransparentImageIsFramedOnTheWindowOnly) {
  LoadThree();
  Rendered r = Render();
  const std::vector<Primitive> frame = r.window.Of(Primitive::Rectangle);
  ASSERT_EQ(r.window.drawn.size(), 2u);
  ASSERT_EQ(frame.size(), 2u);
  EXPECT_EQ(frame[0].coords, (std::vector<int>{0, 0, 69, 199}));
  EXPECT_EQ(frame[1].coords, frame[0].coords);
  EXPECT_EQ(frame[0].pen, (PenSpec{0xFF00FF00u, 1.0f, DashStyle::Solid, false}));
  EXPECT_EQ(frame[1].pen, (PenSpec{0xFF000000u, 1.0f, DashStyle::Dot, false}));
  EXPECT_THAT(r.image.Of(Primitive::Rectangle), IsEmpty());

  // Scrolling moves the graph, never the frame.
  viewOffset.scrollX = 7;
  EXPECT_EQ(Render().window.Of(Primitive::Rectangle)[0].coords, frame[0].coords);
}

TEST_F(GraphRendererTest, OpaqueBackgroundIsClearedToItsColourWithoutFrame) {
  LoadThree();
  graphSettings.transparent = false;
  graphSettings.backgroundColor() = 0x00336699;  // COLORREF: red 0x99, blue 0x33
  Rendered r = Render();
  EXPECT_THAT(r.window.drawn, IsEmpty());
  ASSERT_EQ(r.image.drawn[0].kind, Primitive::Clear);
  EXPECT_EQ(r.image.drawn[0].color, 0xFF996633u);
}

TEST_F(GraphRendererTest, NoImageMeansNoFrame) {
  Rendered r = Render();  // the start: no data, imageWidth 0
  EXPECT_THAT(r.window.drawn, IsEmpty());
  EXPECT_THAT(r.image.Of(Primitive::Ellipse), IsEmpty());
  EXPECT_THAT(r.image.Of(Primitive::Lines), IsEmpty());
}

TEST_F(GraphRendererTest, DisplayModesChooseAxesAndPlot) {
  LoadThree();
  graphSettings.displayMode = AxesOnly;
  Rendered axesOnly = Render();
  EXPECT_EQ(axesOnly.image.Of(Primitive::Line).size(), 5u);
  EXPECT_THAT(axesOnly.image.Of(Primitive::Ellipse), IsEmpty());
  EXPECT_THAT(axesOnly.image.Of(Primitive::Lines), IsEmpty());

  graphSettings.displayMode = GraphOnly;
  Rendered graphOnly = Render();
  EXPECT_THAT(graphOnly.image.Of(Primitive::Line), IsEmpty());
  EXPECT_EQ(graphOnly.image.Of(Primitive::Ellipse).size(), 3u);
  EXPECT_EQ(graphOnly.image.Of(Primitive::Lines).size(), 1u);
}

struct YTickCase {
  double unit;
  double ratio;
  int imageHeight;
  size_t ticks;
};

TEST_F(GraphRendererTest, YTicksNeedTwoPixelsAndAtMostAHundred) {
  const YTickCase cases[] = {
      {0.0, 2.0, 200, 0},   // no tick unit
      {1.0, 1.5, 200, 0},   // step 1.5 is too dense
      {1.0, 2.0, 200, 95},  // trunc(190 / 2)
      {1.0, 2.0, 210, 100},
      {1.0, 2.0, 212, 0},   // 101 ticks: none at all
      {1.0, 2.0, 300, 0},
      {NAN, 2.0, 200, 0},
      {1.0, INFINITY, 200, 0},
  };
  graphSettings.displayMode = AxesOnly;
  graphSettings.xTickInterval = 0;
  for (const YTickCase& c : cases) {
    graphSettings.yTickUnit = c.unit;
    graphSettings.ratio = c.ratio;
    graphSettings.imageHeight = c.imageHeight;
    // Two axes before the ticks.
    EXPECT_EQ(Render(0).image.Of(Primitive::Line).size() - 2, c.ticks)
        << "unit " << c.unit << " ratio " << c.ratio << " height " << c.imageHeight;
  }
}

TEST_F(GraphRendererTest, YTicksStepUpFromTheZeroLine) {
  graphSettings.displayMode = AxesOnly;
  graphSettings.yTickUnit = 1.0;
  graphSettings.ratio = 2.0;
  const std::vector<std::string> lines = Render(0).image.LineTexts();
  ASSERT_EQ(lines.size(), 97u);
  EXPECT_EQ(lines[2], "0,188-5,188");
  EXPECT_EQ(lines[96], "0,0-5,0");  // 190 above the zero line: the top row
}

TEST_F(GraphRendererTest, NegativeMinimumExtendsYAxisAndTicksBelowZero) {
  Load({-1, 3});
  graphSettings.ratio = 45;
  graphSettings.baseline = 55;  // the zero line on row 145
  graphSettings.displayMode = AxesOnly;
  graphSettings.xTickInterval = 0;
  graphSettings.yTickUnit = 0.5;  // step 22.5
  std::vector<std::string> lines = Render().image.LineTexts();
  ASSERT_EQ(lines.size(), 2u + 6 + 2);  // trunc(145 / 22.5) above, trunc(55 / 22.5) below
  EXPECT_EQ(lines[0], "0,145-50,145");
  EXPECT_EQ(lines[1], "0,0-0,199");
  EXPECT_EQ(lines[2], "0,123-5,123");
  EXPECT_EQ(lines[7], "0,10-5,10");
  EXPECT_EQ(lines[8], "0,167-5,167");
  EXPECT_EQ(lines[9], "0,190-5,190");

  graphData.minValue = 0.0;
  lines = Render().image.LineTexts();
  EXPECT_EQ(lines[1], "0,0-0,145");  // stops at the zero line
  EXPECT_EQ(lines.size(), 2u + 6);
}

TEST_F(GraphRendererTest, XTicksAtEveryIntervalFromTheFirstPoint) {
  Load({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  graphSettings.displayMode = AxesOnly;
  graphSettings.xTickInterval = 5;
  std::vector<std::string> lines = Render(12).image.LineTexts();
  EXPECT_THAT(std::vector<std::string>(lines.begin() + 2, lines.end()),
              ElementsAre("10,185-10,190", "110,185-110,190", "210,185-210,190"));

  graphSettings.xTickInterval = 0;
  EXPECT_EQ(Render(12).image.LineTexts().size(), 2u);
  graphSettings.xTickInterval = -3;
  EXPECT_EQ(Render(12).image.LineTexts().size(), 2u);
}

TEST_F(GraphRendererTest, MarkerShapeAndOddSize) {
  LoadThree();
  graphSettings.pointSize = 5;
  const Primitive circle = Render().image.Of(Primitive::Ellipse)[0];
  EXPECT_EQ(circle.coords, (std::vector<int>{8, 128, 5, 5}));  // 10 - 2 ... 10 + 2

  graphSettings.pointKind = Square;
  Rendered squares = Render();
  EXPECT_THAT(squares.image.Of(Primitive::Ellipse), IsEmpty());
  EXPECT_EQ(squares.image.Of(Primitive::FilledRectangle)[2].coords, (std::vector<int>{48, 8, 5, 5}));
}

TEST_F(GraphRendererTest, NonPositiveSizesDrawNoMarkersAndTheThinnestLine) {
  LoadThree();
  for (int size : {0, -1, -999}) {
    graphSettings.pointSize = size;
    graphSettings.lineWidth = size;
    Rendered r = Render();
    EXPECT_THAT(r.image.Of(Primitive::Ellipse), IsEmpty()) << size;
    ASSERT_EQ(r.image.Of(Primitive::Lines).size(), 1u);
    EXPECT_EQ(r.image.Of(Primitive::Lines)[0].pen.width, 1.0f);
  }
}

TEST_F(GraphRendererTest, LineTakesColourWidthAndDashStyle) {
  LoadThree();
  graphSettings.lineColor() = 0x000000FF;
  graphSettings.lineWidth = 7;
  graphSettings.lineStyle = 3;
  Rendered r = Render();
  EXPECT_EQ(r.image.Of(Primitive::Lines)[0].pen,
            (PenSpec{0xFFFF0000u, 7.0f, DashStyle::DashDot, true}));
  EXPECT_EQ(r.image.Of(Primitive::Ellipse)[0].color, 0xFFFF0000u);
}

TEST_F(GraphRendererTest, ScrollShiftsEverythingDrawnIntoTheImage) {
  LoadThree();
  viewOffset.scrollX = 100;
  Rendered r = Render();
  // Point 0 lands at x = 10 - 100, outside the image: its marker is dropped,
  // the line still starts there and the image clip cuts it.
  EXPECT_THAT(Centres(r.image, Primitive::Ellipse), IsEmpty());
  EXPECT_THAT(Vertices(r.image.Of(Primitive::Lines)[0]), ElementsAre("-90,130", "-70,70", "-50,10"));
  EXPECT_EQ(r.image.LineTexts()[0], "-100,190--30,190");

  viewOffset = {30, 40};
  r = Render();
  EXPECT_THAT(Centres(r.image, Primitive::Ellipse), ElementsAre("0,30"));
  EXPECT_EQ(r.image.LineTexts()[1], "-30,-40--30,150");
}

TEST_F(GraphRendererTest, FewerThanTwoPointsDrawNoLine) {
  LoadThree();
  for (int n : {0, 1}) {
    Rendered r = Render(n);
    EXPECT_EQ(r.image.Of(Primitive::Ellipse).size(), static_cast<size_t>(n));
    EXPECT_THAT(r.image.Of(Primitive::Lines), IsEmpty());
  }
}

TEST_F(GraphRendererTest, NeverMoreThanTheLoadedPoints) {
  LoadThree();
  Rendered r = Render(100000);
  EXPECT_EQ(r.image.Of(Primitive::Ellipse).size(), 3u);
  EXPECT_EQ(r.image.Of(Primitive::Line).size(), 2u + 3);
  graphData.count = 9999;  // not a state the reader leaves, but no reason to read past the table
  EXPECT_LE(Render(100000).image.Of(Primitive::Lines)[0].points.size(), 512u);
}

struct EdgeMarkerCase {
  int leftMargin;
  std::vector<int> box;  // x y width height as the surface gets it; empty: not drawn
};

// A marker as wide as an int, placed so that its corners lie just beyond the
// int range: nothing may wrap, and what touches the image keeps its place.
TEST_F(GraphRendererTest, MarkersAtTheEdgesOfTheIntRangeStayInIt) {
  const int half = INT_MAX / 2;
  const EdgeMarkerCase cases[] = {
      {-half - 3, {}},                                    // right edge at -2: off the image
      {-half - 2, {INT_MIN, 0, INT_MAX, INT_MAX}},        // right edge at -1
      {INT_MAX, {INT_MAX - half, 0, half, INT_MAX}},      // far edge cut at INT_MAX
  };
  Load({0});
  graphSettings.ratio = 0.0;
  graphSettings.pointSize = INT_MAX;
  graphSettings.imageWidth = INT_MAX;
  graphSettings.imageHeight = INT_MAX;
  graphSettings.baseline = INT_MAX - half;
  for (PointKind kind : {Circle, Square}) {
    graphSettings.pointKind = kind;
    for (const EdgeMarkerCase& c : cases) {
      graphSettings.leftMargin = c.leftMargin;
      const Rendered r = Render(1);
      const std::vector<Primitive> boxes =
          r.image.Of(kind == Square ? Primitive::FilledRectangle : Primitive::Ellipse);
      EXPECT_EQ(boxes.empty() ? std::vector<int>{} : boxes[0].coords, c.box) << kind << " " << c.leftMargin;
    }
  }
}

struct CountCase {
  int imageWidth;
  int pointInterval;
  int count;
  int n;
};

TEST_F(RenderTest, VisiblePointCountFitsTheWidthAndNeverDividesByZero) {
  const CountCase cases[] = {
      {70, 20, 3, 3},      {50, 20, 3, 2},     {70, 0, 3, 0},      {70, -5, 3, 0},
      {-999, -1, 3, 0},    {0, 20, 3, 0},      {10250, 20, 512, 512}, {1280, 20, 512, 64},
      {9999, 1, 0, 0},
  };
  for (const CountCase& c : cases) {
    graphSettings.imageWidth = c.imageWidth;
    graphSettings.pointInterval = c.pointInterval;
    graphData.count = c.count;
    EXPECT_EQ(VisiblePointCount(), c.n) << c.imageWidth << " / " << c.pointInterval;
  }
}

// With a point size of 4 and a line width of 1, a point is given 7 pixels
// of reach to its left: a view to column 62 needs the points at 10, 30 and
// 50 and, for the line, the one at 70; to column 63 also the one at 90.
TEST_F(RenderTest, AViewNeedsThePointsThatReachItAndOneMore) {
  const int64_t rightEdges[] = {-1000, -20, 0, 62, 63, 1000000, INT64_MAX / 2};
  const int counts[] = {0, 0, 1, 4, 5, 512, 512};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(PointsReaching(graphSettings, 512, rightEdges[i]), counts[i]) << rightEdges[i];
  EXPECT_EQ(PointsReaching(graphSettings, 3, 1000), 3);
  graphSettings.pointInterval = 0;
  EXPECT_EQ(PointsReaching(graphSettings, 512, 0), 512);
}

struct NearestCase {
  int imageWidth;
  int pointInterval;
  double x;
  int nearest;
};

// Three values, centred at 10, 30 and 50 on an image 70 wide.
TEST_F(RenderTest, NearestPointIsADrawnOneAndMarkersSitWhereTheyAreDrawn) {
  const double nan = std::nan("");
  const NearestCase cases[] = {
      {70, 20, -1e300, 0}, {70, 20, 10, 0},  {70, 20, 20, 0},   {70, 20, 20.5, 1}, {70, 20, 41, 2},
      {70, 20, 1e300, 2},  {70, 20, nan, -1}, {50, 20, 1000, 1}, {70, 0, 10, -1},   {0, 20, 10, -1},
  };
  for (const NearestCase& c : cases) {
    Load({5, -7.5, 40});
    graphSettings.imageWidth = c.imageWidth;
    graphSettings.pointInterval = c.pointInterval;
    EXPECT_EQ(NearestPoint(graphSettings, graphData, c.x), c.nearest) << c.imageWidth << " " << c.x;
  }

  Load({5, -7.5, 40});
  graphSettings.ratio = 2.0;
  graphSettings.baseline = 30;
  Rendered r = Render();
  const std::vector<std::string> drawn = Centres(r.image, Primitive::Ellipse);
  ASSERT_EQ(drawn.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const PointCentre centre = PointCentreOf(graphSettings, graphData, i);
    EXPECT_EQ(std::to_string(centre.x) + "," + std::to_string(centre.y), drawn[i]) << i;
  }
}

TEST_F(GraphRendererTest, FarPointsAreCutKeepingTheSlope) {
  Load({0, 1e9, 0});
  graphSettings.ratio = 1.0;
  Rendered r = Render();
  // The middle point lies a billion pixels above the image: the line to it
  // and back is drawn as two pieces that end far outside the image.
  const std::vector<Primitive> pieces = r.image.Of(Primitive::Lines);
  ASSERT_EQ(pieces.size(), 2u);
  const SurfacePoint up = pieces[0].points[1];
  EXPECT_EQ(pieces[0].points[0].x, 10.0f);
  EXPECT_EQ(up.y, -65536.0f);
  // On the segment from (10, 190) to (30, 190 - 1e9).
  EXPECT_NEAR(up.x, 10.0 + 20.0 * (190.0 + 65536.0) / 1e9, 1e-3);
  EXPECT_EQ(pieces[1].points[1].x, 50.0f);
  EXPECT_EQ(r.image.Of(Primitive::Ellipse).size(), 2u);
}

}  // namespace
