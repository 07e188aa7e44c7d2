// The graph on the page's canvas: the renderer's shapes become canvas
// operations (CanvasCalls.h), written down whole and then sent.
#include <algorithm>
#include <cstdint>
#include <initializer_list>

#include "model/GraphModel.h"
#include "render/DashPattern.h"
#include "render/DrawingSurface.h"
#include "render/GraphRenderer.h"
#include "web/CanvasCalls.h"
#include "web/WebApi.h"

namespace {

// A canvas drops a dash of length 0; one too short to see keeps its round
// cap, the dot (as on Cairo).
constexpr double kDotLength = 1.0 / 256;

// The canvas's default: a miter reaches at most this many half pen widths.
constexpr double kMiterLimit = 10;

// Beyond any screen's density; a ratio outside (0, 16], NaN included, is 1.
constexpr double kMaxPixelRatio = 16;

// The context keeps its pen and fill from one shape to the next, and shapes
// of one kind and one pen or colour are one operation (see
// CanvasStrokeLines). A line or a marker wholly off the canvas is not sent
// at all, so a view of a wide picture costs what it shows; nor are the ends
// of a solid polyline that lie off it. A dashed one goes whole: cut to the
// view, its dashes would start afresh at every scroll.
//
// The renderer draws the background and the axes with lines and
// rectangles, then the plot: its markers (the first filled shapes), then
// its line. A change of the plot's colour or markers leaves what lies under
// the plot as it was, and a change of the line's width or style everything
// under the line: with `Keeping::Parts` each of those two parts, when it is
// what the last paints drew, is copied from pixels kept of it instead of
// drawn again.
class CanvasSurface final : public DrawingSurface {
 public:
  enum class Keeping { None, Parts };

  // Everything is clipped to the clip's size and drawn `scale` device pixels
  // to the image's pixel; `width` and `height` are the canvas's extent in
  // image pixels.
  CanvasSurface(int clipWidth, int clipHeight, double scale, int width, int height, Keeping keeping)
      : width_(width), height_(height), keeping_(keeping) {
    Start(CanvasOp::Begin);
    Put({Number(clipWidth), Number(clipHeight), scale});
  }
  ~CanvasSurface() {
    Send();
    EndOps();
  }

