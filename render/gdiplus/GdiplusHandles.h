#pragma once
// The thin owners of GDI+ handles, each made on the stack for one step, and
// the calls this folder's files share in GDI+'s own types. Only
// render/gdiplus includes GDI+.
#include <windows.h>

#include <gdiplus.h>

#include "render/DrawingSurface.h"

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

// The image of the last paint, or null when there is none.
Gdiplus::GpImage* OffscreenImageHandle();

// Writes `image` as a 32-bit PNG, exactly as Save As does, to a stream; false
// when nothing was written.
bool SavePngToStream(Gdiplus::GpImage* image, IStream* stream);
