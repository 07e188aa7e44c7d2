// The canvas's side of a paint: each operation as Canvas 2D calls on
// Module.zimbelContext, placed on GDI+'s pixel grid as the Cairo surface
// places it (kPixelCentre), with the same dash lengths, round dash caps and
// joins.
#include "web/CanvasCalls.h"

#include <emscripten/emscripten.h>

#include "render/DrawingSurface.h"

namespace {

// Everything after Begin is clipped to the image, as the window shows the
// offscreen image only over its own size, and drawn `scale` device pixels
// to the image's pixel, so that a view on a dense screen is as sharp as its
// pixels allow and has the same geometry. Until SetAntiAlias only the
// background and the frame are drawn, on whole pixels: their dashes start
// half a pixel earlier so that each dot covers one pixel, not two halves.
// The background's Clear replaces every pixel of the image, so nothing is
// cleared first; a clip that holds the whole canvas is left out. A canvas
// may be larger than the image (the page keeps it through a change of
// size): what an earlier paint inked beyond the image is cleared, once.
EM_JS(void, CanvasBegin, (int clipWidth, int clipHeight, double scale, double centre), {
  const c = Module.zimbelContext;
  const {width, height} = c.canvas;
  const right = Math.min(Math.floor(clipWidth * scale), width), bottom = Math.min(Math.floor(clipHeight * scale), height);
  const inked = canvasKept.inked;
  const known = inked && inked.context === c && inked.width === width && inked.height === height;
  c.setTransform(1, 0, 0, 1, 0, 0);
  if (right < width && (!known || inked.right > right)) c.clearRect(right, 0, width - right, height);
  if (bottom < height && (!known || inked.bottom > bottom)) c.clearRect(0, bottom, right, height - bottom);
  canvasKept.inked = {context: c, width, height, right: Math.min(Math.ceil(clipWidth * scale), width),
                      bottom: Math.min(Math.ceil(clipHeight * scale), height)};
  c.setTransform(scale, 0, 0, scale, 0, 0);
  c.globalCompositeOperation = 'source-over';
  c.globalAlpha = 1;
  c.save();
  if (clipWidth * scale < width || clipHeight * scale < height) {
    c.beginPath();
    c.rect(0, 0, clipWidth, clipHeight);
    c.clip();
  }
  c.translate(centre, centre);
  c.lineDashOffset = centre;
  canvasKept.scale = scale;
  canvasKept.ground = null;
});

EM_JS(void, CanvasEnd, (), { Module.zimbelContext.restore(); });

EM_JS(void, CanvasSmooth, (), { Module.zimbelContext.lineDashOffset = 0; });

// Replaces the pixels inside the clip, whatever was there: a clear colour
// as clearRect does, an opaque one as a plain fill does, without the
// slower general 'copy'.
EM_JS(void, CanvasClear, (int argb), {
  const c = Module.zimbelContext;
  const alpha = argb >>> 24;
  c.save();
  c.setTransform(1, 0, 0, 1, 0, 0);
  if (alpha !== 255) c.clearRect(0, 0, c.canvas.width, c.canvas.height);
  if (alpha !== 0) {
    c.fillStyle = cssColor(argb);
    c.fillRect(0, 0, c.canvas.width, c.canvas.height);
  }
  c.restore();
  canvasKept.ground = 'clear ' + argb;
});

// The pen is also named, for CanvasStrokeRect.
EM_JS(void, CanvasPen, (int argb, double width, const double* dashes, int dashCount, int roundCaps, int roundJoins), {
  const c = Module.zimbelContext;
  const lengths = Array.from(HEAPF64.subarray(dashes >> 3, (dashes >> 3) + dashCount));
  canvasKept.pen = [argb, width, roundCaps, roundJoins, lengths].join();
  canvasKept.dashedPen = dashCount ? canvasKept.pen : '';
  c.strokeStyle = cssColor(argb);
  c.lineWidth = width;
  c.setLineDash(lengths);
  c.lineCap = roundCaps ? 'round' : 'butt';
  c.lineJoin = roundJoins ? 'round' : 'miter';
});

// Shapes of one kind and one pen or colour reach the canvas as one path, so
// the browser strokes or fills it once: a paint of 512 ticks and markers is a
// handful of canvas operations, not a thousand. Shapes of one colour that
// overlap are filled as their union, as one opaque colour shows them anyway.
EM_JS(void, CanvasStrokeLines, (const double* lines, int count), {
  const c = Module.zimbelContext;
  canvasKept.ground = null;
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
  canvasKept.ground = null;
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
  canvasKept.ground = null;
  const p = HEAPF64.subarray(rects >> 3, (rects >> 3) + 4 * count);
  c.beginPath();
  for (let i = 0; i < p.length; i += 4) c.rect(p[i], p[i + 1], p[i + 2], p[i + 3]);
  c.fill();
});

EM_JS(void, CanvasPolyline, (const double* points, int count), {
  const c = Module.zimbelContext;
  canvasKept.ground = null;
  const p = HEAPF64.subarray(points >> 3, (points >> 3) + 2 * count);
  c.beginPath();
  c.moveTo(p[0], p[1]);
  for (let i = 2; i < p.length; i += 2) c.lineTo(p[i], p[i + 1]);
  c.stroke();
});

// The dotted frame of a transparent image is a thousand dots for the canvas
// to place at each paint, yet changes only with the image's size: a dashed
// rectangle is kept as pixels, and each paint copies the four bands along
// its edges, where all its ink lies (under the clip, as a stroke would be).
// A solid one is cheaper stroked. The key is made of plain numbers: a
// transform or a dash array read back from the context cost more, the first
// time, than the stroke.
// A dot only partly covered (at some corners) blends with what lies under
// it, and blended again from kept pixels it would come out a level or so
// off: the kept pixels hold the ground as well (the clear and the solid
// rectangles drawn since, `canvasKept.ground`), and replace the bands
// whole. On a ground not known so, the rectangle is stroked.
EM_JS(void, CanvasStrokeRect, (int x, int y, int width, int height), {
  const c = Module.zimbelContext;
  const rect = [x, y, width, height, c.canvas.width, c.canvas.height, canvasKept.scale, c.lineDashOffset].join();
  const ground = canvasKept.ground;
  if (!canvasKept.dashedPen || ground === null || typeof OffscreenCanvas !== 'function') {
    canvasKept.ground = canvasKept.dashedPen || ground === null ? null : ground + ' ' + canvasKept.pen + ' ' + rect;
    return c.strokeRect(x, y, width, height);
  }
  canvasKept.ground = null;
  const key = rect + ' ' + canvasKept.dashedPen + ' ' + ground;
  const keptRects = canvasKept.rects;
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
    const t = c.getTransform();
    const pixels = new OffscreenCanvas(c.canvas.width, c.canvas.height);
    // Kept in memory, as the page's canvas is: a copy then never leaves the processor.
    const o = pixels.getContext('2d', {willReadFrequently: true});
    // The ground as this paint has drawn it, copied whole onto clear pixels.
    o.drawImage(c.canvas, 0, 0);
    o.setTransform(t);
    for (const name of ['strokeStyle', 'lineWidth', 'lineDashOffset', 'lineCap', 'lineJoin']) o[name] = c[name];
    o.setLineDash(c.getLineDash());
    o.strokeRect(x, y, width, height);
    const reach = c.lineWidth / 2;
    const left = Math.floor(t.e + t.a * (x - reach)) - 1, right = Math.ceil(t.e + t.a * (x + width + reach)) + 1;
    const top = Math.floor(t.f + t.d * (y - reach)) - 1, bottom = Math.ceil(t.f + t.d * (y + height + reach)) + 1;
    const band = Math.ceil(t.a * 2 * reach) + 2;
    // A rectangle too small for four bands is one.
    const inner = bottom - top - 2 * band;
    kept = {pixels, bands: inner <= 0 || right - left <= 2 * band ? [[left, top, right - left, bottom - top]]
      : [[left, top, right - left, band], [left, bottom - band, right - left, band],
         [left, top + band, band, inner], [right - band, top + band, band, inner]]};
    keptRects.set(key, kept);
  }
  // 'copy' replaces all it may: each band is its clip.
  c.save();
  c.setTransform(1, 0, 0, 1, 0, 0);
  c.globalCompositeOperation = 'copy';
  for (const b of kept.bands) {
    c.save();
    c.beginPath();
    c.rect(b[0], b[1], b[2], b[3]);
    c.clip();
    c.drawImage(kept.pixels, b[0], b[1], b[2], b[3], b[0], b[1], b[2], b[3]);
    c.restore();
  }
  c.restore();
});

