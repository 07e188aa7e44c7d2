#pragma once
#include <cstdint>

#include "model/GraphModel.h"
#include "render/DrawingSurface.h"

// What one drawing shows: the settings, the values and where the view is
// scrolled to. The renderer reads nothing else.
struct GraphView {
  const GraphSettings& settings;
  const GraphData& data;
  ViewOffset offset;
};

// Draws the graph of `view` from scratch. `window` receives only the frame
// that marks a transparent image on screen; `image` is the offscreen image,
// already clipped to its own size. n is the number of points to draw;
// whatever the caller passes, no more than the loaded values (and never
// more than kMaxPoints) are drawn.
void DrawGraph(const GraphView& view, DrawingSurface& window, DrawingSurface& image, int n);
void DrawBackground(const GraphView& view, DrawingSurface& window, DrawingSurface& image);
void DrawAxes(const GraphView& view, DrawingSurface& image, int n);
void DrawPlot(const GraphView& view, DrawingSurface& image, Argb color, int n);

// The window's paint: the graph of graphSettings, graphData and viewOffset.
void RenderGraph(DrawingSurface& window, DrawingSurface& image, int n);

// The n of a paint: the loaded points that fit the image width at the point
// interval. An interval or a width of 0 or less shows no points.
int VisiblePointCount(const GraphSettings& s, const GraphData& d);
int VisiblePointCount();

// Of the first n points, how many a view whose right edge is image column
// `right` needs: every one whose marker, tick or line can reach the view,
// and the first beyond them, to which the line runs on. Passed as a paint's
// n, it leaves out only what could not be seen there.
int PointsReaching(const GraphSettings& s, int n, int64_t right);

// The drawn point (one of VisiblePointCount) whose marker is centred nearest
// to column x of the image, the first of two as near; -1 when none is drawn
// or x is not a number. For a reader pointing at the graph.
int NearestPoint(const GraphSettings& s, const GraphData& d, double x);

// Where point i's marker is centred in the image, never scrolled.
struct PointCentre {
  int64_t x;
  int64_t y;
};
PointCentre PointCentreOf(const GraphSettings& s, const GraphData& d, int i);

// The graph as the offscreen image holds it, with no window around it and
// never scrolled: what a picture file gets. The frame of a transparent image
// is not part of it.
void RenderImage(const GraphSettings& s, const GraphData& d, DrawingSurface& image);
