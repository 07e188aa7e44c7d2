// The offscreen image and the paint that draws it.
#include "render/gdiplus/OffscreenImage.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "model/GraphModel.h"
#include "render/GraphRenderer.h"
#include "render/gdiplus/GdiplusHandles.h"
#include "render/gdiplus/GdiplusSurface.h"

namespace {

// The start-up input is filled before the program's entry point runs:
// version 1, no debug callback, GDI+'s own background thread, external codecs.
const Gdiplus::GdiplusStartupInput gdiplusStartupInput;
ULONG_PTR gdiplusToken = 0;

constexpr Gdiplus::PixelFormat kImageFormat = PixelFormat32bppARGB;

}  // namespace

// The offscreen image: one GDI+ bitmap, the object itself in GDI+'s memory.
//
// Its pixels live in memory handed from each image to the next. A bitmap
// that allocates its own pixels gets fresh pages from the system at every
// paint, and under Wine the first touch of each page costs more than
// drawing the whole graph; kept memory, cleared here, is already in place
// and is as transparent as a new bitmap. Only one image exists at a time:
// the paint takes the previous one's memory and deletes it before it makes
// the next, and the last one's memory goes with it.
class OffscreenImage : public StatusKeeper {
 public:
  struct Pixels {
    std::unique_ptr<BYTE[]> bytes;
    size_t capacity = 0;
  };

  static void* operator new(size_t size) noexcept { return gdip::GdipAlloc(size); }
  static void operator delete(void* memory) { gdip::GdipFree(memory); }

  OffscreenImage(int width, int height, Pixels kept) : store_(std::move(kept)) {
    BYTE* pixels = ClearedPixels(width, height, store_);
    stride_ = pixels ? width * 4 : 0;
    Keep(gdip::GdipCreateBitmapFromScan0(width, height, stride_, kImageFormat, pixels, &handle_));
  }
  ~OffscreenImage() { Dispose(); }
  OffscreenImage(const OffscreenImage&) = delete;
  OffscreenImage& operator=(const OffscreenImage&) = delete;
  Gdiplus::GpImage* get() const { return handle_; }

  // A second bitmap over the same pixels showing only `part`, or null when
  // GDI+ owns the pixels. Wine converts the whole source of every draw, so
  // blending this view instead of the image costs the visible area only.
  Gdiplus::GpBitmap* NewView(const RECT& part) const {
    if (!stride_ || !handle_) return nullptr;
    Gdiplus::GpBitmap* view = nullptr;
    BYTE* first = store_.bytes.get() + static_cast<size_t>(part.top) * stride_ + static_cast<size_t>(part.left) * 4;
    gdip::GdipCreateBitmapFromScan0(part.right - part.left, part.bottom - part.top, stride_, kImageFormat,
                                    first, &view);
    return view;
  }

  // The memory for the next image, the bitmap over it gone first.
  Pixels TakePixels() {
    Dispose();
    return std::move(store_);
  }

 private:
  void Dispose() {
    if (handle_) gdip::GdipDisposeImage(handle_);
    handle_ = nullptr;
  }

  // Null when there is nothing to allocate or no memory: GDI+ then tries on its own.
  static BYTE* ClearedPixels(int width, int height, Pixels& store) {
    if (width <= 0 || height <= 0) return nullptr;
    // Beyond this GDI+ is left to fail on its own; the product would also
    // overflow a 32-bit size_t and the int stride.
    constexpr uint64_t kMaxKeptBytes = uint64_t{1} << 30;
    const uint64_t wanted = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
    if (wanted > kMaxKeptBytes) return nullptr;
    const size_t bytes = static_cast<size_t>(wanted);
    // A much smaller image gives back what a larger one took.
    if (bytes > store.capacity || bytes < store.capacity / 4) {
      store.bytes.reset(new (std::nothrow) BYTE[bytes]);
      store.capacity = store.bytes ? bytes : 0;
      if (!store.bytes) return nullptr;
    }
    std::memset(store.bytes.get(), 0, bytes);
    return store.bytes.get();
  }

  Pixels store_;
  INT stride_ = 0;
  Gdiplus::GpBitmap* handle_ = nullptr;
};

std::unique_ptr<OffscreenImage> offscreenImage;

Gdiplus::GpImage* OffscreenImageHandle() { return offscreenImage ? offscreenImage->get() : nullptr; }

void StartGdiplus() {
  if (gdiplusToken == 0) Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusStartupInput, nullptr);
}

void ShutdownGdiplus() {
  if (gdiplusToken == 0) return;
  Gdiplus::GdiplusShutdown(gdiplusToken);
  gdiplusToken = 0;
}

void DeleteOffscreenImage() { offscreenImage.reset(); }

void PaintOffscreenImage(HDC windowDc) {
  const GraphSettings& s = graphSettings;
  OffscreenImage::Pixels kept = offscreenImage ? offscreenImage->TakePixels() : OffscreenImage::Pixels();
  DeleteOffscreenImage();
  offscreenImage.reset(new OffscreenImage(s.imageWidth, s.imageHeight, std::move(kept)));
  Gdiplus::GpImage* image = offscreenImage ? offscreenImage->get() : nullptr;

  // Declared in this order so that the image context is released first.
  GraphicsContext windowContext(windowDc);
  GraphicsContext imageContext(image);
  // A context on an image draws nothing outside the image, so it gets no
  // clip rectangle of that same size: Wine's GDI+ would intersect it with
  // every shape, which makes each tick mark ten times dearer.
  const int n = VisiblePointCount();
  RECT visible;
  const bool clipped = windowDc && GetClipBox(windowDc, &visible) != ERROR;
  {
    GdiplusSurface windowSurface(windowContext, false, clipped ? &visible : nullptr);
    GdiplusSurface imageSurface(imageContext, true);
    RenderGraph(windowSurface, imageSurface, n);
  }
  if (!windowContext.valid() || !image || !clipped) return;
  // Only the part the paint can change is blended: the same pixels on screen,
  // but Wine converts the whole source of a draw, which for a wide graph costs
  // far more than rendering it.
  RECT part;
  const RECT whole = {0, 0, s.imageWidth, s.imageHeight};
  if (!IntersectRect(&part, &visible, &whole)) return;
  const int width = part.right - part.left;
  const int height = part.bottom - part.top;
  if (Gdiplus::GpBitmap* view = offscreenImage->NewView(part)) {
    windowContext.Call(gdip::GdipDrawImageRectI(windowContext.get(), view, part.left, part.top, width, height));
    gdip::GdipDisposeImage(view);
    return;
  }
  windowContext.Call(gdip::GdipDrawImageRectRectI(windowContext.get(), image, part.left, part.top, width,
                                                  height, part.left, part.top, width, height,
                                                  Gdiplus::UnitPixel, nullptr, nullptr, nullptr));
}