EM_JS(void, CanvasFillColor, (int argb), { Module.zimbelContext.fillStyle = cssColor(argb); });

// Kept on the context they were drawn on, for its canvas's size at the time.
// Compared number by number: two parts with the same numbers are the same
// drawing. The copy lives where the canvas does, in memory or on the
// graphics processor, whichever the browser chose for both.
// The numbers are read from the module's memory one by one: a view of it
// made and copied (subarray, slice) costs tens of times more, as it can grow.
EM_JS(int, CanvasPartKept, (int slot, const double* ops, int count), {
  const c = Module.zimbelContext;
  const heap = HEAPF64, first = ops >> 3;
  const kept = canvasKept.parts[slot];
  let same = kept && kept.context === c && kept.ops.length === count;
  for (let i = 0; same && i < count; i++) same = kept.ops[i] === heap[first + i];
  if (!same) {
    const now = new Float64Array(count);
    for (let i = 0; i < count; i++) now[i] = heap[first + i];
    canvasKept.parts[slot] = {context: c, ops: now, seenBefore: false, pixels: null};
    return 0;
  }
  kept.seenBefore = true;
  return kept.pixels !== null && kept.pixels.width === c.canvas.width && kept.pixels.height === c.canvas.height;
});

// Under the clip, as drawing them would be; 'copy' replaces the pixels the
// Clear among them would have replaced.
EM_JS(void, CanvasShowKept, (int slot), {
  const c = Module.zimbelContext;
  canvasKept.ground = null;
  c.save();
  c.setTransform(1, 0, 0, 1, 0, 0);
  c.globalCompositeOperation = 'copy';
  c.drawImage(canvasKept.parts[slot].pixels, 0, 0);
  c.restore();
});

