// The exporter's picture through the window's own code: the graph drawn on a
// GDI+ image as with no window, the same encoder and parameters as Save As.
#include "render/PngRenderer.h"

#include "model/GraphModel.h"
#include "render/DarkInk.h"
#include "render/gdiplus/GdiplusHandles.h"
#include "render/gdiplus/GdiplusSurface.h"
#include "render/gdiplus/OffscreenImage.h"

namespace {

// A fully transparent 32-bit image of the offscreen image's format, its
// pixels owned by GDI+.
class Bitmap : public StatusKeeper {
 public:
  Bitmap(int width, int height) {
    Keep(gdip::GdipCreateBitmapFromScan0(width, height, 0, PixelFormat32bppARGB, nullptr, &handle_));
  }
  ~Bitmap() {
    if (handle_) gdip::GdipDisposeImage(handle_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  Gdiplus::GpBitmap* get() const { return handle_; }

 private:
  Gdiplus::GpBitmap* handle_ = nullptr;
};

class GlobalStream {
 public:
  GlobalStream() { CreateStreamOnHGlobal(nullptr, TRUE, &stream_); }
  ~GlobalStream() {
    if (stream_) stream_->Release();
  }
  GlobalStream(const GlobalStream&) = delete;
  GlobalStream& operator=(const GlobalStream&) = delete;
  IStream* get() const { return stream_; }

  bool CopyTo(std::string& bytes) const {
    HGLOBAL memory = nullptr;
    STATSTG stat = {};
    if (!stream_ || FAILED(GetHGlobalFromStream(stream_, &memory)) ||
        FAILED(stream_->Stat(&stat, STATFLAG_NONAME))) {
      return false;
    }
    const void* data = GlobalLock(memory);
    if (!data) return false;
    bytes.assign(static_cast<const char*>(data), static_cast<size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    return true;
  }

 private:
  IStream* stream_ = nullptr;
};

// GDI+ draws and encodes in one step on the calling thread: the Windows
// exporter keeps to one core.
class EncodedPng final : public PngDraft {
 public:
  int Parts() const override { return 0; }
  void EncodePart(int) override {}
  bool Finish(std::string& png, std::string&) override {
    png.swap(bytes);
    return true;
  }
  std::string bytes;
};

}  // namespace

const bool kPngDrawnOnAnyThread = false;
// Drawn as the window draws its offscreen image, on its own pixel grid.
const int kPngScaleMax = 1;

void StartPngRenderer() { StartGdiplus(); }

void StopPngRenderer() { ShutdownGdiplus(); }

std::unique_ptr<PngDraft> DrawPng(const GraphSettings& s, const GraphData& d, const PngLook& look,
                                  std::string& reason) {
  if (look.scale != 1) return nullptr;
  Bitmap image(s.imageWidth, s.imageHeight);
  if (!image.get()) return nullptr;
  {
    GraphicsContext context(image.get());
    GdiplusSurface surface(context, true);
    RenderImageForScheme(s, d, look.dark, surface);
  }
  auto encoded = std::make_unique<EncodedPng>();
  GlobalStream stream;
  if (!SavePngToStream(image.get(), stream.get()) || !stream.CopyTo(encoded->bytes)) {
    reason = "the PNG encoder failed";
    return nullptr;
  }
  return encoded;
}
