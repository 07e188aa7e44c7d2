// The program's one doorway to GDI+: thin owners of its handles, the drawing
// surface over a graphics context, the offscreen image, the paint's work and
// the PNG export.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

#include <gdiplus.h>

#include "model/GraphModel.h"
#include "render/DrawingSurface.h"
#include "render/GraphRenderer.h"
#include "render/OffscreenImage.h"
#include "shell/ShellState.h"

namespace gdip = Gdiplus::DllExports;
using Gdiplus::GpStatus;

// Every owner keeps the last status that was not Ok; nothing reads it in the
// program, but a debugger can tell from it which call failed.
class StatusKeeper {
 public:
  GpStatus lastStatus() const { return lastStatus_; }

 protected:
  GpStatus Keep(GpStatus status) {
    if (status != Gdiplus::Ok) lastStatus_ = status;
    return status;
  }

 private:
  GpStatus lastStatus_ = Gdiplus::Ok;
};

namespace {

// The start-up input is filled before the program's entry point runs:
// version 1, no debug callback, GDI+'s own background thread, external codecs.
const Gdiplus::GdiplusStartupInput gdiplusStartupInput;
ULONG_PTR gdiplusToken = 0;

constexpr Gdiplus::PixelFormat kImageFormat = PixelFormat32bppARGB;
constexpr GUID kEncoderColorDepth = {0x66087055, 0xAD66, 0x4C7C,
                                     {0x9A, 0x18, 0x38, 0xA2, 0x31, 0x0B, 0x83, 0x37}};
constexpr LONG kPngColorDepth = 32;

class Pen : public StatusKeeper {
 public:
  explicit Pen(const PenSpec& spec) {
    Keep(gdip::GdipCreatePen1(spec.color, spec.width, Gdiplus::UnitWorld, &handle_));
    Keep(gdip::GdipSetPenDashStyle(handle_, static_cast<Gdiplus::DashStyle>(spec.dash)));
    if (spec.roundCapsAndJoins) {
      Keep(gdip::GdipSetPenDashCap197819(handle_, Gdiplus::DashCapRound));
      Keep(gdip::GdipSetPenLineJoin(handle_, Gdiplus::LineJoinRound));
    }
  }
  ~Pen() {
    if (handle_) gdip::GdipDeletePen(handle_);
  }
  Pen(const Pen&) = delete;
  Pen& operator=(const Pen&) = delete;
  Gdiplus::GpPen* get() const { return handle_; }

 private:
  Gdiplus::GpPen* handle_ = nullptr;
};

class SolidBrush : public StatusKeeper {
 public:
  explicit SolidBrush(Argb color) { Keep(gdip::GdipCreateSolidFill(color, &handle_)); }
  ~SolidBrush() {
    if (handle_) gdip::GdipDeleteBrush(handle_);
  }
  SolidBrush(const SolidBrush&) = delete;
  SolidBrush& operator=(const SolidBrush&) = delete;
  Gdiplus::GpBrush* get() const { return handle_; }

 private:
  Gdiplus::GpSolidFill* handle_ = nullptr;
};

class GraphicsPath : public StatusKeeper {
 public:
  // Winding fill: overlapping figures fill their union, never a hole.
  GraphicsPath() { Keep(gdip::GdipCreatePath(Gdiplus::FillModeWinding, &handle_)); }
  ~GraphicsPath() {
    if (handle_) gdip::GdipDeletePath(handle_);
  }
  GraphicsPath(const GraphicsPath&) = delete;
  GraphicsPath& operator=(const GraphicsPath&) = delete;
  void AddEllipse(int x, int y, int width, int height) {
    Keep(gdip::GdipAddPathEllipseI(handle_, x, y, width, height));
  }
  void AddRectangle(int x, int y, int width, int height) {
    Keep(gdip::GdipAddPathRectangleI(handle_, x, y, width, height));
  }
  void Reset() { Keep(gdip::GdipResetPath(handle_)); }
  Gdiplus::GpPath* get() const { return handle_; }

 private:
  Gdiplus::GpPath* handle_ = nullptr;
};

class GraphicsContext : public StatusKeeper {
 public:
  explicit GraphicsContext(HDC dc) { Keep(gdip::GdipCreateFromHDC(dc, &handle_)); }
  explicit GraphicsContext(Gdiplus::GpImage* image) {
    Keep(image ? gdip::GdipGetImageGraphicsContext(image, &handle_) : Gdiplus::InvalidParameter);
  }
  ~GraphicsContext() {
    if (handle_) gdip::GdipDeleteGraphics(handle_);
  }
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;

