#pragma once
#include <cairo.h>

#include "render/DrawingSurface.h"

// Thin owners of Cairo's handles, made on the stack for one step. Only
// render/cairo includes Cairo.

class CairoImage {
 public:
  // A fully transparent 32-bit image; not valid when Cairo cannot make one
  // of that size.
  CairoImage(int width, int height)
      : handle_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {}
  ~CairoImage() { cairo_surface_destroy(handle_); }
  CairoImage(const CairoImage&) = delete;
  CairoImage& operator=(const CairoImage&) = delete;
  bool valid() const { return cairo_surface_status(handle_) == CAIRO_STATUS_SUCCESS; }
  cairo_surface_t* get() const { return handle_; }

 private:
  cairo_surface_t* handle_;
};

class CairoContext {
 public:
  explicit CairoContext(cairo_surface_t* target) : handle_(cairo_create(target)) {}
  ~CairoContext() { cairo_destroy(handle_); }
  CairoContext(const CairoContext&) = delete;
  CairoContext& operator=(const CairoContext&) = delete;
  cairo_t* get() const { return handle_; }

 private:
  cairo_t* handle_;
};

// The graph's drawing operations on a Cairo context, placed on GDI+'s pixel
// grid (kPixelCentre), `scale` device pixels to the graph's pixel: every
// length, pen and dash that many times, and the grid with them, so that a
// 1-pixel axis at row 190 covers device rows 190 * scale and on, whole.
class CairoSurface final : public DrawingSurface {
 public:
  explicit CairoSurface(cairo_t* context, int scale = 1);

  void Clear(Argb color) override;
  void SetAntiAlias() override;
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override;
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override;
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override;
  void FillEllipse(Argb color, int x, int y, int width, int height) override;
  void FillRectangle(Argb color, int x, int y, int width, int height) override;

 private:
  void Stroke(const PenSpec& pen);
  void Fill(Argb color);

  cairo_t* context_;
};
