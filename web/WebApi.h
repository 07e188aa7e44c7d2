#pragma once
// What the page calls: the window's model and renderer behind a few C calls.
//
// Built by tools/web-build.sh into build/web:
//   build/web/zimbelplot.js + build/web/zimbelplot.wasm   the page's module
//   build/web/single/zimbelplot.js                        the same with the wasm
//                                                         inside, for file://
// Both are MODULARIZE builds: the script defines one global factory,
//   createZimbelplot({onFieldWritten(id, text) {...}, onShowTool() {...}})
// which resolves to the module (`Module` below). Exported to JS: every
// function here as Module._ZimbelName, Module._malloc, Module._free,
// Module.HEAPU8, Module.UTF8ToString.
//
// From the core to the page (set them in the factory's argument):
//   Module.onFieldWritten(id, text)  the core wrote field `id` (1000-1009):
//                                    the width after a load, the ratio after
//                                    a recalculation. The text is already the
//                                    setting; show it, do not send it back.
//   Module.onShowTool()              after a load: show the tool panel.
// From the page to the core, before each paint:
//   Module.zimbelContext             the CanvasRenderingContext2D (or an
//                                    OffscreenCanvas's) ZimbelPaint and
//                                    ZimbelPaintImage draw on.
//
// Control ids are those of the tool dialog: edits 1000 width, 1001 height,
// 1002 left margin, 1003 vertical margin, 1004 line width, 1005 point size,
// 1006 point interval, 1007 x tick, 1008 y tick unit, 1009 ratio; 1020 line
// style, 1021 background colour, 1022 line colour, 1023 transparent, 1024
// auto ratio, 1025 point kind, 1026 display mode.
//
// Strings in and out are UTF-8 and NUL-terminated. A returned string is the
// caller's: no later call changes it, and the caller frees it
// (Module._free) once it has copied it.

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define ZIMBEL_API EMSCRIPTEN_KEEPALIVE
#else
#define ZIMBEL_API
#endif