  // A context that could not be made stays quiet: every call is a no-op.
  bool valid() const { return handle_ != nullptr; }
  GpStatus Call(GpStatus status) { return Keep(status); }
  Gdiplus::GpGraphics* get() const { return handle_; }

 private:
  Gdiplus::GpGraphics* handle_ = nullptr;
};

enum class Shape { Ellipse, Rectangle };

// One paint's drawing on one context. The pen and the brush are made when
// first needed and kept while the next call wants the same one: a paint draws
// hundreds of markers and ticks with one colour.
//
// Filled shapes are gathered and filled as one path while they share a
// colour and a kind and their joint bounding box stays small: Wine's GDI+
// pays a large fixed price per fill and a price per pixel of the fill's
// bounding box, so 512 markers cost a handful of fills. Any other drawing
// fills what is gathered first, so the order of the picture is kept. The
// markers are opaque and of one colour, so their union is what separate fills
// give (with anti-aliasing, the rim where two markers overlap is blended once
// instead of twice).
class GdiplusSurface final : public DrawingSurface {
 public:
  // A fresh 32-bit image is already fully transparent; clearing it to
  // transparent again would cost as much as filling it.
  // `visible` bounds what a paint can show on a window context; null for an image.
  GdiplusSurface(GraphicsContext& context, bool freshImage, const RECT* visible = nullptr)
      : context_(context), untouched_(freshImage), visible_(visible) {}
  ~GdiplusSurface() { FillGathered(); }
  GdiplusSurface(const GdiplusSurface&) = delete;
  GdiplusSurface& operator=(const GdiplusSurface&) = delete;

  void Clear(Argb color) override {
    FillGathered();
    if (untouched_ && color == 0x00000000u) return;
    Draw(gdip::GdipGraphicsClear(context_.get(), color));
  }
  void SetAntiAlias() override {
    if (context_.valid())
      context_.Call(gdip::GdipSetSmoothingMode(context_.get(), Gdiplus::SmoothingModeAntiAlias));
  }
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override {
    FillGathered();
    if (context_.valid()) Draw(gdip::GdipDrawLineI(context_.get(), PenFor(pen), x1, y1, x2, y2));
  }
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override {
    FillGathered();
    if (!context_.valid() || count < 2) return;
    Gdiplus::PointF vertices[kMaxPoints];
    count = std::min(count, kMaxPoints);
    for (int i = 0; i < count; ++i) vertices[i] = Gdiplus::PointF(points[i].x, points[i].y);
    Draw(gdip::GdipDrawLines(context_.get(), PenFor(pen), vertices, count));
  }
  // Drawn as its four sides, in the order a closed outline runs, and only
  // where the window can show them: Wine's GDI+ spends time on the whole area
  // a shape encloses and on every dash, so the dotted frame of a wide image
  // would cost far more than the graph. Cuts fall on whole dash periods, so
  // every visible dot stays where the closed outline puts it; only the phase
  // at the corners can differ.
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override {
    FillGathered();
    if (!context_.valid()) return;
    const int right = x + width;
    const int bottom = y + height;
    DrawSide(pen, x, y, right, y);
    DrawSide(pen, right, y, right, bottom);
    DrawSide(pen, right, bottom, x, bottom);
    DrawSide(pen, x, bottom, x, y);
  }
  void FillEllipse(Argb color, int x, int y, int width, int height) override {
    Gather(Shape::Ellipse, color, x, y, width, height);
  }
  void FillRectangle(Argb color, int x, int y, int width, int height) override {
    Gather(Shape::Rectangle, color, x, y, width, height);
  }

 private:
  // Every dash pattern of a 1-pixel pen repeats within 24 pixels (2, 4, 6 and 8).
  static constexpr int kDashPeriod = 24;

  // The stretch of [start, end] (either way round) within [low, high],
  // widened to whole dash periods counted from start.
  static bool CutToView(int start, int end, int low, int high, int& from, int& to) {
    const int step = start <= end ? 1 : -1;
    const int64_t ahead = step > 0 ? int64_t{low} - start : int64_t{start} - high;
    const int64_t skip = ahead > kDashPeriod ? (ahead / kDashPeriod - 1) * kDashPeriod : 0;
    from = static_cast<int>(start + step * skip);
    const int64_t stop = step > 0 ? std::min<int64_t>(end, int64_t{high} + kDashPeriod)
                                  : std::max<int64_t>(end, int64_t{low} - kDashPeriod);
    to = static_cast<int>(stop);
    return step > 0 ? from <= to : from >= to;
  }

