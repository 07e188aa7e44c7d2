#pragma once
#include "render/DrawingSurface.h"

constexpr int kMaxDashLengths = 6;

// The dash and gap lengths of `pen` in pixels, as GDI+ lays them out (in
// units of the pen's width: dash 3 1, dot 1 1, dash-dot 3 1 1 1, dash-dot-dot
// 3 1 1 1 1 1), for libraries whose round caps stick out half a width beyond
// each dash: there every dash is one width shorter and every gap one width
// longer, so the ink covers what GDI+ covers. Returns how many; 0 is solid.
int DashLengths(const PenSpec& pen, double lengths[kMaxDashLengths]);

// Whether the ends of the dashes are round (solid lines keep flat ends, as
// GDI+ puts its dash caps on dashes only).
inline bool RoundDashEnds(const PenSpec& pen) {
  return pen.roundCapsAndJoins && pen.dash != DashStyle::Solid;
}