extern "C" {

// Reads a data file's bytes as the window reads a file: CR LF is one line
// end, ^Z ends the file, each 255-character piece of a line is a value, a
// piece that is not a number is 0, at most 512 values. The reader stops at
// the 512th value or the first ^Z, so a prefix of a huge file holding those
// gives the same graph. Then the width field is written (onFieldWritten
// 1000), the ratio recalculated and written (onFieldWritten 1009) and the
// panel shown (onShowTool). 1 when read; 0 when not, and then the graph and
// the settings are as they were.
ZIMBEL_API int ZimbelLoad(const unsigned char* bytes, int size);

// The same for a file read in slices, so that a huge one is read only as far
// as the reader reads: ZimbelLoadBegin, then ZimbelLoadMore with each slice
// in file order while it returns 1 (0: the reader has all it reads), then
// ZimbelLoadEnd, which loads as ZimbelLoad does. A file that cannot be read
// to the end of what is wanted is simply never ended: graph and settings
// stay as they were.
ZIMBEL_API void ZimbelLoadBegin();
ZIMBEL_API int ZimbelLoadMore(const unsigned char* bytes, int size);
ZIMBEL_API void ZimbelLoadEnd();

// Edit 1000-1009 now shows `text` (what the user typed, as typed): it is
// parsed into its setting as the dialog parses it, with the dialog's
// after-effects (the height and the vertical margin recalculate the ratio,
// which is then written to 1009 through onFieldWritten). Texts longer than
// 255 bytes are cut there, as the dialog's buffer does.
ZIMBEL_API void ZimbelSetText(int editId, const char* text);

// A list, box or colour: 1020 line style 0-4, 1025 point kind 0-1, 1026
// display mode 0-2 (other indexes are ignored, as the dialog ignores them),
// 1023 transparent 0/1, 1024 auto ratio 0/1 (turning it on recalculates and
// writes 1009), 1021 and 1022 colours as 0x00BBGGRR. Setting a background,
// even to the colour it has, turns transparency off (read 1023 back): the
// page sets it when the user reaches for the background's chooser.
ZIMBEL_API void ZimbelSetValue(int controlId, int value);

// Colours 1021 and 1022 as "#RRGGBB", as a colour input and the exporter
// write them: ZimbelSetColorText ignores any other text.
ZIMBEL_API void ZimbelSetColorText(int controlId, const char* text);
ZIMBEL_API char* ZimbelColorText(int controlId);

// The size a size slider's position gives (the field takes it, the slider
// shows it): down to the slider's step, so 1-15 give 0.
ZIMBEL_API int ZimbelSliderSize(int position);

// What the panel offers, as the dialog offers it, in one JSON text:
//   {"fieldDigits", "textLength", "sizeStep", "sliderPage", "sliderMin",
//    "sliderMax",
//    "settings": [{"id", "kind" (integer, number, choice, flag, color),
//                  "option" (the exporter's), "default" (as the exporter
//                  writes it), "lower", "upper" (a spin's range, a list's
//                  indexes), "choices" (the exporter's names), "labels"
//                  (the dialog's item texts; the line styles' names),
//                  "offOption" (the exporter's option that turns a box
//                  off), "slider" (the id of the slider a field drives),
//                  "locks" (the field a box makes read-only while on)},
//                 ...],
//    "lineSamples": [[[first, last], ...], ...]}  the line-style list's
//                  black runs on rows 7 and 8 of a 64 x 16 sample
ZIMBEL_API char* ZimbelSettings();

// The text edit 1000-1009 shows now; "" for any other id. At start the
// dialog's initial texts: "0" "200" "10" "10" "1" "4" "20" "1" "0" "".
ZIMBEL_API char* ZimbelFieldText(int editId);

// The settings now in effect, as ZimbelSetValue takes them (1020-1026; 0 for
// any other id): lets the page show what the core holds.
ZIMBEL_API int ZimbelValue(int controlId);

ZIMBEL_API int ZimbelImageWidth();
ZIMBEL_API int ZimbelImageHeight();

// What the main window's client area of viewWidth x viewHeight shows
// scrolled to (scrollX, scrollY), frame of a transparent image included,
// drawn on Module.zimbelContext from its top left corner, pixelRatio canvas
// pixels to the image's pixel (the device pixel ratio; 1 where it is not a
// number in (0, 16]). The canvas need cover no more of the view than the
// image does (the smaller of the two sizes, times the ratio): nothing is
// drawn beyond it. Scroll positions are clamped as a
// scroll bar clamps them (0 to image size - view size). As in the window,
// the scroll moves the graph, not the frame, and the part of the view
// beyond the image is left transparent.
ZIMBEL_API void ZimbelPaint(int scrollX, int scrollY, int viewWidth, int viewHeight, double pixelRatio);

// The whole picture as the exporter draws it (no frame, no scroll) on
// Module.zimbelContext, whose canvas must be ZimbelImageWidth() x
// ZimbelImageHeight(). Nothing is drawn when either is below 1.
ZIMBEL_API void ZimbelPaintImage();

// The whole picture as `zimbelplot-export --format svg` writes it for the
// same data and settings, byte for byte (it holds no NUL: its length is
// where the NUL stands). "" when the image is empty (a width or height
// below 1), where the exporter refuses.
ZIMBEL_API char* ZimbelSvg();

// The fragment of a link that carries the graph now on screen (no "#"):
// the settings that differ from the start and the values, exactly.
ZIMBEL_API char* ZimbelLink();

// The graph's text alternative, as the SVG's title gives it in English:
// Japanese when `english` is 0.
ZIMBEL_API char* ZimbelGraphText(int english);

// Shows the graph of a fragment ZimbelLink wrote (no "#"): every field then
// holds the exact text of its setting, and nothing is written through
// onFieldWritten. 1 when opened; 0 for anything else (damaged, cut short,
// longer than any link, from a later version), and then the graph, the
// settings and the fields are as they were.
ZIMBEL_API int ZimbelOpenLink(const char* fragment);

// "zimbelplot ver 1.2": the program's name and version, as About shows them.
ZIMBEL_API char* ZimbelAboutText();

// The loaded values (0 to 512 of them), each as the fewest characters that
// read back as exactly the value read; "" for an index outside them. The
// lowest and highest of them the same way ("" when none is loaded).
ZIMBEL_API int ZimbelValueCount();
ZIMBEL_API char* ZimbelValueText(int index);
ZIMBEL_API char* ZimbelLowestText();
ZIMBEL_API char* ZimbelHighestText();

// The drawn point whose marker is centred nearest to column x of the image
// (never scrolled), the first of two as near; -1 when no point is drawn.
// ZimbelPointX and ZimbelPointY: where point `index`'s marker is centred in
// the image, clamped to the int range.
ZIMBEL_API int ZimbelNearestPoint(double x);
ZIMBEL_API int ZimbelPointX(int index);
ZIMBEL_API int ZimbelPointY(int index);

}  // extern "C"
