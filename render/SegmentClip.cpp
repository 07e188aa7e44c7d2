#include "render/SegmentClip.h"

bool ClipSegment(const ClipRect& rect, Segment& segment) {
  const Segment s = segment;
  const double dx = s.x2 - s.x1;
  const double dy = s.y2 - s.y1;
  // Liang-Barsky: each edge bounds the parameter range [enter, leave] of the
  // part of the segment on its inner side.
  const double direction[4] = {-dx, dx, -dy, dy};
  const double room[4] = {s.x1 - rect.left, rect.right - s.x1, s.y1 - rect.top,
                          rect.bottom - s.y1};
  double enter = 0.0;
  double leave = 1.0;
  for (int edge = 0; edge < 4; ++edge) {
    if (direction[edge] == 0.0) {
      if (room[edge] < 0.0) return false;
      continue;
    }
    const double t = room[edge] / direction[edge];
    if (direction[edge] < 0.0) {
      if (t > leave) return false;
      if (t > enter) enter = t;
    } else {
      if (t < enter) return false;
      if (t < leave) leave = t;
    }
  }
  if (enter > 0.0) {
    segment.x1 = s.x1 + enter * dx;
    segment.y1 = s.y1 + enter * dy;
  }
  if (leave < 1.0) {
    segment.x2 = s.x1 + leave * dx;
    segment.y2 = s.y1 + leave * dy;
  }
  return true;
}
