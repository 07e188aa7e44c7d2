// The graph on the page's Canvas 2D context (Module.zimbelContext), placed on
// GDI+'s pixel grid as the Cairo surface places it: everything half a pixel
// down and right, the same dash lengths, round dash caps and joins.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>

#include "model/GraphModel.h"
#include "render/DashPattern.h"
#include "render/DrawingSurface.h"
#include "render/GraphRenderer.h"
#include "web/WebApi.h"

namespace {

// A canvas drops a dash of length 0; one too short to see keeps its round
// cap, the dot (as on Cairo).
constexpr double kDotLength = 1.0 / 256;

// The canvas's default: a miter reaches at most this many half pen widths.
constexpr double kMiterLimit = 10;

// Beyond any screen's density; a ratio outside (0, 16], NaN included, is 1.
constexpr double kMaxPixelRatio = 16;

// Everything after Begin is clipped to the image, as the window shows the
// offscreen image only over its own size, and drawn `scale` device pixels
// to the image's pixel, so that a view on a dense screen is as sharp as its
// pixels allow and has the same geometry. Until SetAntiAlias only the
// background and the frame are drawn, on whole pixels: their dashes start
// half a pixel earlier so that each dot covers one pixel, not two halves.
// The background's Clear replaces every pixel, so nothing is cleared first;
// a clip that holds the whole canvas is left out.
EM_JS(void, CanvasBegin, (int clipWidth, int clipHeight, double scale), {
  const c = Module.zimbelContext;
  c.setTransform(scale, 0, 0, scale, 0, 0);
  c.globalCompositeOperation = 'source-over';
  c.globalAlpha = 1;
  c.save();
  if (clipWidth * scale < c.canvas.width || clipHeight * scale < c.canvas.height) {
    c.beginPath();
    c.rect(0, 0, clipWidth, clipHeight);
    c.clip();
  }
  c.translate(0.5, 0.5);
  c.lineDashOffset = 0.5;
  Module.zimbelCss = Module.zimbelCss || ((argb) => 'rgba(' + ((argb >> 16) & 255) + ',' + ((argb >> 8) & 255) + ',' +
                                          (argb & 255) + ',' + ((argb >>> 24) / 255) + ')');
});

EM_JS(void, CanvasEnd, (), { Module.zimbelContext.restore(); });

EM_JS(void, CanvasSmooth, (), { Module.zimbelContext.lineDashOffset = 0; });

// Replaces the pixels inside the clip, whatever was there.
EM_JS(void, CanvasClear, (int argb), {
  const c = Module.zimbelContext;
  c.save();
  c.setTransform(1, 0, 0, 1, 0, 0);
  c.globalCompositeOperation = 'copy';
  c.fillStyle = Module.zimbelCss(argb);
  c.fillRect(0, 0, c.canvas.width, c.canvas.height);
  c.restore();
});

EM_JS(void, CanvasPen, (int argb, float width, const double* dashes, int dashCount, int roundCaps, int roundJoins), {
  const c = Module.zimbelContext;
  c.strokeStyle = Module.zimbelCss(argb);
  c.lineWidth = width;
  c.setLineDash(Array.from(HEAPF64.subarray(dashes >> 3, (dashes >> 3) + dashCount)));
  c.lineCap = roundCaps ? 'round' : 'butt';
  c.lineJoin = roundJoins ? 'round' : 'miter';
});

// Shapes of one kind and one pen or colour reach the canvas as one path, so
// the browser strokes or fills it once: a paint of 512 ticks and markers is a
// handful of canvas operations, not a thousand. Shapes of one colour that
// overlap are filled as their union, as one opaque colour shows them anyway.
EM_JS(void, CanvasStrokeLines, (const double* lines, int count), {
  const c = Module.zimbelContext;
  const p = HEAPF64.subarray(lines >> 3, (lines >> 3) + 4 * count);
  c.beginPath();
  for (let i = 0; i < p.length; i += 4) {
    c.moveTo(p[i], p[i + 1]);
    c.lineTo(p[i + 2], p[i + 3]);
  }
  c.stroke();
});

// Each ellipse starts a path of its own, or the canvas would join it to the last.
EM_JS(void, CanvasFillEllipses, (const double* boxes, int count), {
  const c = Module.zimbelContext;
  const p = HEAPF64.subarray(boxes >> 3, (boxes >> 3) + 4 * count);
  c.beginPath();
  for (let i = 0; i < p.length; i += 4) {
    c.moveTo(p[i] + p[i + 2], p[i + 1]);
    c.ellipse(p[i], p[i + 1], p[i + 2], p[i + 3], 0, 0, 2 * Math.PI);
  }
  c.fill();
});

EM_JS(void, CanvasFillRects, (const double* rects, int count), {
  const c = Module.zimbelContext;
  const p = HEAPF64.subarray(rects >> 3, (rects >> 3) + 4 * count);
  c.beginPath();
  for (let i = 0; i < p.length; i += 4) c.rect(p[i], p[i + 1], p[i + 2], p[i + 3]);
  c.fill();
});

EM_JS(void, CanvasPolyline, (const float* points, int count), {
  const c = Module.zimbelContext;
  const p = HEAPF32.subarray(points >> 2, (points >> 2) + 2 * count);
  c.beginPath();
  c.moveTo(p[0], p[1]);
  for (let i = 2; i < p.length; i += 2) c.lineTo(p[i], p[i + 1]);
  c.stroke();
});

// The dotted frame of a transparent image is a thousand dots for the canvas
// to place at each paint, yet changes only with the image's size: a dashed
// rectangle is kept as pixels, and each paint copies the four bands along
// its edges, where all its ink lies (under the clip, as a stroke would be).
// A solid one is cheaper stroked.
EM_JS(void, CanvasStrokeRect, (int x, int y, int width, int height), {
  const c = Module.zimbelContext;
  const dashes = typeof OffscreenCanvas === 'function' ? c.getLineDash() : [];
  if (dashes.length === 0) return c.strokeRect(x, y, width, height);
  const t = c.getTransform();
  const key = [x, y, width, height, c.canvas.width, c.canvas.height, t, c.strokeStyle, c.lineWidth, dashes,
               c.lineDashOffset, c.lineCap, c.lineJoin].join();
  const keptRects = Module.zimbelKeptRects || (Module.zimbelKeptRects = new Map());
  let kept = keptRects.get(key);
  // Keeping costs a few milliseconds the first time: a rectangle is kept
  // only when it comes again, so a load's first picture does not wait.
  // A few cover a change of size and back.
  if (kept === undefined) {
    if (keptRects.size >= 4) keptRects.clear();
    keptRects.set(key, null);
    return c.strokeRect(x, y, width, height);
  }
  if (!kept) {
    const pixels = new OffscreenCanvas(c.canvas.width, c.canvas.height);
    // Kept in memory, as the page's canvas is: a copy then never leaves the processor.
    const o = pixels.getContext('2d', {willReadFrequently: true});
    o.setTransform(t);
    for (const name of ['strokeStyle', 'lineWidth', 'lineDashOffset', 'lineCap', 'lineJoin']) o[name] = c[name];
    o.setLineDash(dashes);
    o.strokeRect(x, y, width, height);
    const reach = c.lineWidth / 2;
    const left = Math.floor(t.e + t.a * (x - reach)) - 1, right = Math.ceil(t.e + t.a * (x + width + reach)) + 1;
    const top = Math.floor(t.f + t.d * (y - reach)) - 1, bottom = Math.ceil(t.f + t.d * (y + height + reach)) + 1;
    const band = Math.ceil(t.a * 2 * reach) + 2;
    kept = {pixels, bands: [[left, top, right - left, band], [left, bottom - band, right - left, band],
                            [left, top, band, bottom - top], [right - band, top, band, bottom - top]]};
    keptRects.set(key, kept);
  }
  c.save();
  c.setTransform(1, 0, 0, 1, 0, 0);
  for (const b of kept.bands) c.drawImage(kept.pixels, b[0], b[1], b[2], b[3], b[0], b[1], b[2], b[3]);
  c.restore();
});

EM_JS(void, CanvasFillColor, (int argb), { Module.zimbelContext.fillStyle = Module.zimbelCss(argb); });

// The context keeps its pen and fill from one shape to the next, and shapes
// wait in a batch until one of another kind, pen or colour comes (see
// CanvasStrokeLines). A line or a marker wholly off the canvas is not sent
// at all, so a view of a wide picture costs what it shows; nor are the ends
// of a solid polyline that lie off it. A dashed one goes whole: cut to the
// view, its dashes would start afresh at every scroll.
class CanvasSurface final : public DrawingSurface {
 public:
  // The canvas's extent in the coordinates drawn in (the context's scale undone).
  CanvasSurface(int width, int height) : width_(width), height_(height) {}
  ~CanvasSurface() { Flush(); }

