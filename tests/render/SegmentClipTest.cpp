#include <gtest/gtest.h>

#include "render/SegmentClip.h"

namespace {

constexpr ClipRect kBox = {0, 0, 100, 50};

struct ClipCase {
  Segment in;
  bool kept;
  Segment out;
};

TEST(SegmentClipTest, CutsToTheRectangleKeepingTheSlope) {
  const ClipCase cases[] = {
      {{10, 10, 90, 40}, true, {10, 10, 90, 40}},         // inside: untouched
      {{-100, 25, 200, 25}, true, {0, 25, 100, 25}},      // through, horizontal
      {{50, -1e12, 50, 1e12}, true, {50, 0, 50, 50}},     // through, vertical
      {{-50, -25, 50, 25}, true, {0, 0, 50, 25}},         // enters at a corner
      {{50, 25, 250, 125}, true, {50, 25, 100, 50}},      // leaves at a corner
      {{0, 0, 100, 0}, true, {0, 0, 100, 0}},             // along an edge
      {{-10, -10, -1, 60}, false, {}},                    // beside it
      {{101, 0, 200, 50}, false, {}},
      {{-60, 10, 10, 80}, false, {}},                     // passes a corner
      {{5, 5, 5, 5}, true, {5, 5, 5, 5}},                 // a point inside
      {{5, 55, 5, 55}, false, {}},                        // a point outside
  };
  for (const ClipCase& c : cases) {
    Segment s = c.in;
    ASSERT_EQ(ClipSegment(kBox, s), c.kept) << c.in.x1 << "," << c.in.y1 << " " << c.in.x2 << "," << c.in.y2;
    if (!c.kept) continue;
    EXPECT_DOUBLE_EQ(s.x1, c.out.x1);
    EXPECT_DOUBLE_EQ(s.y1, c.out.y1);
    EXPECT_DOUBLE_EQ(s.x2, c.out.x2);
    EXPECT_DOUBLE_EQ(s.y2, c.out.y2);
  }
}

}  // namespace
