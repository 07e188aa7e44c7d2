// Prints where one native export of the benchmark's graph spends its time:
// median milliseconds of each phase, on one thread. `make bench` runs it
// (tools/export-bench.sh) beside the side-by-side with gnuplot.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "export/OutputFile.h"
#include "model/DataFileReader.h"
#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/cairo/CairoSurface.h"
#include "render/cairo/PngBands.h"

namespace {

constexpr int kRounds = 15;

template <typename Work>
double MedianMilliseconds(Work work) {
  work();  // the first run pays for first use
  std::vector<double> times;
  for (int i = 0; i < kRounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[kRounds / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: export_bench DATA OUTPUT.png\n");
    return 2;
  }
  const char* data = argv[1];
  const std::string output = argv[2];
  GraphSettings settings = StartSettings();
  GraphData values;
  const double read = MedianMilliseconds([&] {
    settings = StartSettings();
    char ratioText[kRatioTextSize];
    if (ReadDataFile(data, values)) FitToLoad(settings, values, ratioText);
  });
  CairoImage image(settings.imageWidth, settings.imageHeight);
  const double draw = MedianMilliseconds([&] {
    CairoContext context(image.get());
    CairoSurface surface(context.get());
    RenderImage(settings, values, surface);
  });
  cairo_surface_flush(image.get());
  PngBands bands({cairo_image_surface_get_data(image.get()), cairo_image_surface_get_width(image.get()),
                  cairo_image_surface_get_height(image.get()), cairo_image_surface_get_stride(image.get())},
                 false);
  std::vector<std::vector<unsigned char>> rows(bands.Count());
  const double prepare = MedianMilliseconds([&] {
    for (int band = 0; band < bands.Count(); ++band) bands.PrepareRows(band, rows[band]);
  });
  const double compress = MedianMilliseconds([&] {
    for (int band = 0; band < bands.Count(); ++band) bands.Compress(band, rows[band]);
  });
  std::string png;
  std::string reason;
  const double join = MedianMilliseconds([&] { bands.Join(png, reason); });
  const double write = MedianMilliseconds([&] { WriteWholeFile(output, png, reason); });

  std::printf("one native export, phase by phase on one thread (%d x %d, %d bands; median ms)\n",
              settings.imageWidth, settings.imageHeight, bands.Count());
  const struct {
    const char* name;
    double ms;
  } phases[] = {{"read the data", read},    {"draw (Cairo)", draw}, {"prepare rows", prepare},
                {"compress rows", compress}, {"join the PNG", join}, {"write and sync", write}};
  for (const auto& phase : phases) std::printf("  %-32s %9.2f\n", phase.name, phase.ms);
  return 0;
}