  void Clear(Argb color) override {
    Start(CanvasOp::Clear);
    Put({Number(color)});
  }
  void SetAntiAlias() override { Start(CanvasOp::Smooth); }
  void DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) override {
    if (OffCanvas(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), pen.width)) return;
    Pen(pen);
    Add(CanvasOp::Lines, x1, y1, x2, y2);
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
    MarkPart(Mark::Line);
    Pen(pen);
    Start(CanvasOp::Polyline);
    for (int i = 0; i < count; ++i) Put({points[i].x, points[i].y});
  }
  void DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) override {
    Pen(pen);
    Start(CanvasOp::StrokeRectangle);
    Put({Number(x), Number(y), Number(width), Number(height)});
  }
  void FillEllipse(Argb color, int x, int y, int width, int height) override {
    if (width <= 0 || height <= 0 || OffCanvas(x, y, static_cast<double>(x) + width, static_cast<double>(y) + height, 0)) return;
    MarkPart(Mark::Plot);
    Fill(color);
    Add(CanvasOp::Ellipses, x + width / 2.0, y + height / 2.0, width / 2.0, height / 2.0);
  }
  void FillRectangle(Argb color, int x, int y, int width, int height) override {
    if (width <= 0 || height <= 0 || OffCanvas(x, y, static_cast<double>(x) + width, static_cast<double>(y) + height, 0)) return;
    MarkPart(Mark::Plot);
    Fill(color);
    Add(CanvasOp::Rectangles, x, y, width, height);
  }

 private:
  static double Number(int value) { return value; }
  static double Number(Argb color) { return static_cast<int>(color); }
  static double Number(bool yes) { return yes ? 1 : 0; }

  // An operation takes the numbers put until the next one starts.
  void Start(CanvasOp op) {
    last_ = ops_.Size();
    ops_.Push(static_cast<double>(op));
    ops_.Push(0);
  }
  void Put(std::initializer_list<double> numbers) {
    for (const double number : numbers) ops_.Push(number);
    ops_[last_ + 1] += static_cast<double>(numbers.size());
  }

  // A shape joins the operation before it when that is of its kind.
  void Add(CanvasOp kind, double a, double b, double c, double d) {
    if (ops_[last_] != static_cast<double>(kind)) Start(kind);
    Put({a, b, c, d});
  }

  // A part ends where the plot or its line begins (the line's start ends
  // both when there are no markers). What follows a mark sets its own pen
  // and fill, so that it draws the same whether the part before it was
  // drawn or copied.
  enum class Mark { None, Plot, Line };
  void MarkPart(Mark mark) {
    if (marked_ >= mark) return;
    marked_ = mark;
    if (parts_ == 0 || partEnds_[parts_ - 1] != ops_.Size()) partEnds_[parts_++] = ops_.Size();
    hasPen_ = false;
    hasFill_ = false;
  }

  // The whole paint: the last part whose pixels are kept is copied (with
  // what places the shapes after it), the rest drawn, and each part drawn
  // is kept once it has come twice.
  void Send() {
    const double* const ops = ops_.Data();
    const bool keeping = keeping_ == Keeping::Parts;
    size_t from = 0;
    int next = 0;
    for (int slot = parts_ - 1; keeping && slot >= 0; --slot) {
      if (!PartKept(slot, ops, partEnds_[slot])) continue;
      SendOps(ops, ops + partEnds_[slot], Sending::Placement);
      ShowKeptPart(slot);
      from = partEnds_[slot];
      next = slot + 1;
      break;
    }
    for (int slot = next; slot < parts_; ++slot) {
      SendOps(ops + from, ops + partEnds_[slot], Sending::All);
      from = partEnds_[slot];
      if (keeping) KeepPart(slot);
    }
    SendOps(ops + from, ops + ops_.Size(), Sending::All);
  }

  // A new pen or fill, only when it is not the one the context has.
  void Pen(const PenSpec& pen) {
    if (hasPen_ && pen == pen_) return;
    hasPen_ = true;
    pen_ = pen;
    double dashes[kMaxDashLengths];
    const int count = DashLengths(pen, dashes);
    for (int i = 0; i < count; i += 2) {
      if (dashes[i] == 0.0) dashes[i] = kDotLength;
    }
    Start(CanvasOp::Pen);
    Put({Number(pen.color), pen.width, Number(RoundDashEnds(pen)), Number(pen.roundCapsAndJoins)});
    for (int i = 0; i < count; ++i) Put({dashes[i]});
  }

  void Fill(Argb color) {
    if (hasFill_ && color == fill_) return;
    hasFill_ = true;
    fill_ = color;
    Start(CanvasOp::Fill);
    Put({Number(color)});
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
  Keeping keeping_;
  bool hasPen_ = false;
  PenSpec pen_ = {};
  bool hasFill_ = false;
  Argb fill_ = 0;
  CanvasOps ops_;
  size_t last_ = 0;  // where the last operation starts
  Mark marked_ = Mark::None;
  size_t partEnds_[kPartSlots] = {};
  int parts_ = 0;
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
  const int width = std::min(viewWidth, s.imageWidth);
  CanvasSurface canvas(std::max(s.imageWidth, 0), std::max(s.imageHeight, 0), scale, width,
                       std::min(viewHeight, s.imageHeight), CanvasSurface::Keeping::Parts);
  DrawGraph({s, graphData, offset}, canvas, canvas, PointsReaching(s, VisiblePointCount(), int64_t{offset.scrollX} + width));
}

void ZimbelPaintImage() {
  const GraphSettings& s = graphSettings;
  if (s.imageWidth < 1 || s.imageHeight < 1) return;
  CanvasSurface canvas(s.imageWidth, s.imageHeight, 1.0, s.imageWidth, s.imageHeight, CanvasSurface::Keeping::None);
  RenderImage(s, graphData, canvas);
}