  void DrawSide(const PenSpec& pen, int x1, int y1, int x2, int y2) {
    if (visible_) {
      const RECT& v = *visible_;
      if (y1 == y2) {
        if (y1 < v.top - 1 || y1 > v.bottom) return;
        if (!CutToView(x1, x2, v.left, v.right, x1, x2)) return;
      } else {
        if (x1 < v.left - 1 || x1 > v.right) return;
        if (!CutToView(y1, y2, v.top, v.bottom, y1, y2)) return;
      }
    }
    Draw(gdip::GdipDrawLineI(context_.get(), PenFor(pen), x1, y1, x2, y2));
  }

  // A box of 128 x 128 pixels keeps a batch's own pixel cost far below the
  // fixed cost of a fill it saves.
  static constexpr long long kGatherArea = 128 * 128;

  struct Box {
    long long left, top, right, bottom;
    long long Area() const { return (right - left) * (bottom - top); }
  };

  void Gather(Shape shape, Argb color, int x, int y, int width, int height) {
    if (!context_.valid() || width <= 0 || height <= 0) return;
    const Box box = {x, y, static_cast<long long>(x) + width, static_cast<long long>(y) + height};
    if (gathered_ > 0) {
      const Box joint = {std::min(box.left, box_.left), std::min(box.top, box_.top),
                         std::max(box.right, box_.right), std::max(box.bottom, box_.bottom)};
      if (shape != shape_ || color != gatheredColor_ || joint.Area() > kGatherArea) {
        FillGathered();
      } else {
        box_ = joint;
      }
    }
    if (gathered_ == 0) {
      if (!path_) path_ = std::make_unique<GraphicsPath>();
      shape_ = shape;
      gatheredColor_ = color;
      box_ = box;
    }
    if (shape == Shape::Ellipse) {
      path_->AddEllipse(x, y, width, height);
    } else {
      path_->AddRectangle(x, y, width, height);
    }
    ++gathered_;
  }
  void FillGathered() {
    if (gathered_ == 0) return;
    Draw(gdip::GdipFillPath(context_.get(), BrushFor(gatheredColor_), path_->get()));
    path_->Reset();
    gathered_ = 0;
  }
  void Draw(GpStatus status) {
    context_.Call(status);
    untouched_ = false;
  }
  Gdiplus::GpPen* PenFor(const PenSpec& spec) {
    if (!pen_ || !(penSpec_ == spec)) {
      pen_.reset();
      pen_ = std::make_unique<Pen>(spec);
      penSpec_ = spec;
    }
    return pen_->get();
  }
  Gdiplus::GpBrush* BrushFor(Argb color) {
    if (!brush_ || brushColor_ != color) {
      brush_.reset();
      brush_ = std::make_unique<SolidBrush>(color);
      brushColor_ = color;
    }
    return brush_->get();
  }

  GraphicsContext& context_;
  bool untouched_;
  const RECT* visible_;
  std::unique_ptr<Pen> pen_;
  PenSpec penSpec_ = {};
  std::unique_ptr<SolidBrush> brush_;
  Argb brushColor_ = 0;
  std::unique_ptr<GraphicsPath> path_;
  int gathered_ = 0;
  Shape shape_ = Shape::Ellipse;
  Argb gatheredColor_ = 0;
  Box box_ = {};
};

}  // namespace

// The offscreen image: one GDI+ bitmap, the object itself in GDI+'s memory.
//
// Its pixels live in memory kept from one paint to the next. A bitmap that
// allocates its own pixels gets fresh pages from the system at every paint,
// and under Wine the first touch of each page costs more than drawing the
// whole graph; kept memory, cleared here, is already in place and is as
// transparent as a new bitmap. Only one image exists at a time: the paint
// deletes the previous one before it makes the next.
class OffscreenImage : public StatusKeeper {
 public:
  static void* operator new(size_t size) noexcept { return gdip::GdipAlloc(size); }
  static void operator delete(void* memory) { gdip::GdipFree(memory); }

