// The native exporter's picture: the graph on a Cairo image, written by
// Cairo's own PNG encoder.
#include <string>

#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/PngRenderer.h"
#include "render/cairo/CairoSurface.h"

namespace {

cairo_status_t Append(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

}  // namespace

void StartPngRenderer() {}
void StopPngRenderer() {}

bool RenderPng(std::string& png, std::string& reason) {
  const GraphSettings& s = graphSettings;
  CairoImage image(s.imageWidth, s.imageHeight);
  if (s.imageWidth < 1 || s.imageHeight < 1 || !image.valid()) {
    reason = "cannot make an image of " + std::to_string(s.imageWidth) + " x " +
             std::to_string(s.imageHeight) + " pixels";
    return false;
  }
  {
    CairoContext context(image.get());
    CairoSurface surface(context.get());
    RenderImage(surface);
  }
  png.clear();
  if (cairo_surface_write_to_png_stream(image.get(), Append, &png) != CAIRO_STATUS_SUCCESS) {
    reason = "the PNG encoder failed";
    return false;
  }
  return true;
}
