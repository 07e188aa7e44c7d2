// The native exporter's picture: the graph on a Cairo image, encoded by
// libpng. Cairo's own writer takes twice as long for a wide graph and drops
// the alpha channel of an opaque image, which Save As always keeps.
#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/PngRenderer.h"
#include "render/cairo/CairoSurface.h"

namespace {

// A graph's rows are long runs of the background, which run-length matching
// finds at a fraction of the cost of a full search (on a 10250 x 200 graph:
// half the time of zlib's default for a somewhat larger file). It matches
// runs of one byte: a transparent or white background is one already; for any
// other colour each byte minus the one a pixel before makes it one.
constexpr int kStrategy = Z_RLE;

int RowFilter(const GraphSettings& s) {
  const Argb background = s.transparent ? 0u : ToArgb(s.colors[kBackgroundSlot]);
  const uint32_t alpha = background >> 24;
  const bool oneByte = background == (alpha * 0x01010101u);
  return oneByte ? PNG_FILTER_NONE : PNG_FILTER_SUB;
}

// What libpng said: its first error or warning. A fixed buffer, because the
// handlers run inside libpng, where nothing may throw.
struct PngComplaint {
  char text[160] = "";
  void Keep(png_const_charp message) {
    if (text[0] == '\0') std::snprintf(text, sizeof text, "%s", message ? message : "unknown failure");
  }
};

// Every error and warning becomes the file's one line instead of libpng's
// own line on standard error. An error jumps back to WriteRows.
void OnError(png_structp png, png_const_charp message) {
  static_cast<PngComplaint*>(png_get_error_ptr(png))->Keep(message);
  png_longjmp(png, 1);
}

// A warning means the file may not be what was asked for: it fails the file.
void OnWarning(png_structp png, png_const_charp message) {
  static_cast<PngComplaint*>(png_get_error_ptr(png))->Keep(message);
}

class PngWriteStruct {
 public:
  explicit PngWriteStruct(PngComplaint& complaint)
      : png_(png_create_write_struct(PNG_LIBPNG_VER_STRING, &complaint, OnError, OnWarning)),
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

// Called from inside libpng: an exception must not unwind its C frames, so a
// full memory becomes libpng's own error, once the catch is left.
void Append(png_structp png, png_bytep data, png_size_t length) {
  bool appended = false;
  try {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<const char*>(data), length);
    appended = true;
  } catch (const std::bad_alloc&) {
  }
  if (!appended) png_error(png, "out of memory");
}

void Flush(png_structp) {}

// Cairo keeps premultiplied 0xAARRGGBB words; PNG wants R, G, B, A bytes.
// Most pixels of a graph are wholly transparent or wholly opaque.
void UnpremultiplyRow(const uint32_t* pixels, int width, png_byte* row) {
  for (int x = 0; x < width; ++x, row += 4) {
    const uint32_t p = pixels[x];
    const uint32_t a = p >> 24;
    uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (a != 0xFF && a != 0) {
      r = (r * 255 + a / 2) / a;
      g = (g * 255 + a / 2) / a;
      b = (b * 255 + a / 2) / a;
    }
    row[0] = static_cast<png_byte>(r);
    row[1] = static_cast<png_byte>(g);
    row[2] = static_cast<png_byte>(b);
    row[3] = static_cast<png_byte>(a);
  }
}

// libpng reports a failure by a long jump back here: nothing in this frame
// may need a destructor.
bool WriteRows(const PngWriteStruct& writer, cairo_surface_t* image, int filter, png_byte* row) {
  png_structp png = writer.png();
  if (setjmp(png_jmpbuf(png))) return false;
  const int width = cairo_image_surface_get_width(image);
  const int height = cairo_image_surface_get_height(image);
  const int stride = cairo_image_surface_get_stride(image);
  const unsigned char* data = cairo_image_surface_get_data(image);
  png_set_IHDR(png, writer.info(), width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, filter);
  png_set_compression_strategy(png, kStrategy);
  png_write_info(png, writer.info());
  for (int y = 0; y < height; ++y) {
    UnpremultiplyRow(reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride), width, row);
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

bool EncodePng(cairo_surface_t* image, int filter, std::string& png, std::string& reason) {
  cairo_surface_flush(image);
  PngComplaint complaint;
  PngWriteStruct writer(complaint);
  if (!writer.valid()) {
    reason = "the PNG encoder cannot start";
    return false;
  }
  std::vector<png_byte> row(static_cast<size_t>(cairo_image_surface_get_width(image)) * 4);
  png.clear();
  png_set_write_fn(writer.png(), &png, Append, Flush);
  if (WriteRows(writer, image, filter, row.data()) && complaint.text[0] == '\0') return true;
  reason = std::string("the PNG encoder failed: ") + complaint.text;
  return false;
}

}  // namespace

void StartPngRenderer() {}
void StopPngRenderer() {}

bool RenderPng(const GraphSettings& s, const GraphData& d, std::string& png, std::string& reason) {
  CairoImage image(s.imageWidth, s.imageHeight);
  if (!image.valid()) return false;
  {
    CairoContext context(image.get());
    CairoSurface surface(context.get());
    RenderImage(s, d, surface);
    // A context in an error state has stopped drawing: the picture would be
    // blank or half drawn.
    if (cairo_status(context.get()) != CAIRO_STATUS_SUCCESS) {
      reason = std::string("Cairo: ") + cairo_status_to_string(cairo_status(context.get()));
      return false;
    }
  }
  return EncodePng(image.get(), RowFilter(s), png, reason);
}