  OffscreenImage(int width, int height) : pixels_(ClearedPixels(width, height)), stride_(pixels_ ? width * 4 : 0) {
    Keep(gdip::GdipCreateBitmapFromScan0(width, height, stride_, kImageFormat, pixels_, &handle_));
  }
  ~OffscreenImage() {
    if (handle_) gdip::GdipDisposeImage(handle_);
  }
  OffscreenImage(const OffscreenImage&) = delete;
  OffscreenImage& operator=(const OffscreenImage&) = delete;
  Gdiplus::GpImage* get() const { return handle_; }

  // A second bitmap over the same pixels showing only `part`, or null when
  // GDI+ owns the pixels. Wine converts the whole source of every draw, so
  // blending this view instead of the image costs the visible area only.
  Gdiplus::GpBitmap* NewView(const RECT& part) const {
    if (!pixels_ || !handle_) return nullptr;
    Gdiplus::GpBitmap* view = nullptr;
    BYTE* first = pixels_ + static_cast<size_t>(part.top) * stride_ + static_cast<size_t>(part.left) * 4;
    gdip::GdipCreateBitmapFromScan0(part.right - part.left, part.bottom - part.top, stride_, kImageFormat,
                                    first, &view);
    return view;
  }

 private:
  // Null when there is nothing to allocate or no memory: GDI+ then tries on its own.
  static BYTE* ClearedPixels(int width, int height) {
    static std::unique_ptr<BYTE[]> store;
    static size_t capacity = 0;
    if (width <= 0 || height <= 0) return nullptr;
    // Beyond this GDI+ is left to fail on its own; the product would also
    // overflow a 32-bit size_t and the int stride.
    constexpr uint64_t kMaxKeptBytes = uint64_t{1} << 30;
    const uint64_t wanted = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
    if (wanted > kMaxKeptBytes) return nullptr;
    const size_t bytes = static_cast<size_t>(wanted);
    // A much smaller image gives back what a larger one took.
    if (bytes > capacity || bytes < capacity / 4) {
      store.reset(new (std::nothrow) BYTE[bytes]);
      capacity = store ? bytes : 0;
      if (!store) return nullptr;
    }
    std::memset(store.get(), 0, bytes);
    return store.get();
  }

  BYTE* pixels_;
  INT stride_;
  Gdiplus::GpBitmap* handle_ = nullptr;
};

void StartGdiplus() {
  if (gdiplusToken == 0) Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusStartupInput, nullptr);
}

void ShutdownGdiplus() {
  if (gdiplusToken == 0) return;
  Gdiplus::GdiplusShutdown(gdiplusToken);
  gdiplusToken = 0;
}

void DeleteOffscreenImage() {
  delete offscreenImage;
  offscreenImage = nullptr;
}

void PaintOffscreenImage(HDC windowDc) {
  const GraphSettings& s = graphSettings;
  DeleteOffscreenImage();
  offscreenImage = new OffscreenImage(s.imageWidth, s.imageHeight);
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

int FindEncoderClsid(const wchar_t* mimeType, CLSID* clsid) {
  UINT count = 0;
  UINT size = 0;
  gdip::GdipGetImageEncodersSize(&count, &size);
  if (size == 0 || !mimeType || !clsid) return -1;
  std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[size]);
  if (!block) return -1;
  auto* encoders = reinterpret_cast<Gdiplus::ImageCodecInfo*>(block.get());
  if (gdip::GdipGetImageEncoders(count, size, encoders) != Gdiplus::Ok) return -1;
  for (UINT i = 0; i < count; ++i) {
    if (encoders[i].MimeType && std::wcscmp(encoders[i].MimeType, mimeType) == 0) {
      *clsid = encoders[i].Clsid;
      return static_cast<int>(i);
    }
  }
  return -1;
}

void SavePng(const char* path) {
  if (!path || !offscreenImage || !offscreenImage->get()) return;
  CLSID png;
  if (FindEncoderClsid(L"image/png", &png) < 0) return;
  // A name too long for the buffer is not saved under a truncated name.
  wchar_t widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, MAX_PATH) == 0) return;

  LONG depth = kPngColorDepth;
  Gdiplus::EncoderParameters parameters;
  parameters.Count = 1;
  parameters.Parameter[0].Guid = kEncoderColorDepth;
  parameters.Parameter[0].NumberOfValues = 1;
  parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
  parameters.Parameter[0].Value = &depth;

  // A save that fails part-way must not leave a broken file where there was
  // none; a file that existed before is never removed here.
  const bool existed = GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES;
  if (gdip::GdipSaveImageToFile(offscreenImage->get(), widePath, &png, &parameters) != Gdiplus::Ok &&
      !existed) {
    DeleteFileW(widePath);
  }
}
