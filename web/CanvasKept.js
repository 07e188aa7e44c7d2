// What the canvas calls (CanvasCalls.cpp) keep from one paint to the next,
// in one record inside the module, not on the object the page holds: the
// device pixels to the image's pixel, the names of the pen set last (and of
// it if dashed), what this paint has drawn so far when that is only a clear
// and solid rectangles (else null), the dashed rectangles kept as pixels,
// the parts of a paint kept as pixels (CanvasCalls.h) and how much of the
// canvas the last paint may have inked.
var canvasKept = {scale: 1, pen: '', dashedPen: '', ground: null, rects: new Map(), parts: [], inked: null};

function cssColor(argb) {
  return 'rgba(' + ((argb >> 16) & 255) + ',' + ((argb >> 8) & 255) + ',' + (argb & 255) + ',' +
         ((argb >>> 24) / 255) + ')';
}
