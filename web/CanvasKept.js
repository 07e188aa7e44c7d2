// What the canvas calls (CanvasCalls.cpp) keep from one paint to the next,
// in one record inside the module, not on the object the page holds: the
// device pixels to the image's pixel, the name of the dashed pen set last,
// the dashed rectangles kept as pixels, the parts of a paint kept as pixels
// (CanvasCalls.h) and how much of the canvas the last paint may have inked.
var canvasKept = {scale: 1, dashedPen: '', rects: new Map(), parts: [], inked: null};

function cssColor(argb) {
  return 'rgba(' + ((argb >> 16) & 255) + ',' + ((argb >> 8) & 255) + ',' + (argb & 255) + ',' +
         ((argb >>> 24) / 255) + ')';
}
