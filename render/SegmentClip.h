#pragma once

// Geometry far outside the image is cut at a rectangle around it before it
// reaches the rasteriser: a point a billion pixels away must cost no more to
// draw than one at the edge, and must not overflow the rasteriser's range.

struct ClipRect {
  double left;
  double top;
  double right;
  double bottom;
};

struct Segment {
  double x1;
  double y1;
  double x2;
  double y2;
};

// Cuts the segment to the part inside the rectangle (edges included), keeping
// its slope; an end already inside is left bit for bit as it was. False when
// nothing of the segment lies inside.
bool ClipSegment(const ClipRect& rect, Segment& segment);