EM_JS(void, CanvasKeep, (int slot), {
  const kept = canvasKept.parts[slot];
  const canvas = Module.zimbelContext.canvas;
  // A canvas of no pixels is no image to copy.
  if (!kept.seenBefore || canvas.width === 0 || canvas.height === 0) return;
  if (!kept.pixels || kept.pixels.width !== canvas.width || kept.pixels.height !== canvas.height) {
    const size = {width: canvas.width, height: canvas.height};
    kept.pixels = typeof OffscreenCanvas === 'function' ? new OffscreenCanvas(size.width, size.height)
                                                        : Object.assign(document.createElement('canvas'), size);
    // Pixels on a graphics processor that resets are gone, and come back blank.
    kept.pixels.addEventListener('contextlost', () => { kept.pixels = null; });
  }
  const o = kept.pixels.getContext('2d');
  o.globalCompositeOperation = 'copy';
  o.drawImage(canvas, 0, 0);
});

int Int(double number) { return static_cast<int>(number); }

}  // namespace

void SendOps(const double* from, const double* to, Sending sending) {
  while (from < to) {
    const auto op = static_cast<CanvasOp>(from[0]);
    const int count = Int(from[1]);
    const double* a = from + 2;
    from = a + count;
    if (sending == Sending::Placement && op != CanvasOp::Begin && op != CanvasOp::Smooth) continue;
    switch (op) {
      case CanvasOp::Begin: CanvasBegin(Int(a[0]), Int(a[1]), a[2], kPixelCentre); break;
      case CanvasOp::Clear: CanvasClear(Int(a[0])); break;
      case CanvasOp::Smooth: CanvasSmooth(); break;
      case CanvasOp::Pen: CanvasPen(Int(a[0]), a[1], a + 4, count - 4, Int(a[2]), Int(a[3])); break;
      case CanvasOp::Fill: CanvasFillColor(Int(a[0])); break;
      case CanvasOp::Lines: CanvasStrokeLines(a, count / 4); break;
      case CanvasOp::Ellipses: CanvasFillEllipses(a, count / 4); break;
      case CanvasOp::Rectangles: CanvasFillRects(a, count / 4); break;
      case CanvasOp::StrokeRectangle: CanvasStrokeRect(Int(a[0]), Int(a[1]), Int(a[2]), Int(a[3])); break;
      case CanvasOp::Polyline: CanvasPolyline(a, count / 2); break;
    }
  }
}

void EndOps() { CanvasEnd(); }

bool PartKept(int slot, const double* ops, size_t count) {
  return CanvasPartKept(slot, ops, static_cast<int>(count)) != 0;
}

void ShowKeptPart(int slot) { CanvasShowKept(slot); }

void KeepPart(int slot) { CanvasKeep(slot); }
