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
//   Module.onFieldWritten(id, text)  the core wrote field `id` (a field row):
//                                    the width after a load, the ratio after
//                                    a recalculation. The text is already the
//                                    setting; show it, do not send it back.
//   Module.onShowTool()              after a load: show the tool panel.
// From the page to the core, before each paint:
//   Module.zimbelContext             the CanvasRenderingContext2D (or an
//                                    OffscreenCanvas's) ZimbelPaint and
//                                    ZimbelPaintImage draw on.
//
// Control ids are those of the tool dialog; ZimbelSettings gives each with
// its kind: a field row (integer, number) is an edit, the others (choice,
// flag, color) a list, a box or a colour.
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

// Reads a data file as the window reads a file, in slices, so that a huge
// one is read only as far as the reader reads: CR LF is one line end, ^Z
// ends the file, each 255-character piece of a line is a value, a piece
// that is not a number is 0, at most 512 values. ZimbelLoadBegin gives a
// reader, the caller's until ZimbelLoadEnd; ZimbelLoadMore takes each slice
// in file order while it returns 1 (0: the reader has all it reads).
// ZimbelLoadEnd(reader, 1) loads what was read: the width field is written
// (onFieldWritten), the ratio recalculated and written (onFieldWritten) and
// the panel shown (onShowTool). ZimbelLoadEnd(reader, 0), for a file that
// could not be read to the end of what is wanted, leaves graph and settings
// as they were. Either frees the reader.
class DataReader;
ZIMBEL_API DataReader* ZimbelLoadBegin();
ZIMBEL_API int ZimbelLoadMore(DataReader* reader, const unsigned char* bytes, int size);
ZIMBEL_API void ZimbelLoadEnd(DataReader* reader, int complete);

// A field's edit now shows `text` (what the user typed, as typed; the
// page's edit holds it, as the dialog's does): it is parsed into its setting as the dialog parses it, with the row's effect
// (rescale: the ratio is recalculated and its field written through
// onFieldWritten). Texts longer than the table's textLength bytes are cut
// there, as the dialog's buffer does.
ZIMBEL_API void ZimbelSetText(int editId, const char* text);

// A list, box or colour: a list's index (one outside the row's lower and
// upper is ignored, as the dialog ignores it), a box's 0 or 1, a colour as
// 0x00BBGGRR, with the row's effect: "rescale" (turned on) recalculates the
// ratio and writes its field; "opaque" (set even to the colour it has)
// turns transparency off, so the page reads the boxes back and sets such a
// colour when the user reaches for its chooser.
ZIMBEL_API void ZimbelSetValue(int controlId, int value);

// Colour rows as "#RRGGBB", as a colour input and the exporter
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
//                  (each item's [Japanese, English]: the dialog's item
//                  texts; the line styles' names), "effect" (rescale,
//                  opaque: what setting it does to the others),
//                  "start" (a field's text as the dialog starts it),
//                  "offOption" (the exporter's option that turns a box
//                  off), "slider" (the id of the slider a field drives),
//                  "locks" (the field a box makes read-only while on)},
//                 ...],
//    "lineSamples": [[[first, last], ...], ...]}  the line-style list's
//                  black runs on rows 7 and 8 of a 64 x 16 sample
ZIMBEL_API char* ZimbelSettings();

// The text that shows a field's setting now exactly (it reads back as the
// same setting): what the page writes in every field after opening a
// link; "" for any other id. At start the fields hold the table's "start".
ZIMBEL_API char* ZimbelFieldText(int editId);

// The settings now in effect, as ZimbelSetValue takes them (0 for a field
// or any other id): lets the page show what the core holds.
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

// The snippet zimbelplot-export --format markdown (`html` 0) or html
// (`html` 1) prints for the graph on screen, naming the server at
// `server` (an address ending in "/").
ZIMBEL_API char* ZimbelSnippet(int html, const char* server);

// Shows the graph of a fragment ZimbelLink wrote (no "#"); nothing is
// written through onFieldWritten: the page shows every field's
// ZimbelFieldText. 1 when opened; 0 for anything else (damaged, cut short,
// longer than any link, from a later version), and then the graph, the
// settings and the fields are as they were.
ZIMBEL_API int ZimbelOpenLink(const char* fragment);

// "zimbelplot ver 1.2": the program's name and version, as About shows them.
ZIMBEL_API char* ZimbelAboutText();

// "zimbelplot-serve": the name before "/" in the Server header of the one
// host that draws a link's picture.
ZIMBEL_API char* ZimbelServerProduct();

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
