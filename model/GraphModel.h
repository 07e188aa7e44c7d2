#pragma once
#include <cstdint>

// The one graph state of the process: the user's settings, the loaded values
// and the scroll position the renderer draws with. Platform-free on purpose:
// the renderer and its tests use it without windows.h.

using Colorref = uint32_t;  // 0x00BBGGRR, as the settings and the colour chooser keep it
using Argb = uint32_t;      // 0xAARRGGBB, as drawing takes it

constexpr int kMaxPoints = 512;

// lineStyle: the GDI+ DashStyle values.
enum LineStyle : int { SolidLine = 0, DashLine = 1, DotLine = 2, DashDotLine = 3, DashDotDotLine = 4 };
constexpr int kLineStyleCount = DashDotDotLine + 1;

enum DisplayMode : int { GraphOnly = 0, AxesOnly = 1, GraphAndAxes = 2 };
enum PointKind : int { Circle = 0, Square = 1 };

enum ColorSlot : int { kBackgroundSlot = 0, kLineSlot = 1 };

// The settings the tool dialog edits start where their rows in
// model/SettingsTable say (StartSettings); a bare GraphSettings is all zero.
struct GraphSettings {
  Colorref colors[2] = {};  // kBackgroundSlot, kLineSlot
  int leftMargin = 0;
  int verticalMargin = 0;
  bool transparent = false;
  int imageWidth = 0;
  int imageHeight = 0;
  int lineWidth = 0;
  int pointSize = 0;
  int pointInterval = 0;
  int tickLength = 5;
  int xTickInterval = 0;
  DisplayMode displayMode = GraphOnly;
  double ratio = 0.0;
  double yTickUnit = 0.0;
  bool autoRatio = false;
  PointKind pointKind = Circle;
  int lineStyle = SolidLine;  // below kLineStyleCount
  int baseline = 0;   // set from verticalMargin before the program starts
  Colorref customColors[16] = {0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
                               0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
                               0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF,
                               0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF, 0x00FFFFFF};

  Colorref& backgroundColor() { return colors[kBackgroundSlot]; }
  Colorref& lineColor() { return colors[kLineSlot]; }
};

struct GraphData {
  double values[kMaxPoints] = {};
  int count = 0;
  double minValue = 0.0;
  double maxValue = 0.0;
};

struct ViewOffset {
  int scrollX = 0;
  int scrollY = 0;
};

extern GraphSettings graphSettings;
extern GraphData graphData;
extern ViewOffset viewOffset;

// Always fully opaque: the settings have no alpha of their own.
constexpr Argb ToArgb(Colorref c) {
  return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The settings a fresh start has.
GraphSettings StartSettings();

// One more value read, the range kept up to date; `d` has room for it.
void AppendValue(GraphData& d, double v);