  void Clear(Argb color) override {
    Flush();
    CanvasClear(static_cast<int>(color));
  }
  void SetAntiAlias() override {
    Flush();
    CanvasSmooth();
  }
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override {
    if (OffCanvas(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), pen.width)) return;
    Pen(pen);
    Add(Batch::Lines, x1, y1, x2, y2);
  }
  void DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) override {
    // A solid line loses the stretches at either end that reach none of the
    // canvas (a miter included); a dashed one goes whole, to keep its phase.
    if (pen.dash == DashStyle::Solid) {
      const double reach = kMiterLimit * pen.width / 2;
      while (count >= 2 && SegmentOff(points[0], points[1], reach)) {
        ++points;
        --count;
      }
      while (count >= 2 && SegmentOff(points[count - 2], points[count - 1], reach)) --count;
    }
    if (count < 2) return;
    Pen(pen);
    Flush();
    CanvasPolyline(&points[0].x, count);
  }
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override {
    Pen(pen);
    Flush();
    CanvasStrokeRect(x, y, width, height);
  }
  void FillEllipse(Argb color, int x, int y, int width, int height) override {
    if (width <= 0 || height <= 0 || OffCanvas(x, y, static_cast<double>(x) + width, static_cast<double>(y) + height, 0)) return;
    Fill(color);
    Add(Batch::Ellipses, x + width / 2.0, y + height / 2.0, width / 2.0, height / 2.0);
  }
  void FillRectangle(Argb color, int x, int y, int width, int height) override {
    if (width <= 0 || height <= 0 || OffCanvas(x, y, static_cast<double>(x) + width, static_cast<double>(y) + height, 0)) return;
    Fill(color);
    Add(Batch::Rectangles, x, y, width, height);
  }

 private:
  enum class Batch { None, Lines, Ellipses, Rectangles };
  // A batch's items are four numbers each; more than a paint's ticks or markers.
  static constexpr int kBatchItems = 1024;

  void Add(Batch kind, double a, double b, double c, double d) {
    if (kind != batch_) Flush();
    batch_ = kind;
    double* item = &items_[4 * count_];
    item[0] = a;
    item[1] = b;
    item[2] = c;
    item[3] = d;
    if (++count_ == kBatchItems) Flush();
  }

  void Flush() {
    if (count_ > 0) {
      switch (batch_) {
        case Batch::Lines: CanvasStrokeLines(items_, count_); break;
        case Batch::Ellipses: CanvasFillEllipses(items_, count_); break;
        case Batch::Rectangles: CanvasFillRects(items_, count_); break;
        case Batch::None: break;
      }
    }
    batch_ = Batch::None;
    count_ = 0;
  }

  // A new pen or fill waits until the shapes drawn with the old one are out.
  void Pen(const PenSpec& pen) {
    if (hasPen_ && pen == pen_) return;
    Flush();
    hasPen_ = true;
    pen_ = pen;
    double dashes[kMaxDashLengths];
    const int count = DashLengths(pen, dashes);
    for (int i = 0; i < count; i += 2) {
      if (dashes[i] == 0.0) dashes[i] = kDotLength;
    }
    CanvasPen(static_cast<int>(pen.color), pen.width, dashes, count, RoundDashEnds(pen), pen.roundCapsAndJoins);
  }

  void Fill(Argb color) {
    if (hasFill_ && color == fill_) return;
    Flush();
    hasFill_ = true;
    fill_ = color;
    CanvasFillColor(static_cast<int>(color));
  }

  // Whether a shape within these bounds, stroked `penWidth` wide, can touch
  // none of the canvas's pixels: beyond the half-pixel shift, the half pen
  // and a pixel of anti-aliasing.
  bool OffCanvas(double left, double top, double right, double bottom, double penWidth) const {
    const double reach = penWidth / 2 + 2;
    return right + reach < 0 || bottom + reach < 0 || left - reach > width_ || top - reach > height_;
  }

  // Written out: this build inlines no library call, and a polyline asks once a segment.
  bool SegmentOff(SurfacePoint a, SurfacePoint b, double reach) const {
    const double r = reach + 2;
    return (a.x < -r && b.x < -r) || (a.y < -r && b.y < -r) || (a.x > width_ + r && b.x > width_ + r) ||
           (a.y > height_ + r && b.y > height_ + r);
  }

  double width_;
  double height_;
  bool hasPen_ = false;
  PenSpec pen_ = {};
  bool hasFill_ = false;
  Argb fill_ = 0;
  Batch batch_ = Batch::None;
  int count_ = 0;
  double items_[4 * kBatchItems];
};

