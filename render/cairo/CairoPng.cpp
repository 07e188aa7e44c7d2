// The native exporter's picture: the graph on a Cairo image, its rows
// compressed in bands (PngBands). Cairo's own writer takes twice as long for
// a wide graph and drops the alpha channel of an opaque image, which Save As
// always keeps.
#include <climits>
#include <cstdint>
#include <memory>
#include <string>

#include "model/GraphModel.h"
#include "model/GraphSnippet.h"
#include "render/DarkInk.h"
#include "render/PngRenderer.h"
#include "render/cairo/CairoSurface.h"
#include "render/cairo/PngBands.h"

namespace {

// The Sub filter only where the background is not one byte repeated already
// (transparent, white, black, grey): there it would cost time for nothing.
bool NeedsSubFilter(const GraphSettings& s) {
  const Argb background = s.transparent ? 0u : ToArgb(s.colors[kBackgroundSlot]);
  const uint32_t alpha = background >> 24;
  return background != alpha * 0x01010101u;
}

PremultipliedImage View(cairo_surface_t* image) {
  cairo_surface_flush(image);
  return {cairo_image_surface_get_data(image), cairo_image_surface_get_width(image),
          cairo_image_surface_get_height(image), cairo_image_surface_get_stride(image)};
}

class CairoDraft final : public PngDraft {
 public:
  CairoDraft(std::unique_ptr<CairoImage> image, bool subFilter)
      : image_(std::move(image)), bands_(View(image_->get()), subFilter) {}
  int Parts() const override { return bands_.Count(); }
  void EncodePart(int part) override { bands_.Encode(part); }
  bool Finish(std::string& png, std::string& reason) override { return bands_.Join(png, reason); }

 private:
  std::unique_ptr<CairoImage> image_;
  PngBands bands_;
};

}  // namespace

const bool kPngDrawnOnAnyThread = true;
const int kPngScaleMax = kPictureScaleMax;

void StartPngRenderer() {}
void StopPngRenderer() {}

std::unique_ptr<PngDraft> DrawPng(const GraphSettings& s, const GraphData& d, const PngLook& look,
                                  std::string& reason) {
  const int scale = look.scale;
  const int64_t width = int64_t{s.imageWidth} * scale;
  const int64_t height = int64_t{s.imageHeight} * scale;
  if (scale < 1 || scale > kPngScaleMax || width > INT_MAX || height > INT_MAX) return nullptr;
  auto image = std::make_unique<CairoImage>(static_cast<int>(width), static_cast<int>(height));
  if (!image->valid()) return nullptr;
  {
    CairoContext context(image->get());
    CairoSurface surface(context.get(), scale);
    RenderImageForScheme(s, d, look.dark, surface);
    // A context in an error state has stopped drawing: the picture would be
    // blank or half drawn.
    if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) {
      reason = std::string("Cairo: ") + cairo_status_to_string(cairo_status(context.get()));
      return nullptr;
    }
  }
  return std::make_unique<CairoDraft>(std::move(image), NeedsSubFilter(s));
}
