#include "render/DashPattern.h"

namespace {

struct Pattern {
  int count;
  double units[kMaxDashLengths];
};

constexpr Pattern kPatterns[kLineStyleCount] = {
    {0, {}},                             // solid
    {2, {3, 1}},                         // dash
    {2, {1, 1}},                         // dot
    {4, {3, 1, 1, 1}},                   // dash-dot
    {kMaxDashLengths, {3, 1, 1, 1, 1, 1}},  // dash-dot-dot
};

}  // namespace

int DashLengths(const PenSpec& pen, double lengths[kMaxDashLengths]) {
  const int style = static_cast<int>(pen.dash);
  if (style < 0 || style >= kLineStyleCount) return 0;
  const Pattern& pattern = kPatterns[style];
  const double capAllowance = RoundDashEnds(pen) ? 1.0 : 0.0;
  for (int i = 0; i < pattern.count; ++i) {
    const double units = pattern.units[i] + (i % 2 == 0 ? -capAllowance : capAllowance);
    lengths[i] = units * pen.width;
  }
  return pattern.count;
}
