// The native exporter's picture: the graph on a Cairo image, encoded by
// libpng. Cairo's own writer takes twice as long for a wide graph and drops
// the alpha channel of an opaque image, which Save As always keeps.
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/PngRenderer.h"
#include "render/cairo/CairoSurface.h"

namespace {

// A graph's rows are long runs of one colour. Each byte minus the one a
// pixel before turns any such run into zeros, and run-length matching finds
// those at a fraction of the cost of a full search (measured on a 10250 x 200
// graph: half the time of zlib's default, a somewhat larger file).
constexpr int kFilters = PNG_FILTER_SUB;
constexpr int kStrategy = Z_RLE;

class PngWriteStruct {
 public:
  PngWriteStruct()
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr)),
        info_(png_ ? png_create_info_struct(png_) : nullptr) {}
  ~PngWriteStruct() { png_destroy_write_struct(&png_, &info_); }
  PngWriteStruct(const PngWriteStruct&) = delete;
  PngWriteStruct& operator=(const PngWriteStruct&) = delete;
  bool valid() const { return info_ != nullptr; }
  png_structp png() const { return png_; }
  png_infop info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
}

void Flush(png_structp) {}

// Cairo keeps premultiplied 0xAARRGGBB words; PNG wants R, G, B, A bytes.
void UnpremultiplyRow(const uint32_t* pixels, int width, png_byte* row) {
  for (int x = 0; x < width; ++x, row += 4) {
    const uint32_t p = pixels[x];
    const uint32_t a = p >> 24;
    uint32_t rgb[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
    if (a != 0xFF && a != 0) {
      for (uint32_t& c : rgb) c = (c * 255 + a / 2) / a;
    }
    row[0] = static_cast<png_byte>(rgb[0]);
    row[1] = static_cast<png_byte>(rgb[1]);
    row[2] = static_cast<png_byte>(rgb[2]);
    row[3] = static_cast<png_byte>(a);
  }
}

// libpng reports a failure by a long jump back here: nothing in this frame
// may need a destructor.
bool WriteRows(const PngWriteStruct& writer, cairo_surface_t* image, png_byte* row) {
  png_structp png = writer.png();
  if (setjmp(png_jmpbuf(png))) return false;
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  png_set_IHDR(png, writer.info(), width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, kFilters);
  png_set_compression_strategy(png, kStrategy);
  png_write_info(png, writer.info());
  for (int y = 0; y < height; ++y) {
    UnpremultiplyRow(reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride), width, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

bool EncodePng(cairo_surface_t* image, std::string& png) {
  cairo_surface_flush(image);
  PngWriteStruct writer;
  if (!writer.valid()) return false;
  std::vector<png_byte> row(static_cast<size_t>(cairo_image_surface_get_width(image)) * 4);
  png.clear();
  png_set_write_fn(writer.png(), &png, Append, Flush);
  return WriteRows(writer, image, row.data());
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
  if (!EncodePng(image.get(), png)) {
    reason = "the PNG encoder failed";
    return false;
  }
  return true;
}
