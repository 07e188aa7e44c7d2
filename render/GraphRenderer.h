#pragma once
#include "model/GraphModel.h"
#include "render/DrawingSurface.h"

// Draws the graph of graphSettings, graphData and viewOffset from scratch.
// `window` receives only the frame that marks a transparent image on screen;
// `image` is the offscreen image, already clipped to its own size. n is the
// number of points to draw; whatever the caller passes, no more than the
// loaded values (and never more than kMaxPoints) are drawn.

void RenderGraph(DrawingSurface& window, DrawingSurface& image, int n);
void DrawBackground(DrawingSurface& window, DrawingSurface& image);
void DrawAxes(DrawingSurface& image, int n);
void DrawPlot(DrawingSurface& image, Argb color, int n);

// The n of a paint: the loaded points that fit the image width at the point
// interval. An interval or a width of 0 or less shows no points.
int VisiblePointCount();

// The graph as the offscreen image holds it, with no window around it: what
// a picture file gets. The frame of a transparent image is not part of it.
void RenderImage(DrawingSurface& image);