// A scroll bar's range: 0 to the part of the content beyond the view.
int Clamped(int position, int content, int view) {
  const int64_t beyond = std::max<int64_t>(int64_t{content} - view, 0);
  return static_cast<int>(std::clamp<int64_t>(position, 0, beyond));
}

}  // namespace

void ZimbelPaint(int scrollX, int scrollY, int viewWidth, int viewHeight, double pixelRatio) {
  const GraphSettings& s = graphSettings;
  const ViewOffset offset = {Clamped(scrollX, s.imageWidth, viewWidth), Clamped(scrollY, s.imageHeight, viewHeight)};
  const double scale = pixelRatio > 0 && pixelRatio <= kMaxPixelRatio ? pixelRatio : 1.0;
  CanvasBegin(std::max(s.imageWidth, 0), std::max(s.imageHeight, 0), scale);
  {
    const int width = std::min(viewWidth, s.imageWidth);
    CanvasSurface canvas(width, std::min(viewHeight, s.imageHeight));
    DrawGraph({s, graphData, offset}, canvas, canvas,
              PointsReaching(s, VisiblePointCount(), int64_t{offset.scrollX} + width));
  }
  CanvasEnd();
}

void ZimbelPaintImage() {
  const GraphSettings& s = graphSettings;
  if (s.imageWidth < 1 || s.imageHeight < 1) return;
  CanvasBegin(s.imageWidth, s.imageHeight, 1.0);
  {
    CanvasSurface canvas(s.imageWidth, s.imageHeight);
    RenderImage(s, graphData, canvas);
  }
  CanvasEnd();
}
