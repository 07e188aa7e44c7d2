// Prints the median time of one paint's work and of one PNG save at the
// image sizes the program meets: a typical graph, the largest the width and
// height fields offer, and 512 points at the default interval.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/gdiplus/OffscreenImage.h"
#include "tests/support/ResetGraphModel.h"

namespace {

constexpr int kRounds = 15;

struct Size {
  int width;
  int height;
};

// 512 values of a wave, fitted between the margins as the automatic ratio
// would, with Y ticks and a dashed line: everything a paint can have.
void SetUpGraph(Size size) {
  ResetGraphModel();
  GraphSettings& s = graphSettings;
  GraphData& d = graphData;
  d.count = kMaxPoints;
  for (int i = 0; i < kMaxPoints; ++i) d.values[i] = std::sin(i / 8.0);
  d.minValue = -1.0;
  d.maxValue = 1.0;
  s.imageWidth = size.width;
  s.imageHeight = size.height;
  s.pointInterval = std::max(1, (size.width - s.leftMargin) / kMaxPoints);
  s.ratio = (size.height - 2.0 * s.verticalMargin) / 2.0;
  s.baseline = s.verticalMargin + static_cast<int>(s.ratio);
  s.yTickUnit = 0.1;
  s.lineStyle = 1;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

template <typename Work>
double MedianMilliseconds(Work work) {
  work();  // the first run pays for loading and first use
  std::vector<double> times;
  for (int i = 0; i < kRounds; ++i) {
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    times.push_back(Milliseconds(start, end));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A window-sized device context for the blend of the image onto the window.
class ScreenCanvas {
 public:
  ScreenCanvas(int width, int height) {
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~ScreenCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  ScreenCanvas(const ScreenCanvas&) = delete;
  ScreenCanvas& operator=(const ScreenCanvas&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

}  // namespace

int main() {
  StartGdiplus();
  const Size sizes[] = {{640, 200}, {1280, 1280}, {10250, 200}};
  std::printf("median of %d runs, milliseconds\n", kRounds);
  std::printf("%-12s %10s %14s %10s\n", "image", "render", "render+blend", "save png");
  for (Size size : sizes) {
    SetUpGraph(size);
    // Without a window context only the image's work remains: create the
    // 32-bit image, render 512 points into it, dispose of it.
    const double render = MedianMilliseconds([] {
      PaintOffscreenImage(nullptr);
      DeleteOffscreenImage();
    });
    ScreenCanvas window(std::min(size.width, 1280), std::min(size.height, 1024));
    const double paint = MedianMilliseconds([&] {
      PaintOffscreenImage(window.dc());
      DeleteOffscreenImage();
    });
    PaintOffscreenImage(window.dc());
    const double save = MedianMilliseconds([] { SavePng("render_bench.png"); });
    DeleteOffscreenImage();
    DeleteFileA("render_bench.png");
    char name[32];
    std::snprintf(name, sizeof name, "%dx%d", size.width, size.height);
    std::printf("%-12s %10.1f %14.1f %10.1f\n", name, render, paint, save);
  }
  ShutdownGdiplus();
  return 0;
}
