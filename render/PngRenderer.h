#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "model/GraphModel.h"

// What the exporter asks of a platform's drawing library: GDI+ on Windows
// (render/gdiplus), Cairo elsewhere (render/cairo).

// Whether pictures may be drawn on several threads at once: Cairo draws
// separate images independently; GDI+ stays on the thread that started it.
extern const bool kPngDrawnOnAnyThread;

// The pixels a program holds drawn at once, beyond one picture larger than
// this (512 MiB of RGBA): a batch or a server stays flat in memory however
// many pictures it is asked for.
constexpr uint64_t kPixelsDrawnAtOnce = uint64_t{128} << 20;

// The most device pixels, each way, that one picture pixel may be drawn
// with: the picture at scale N is the same graph with every length N times,
// for screens that show N device pixels to the picture's one.
extern const int kPngScaleMax;

// For the whole run: GDI+ must be started before it draws.
void StartPngRenderer();
void StopPngRenderer();

// A drawn picture on its way to a PNG. Its parts may be encoded on any
// threads, several at once, each once; Finish then joins them. The parts
// follow the picture's size alone, so its bytes never depend on how many
// threads made it.
class PngDraft {
 public:
  virtual ~PngDraft() = default;
  virtual int Parts() const = 0;
  virtual void EncodePart(int part) = 0;
  // An 8-bit RGBA PNG into `png`, or false with the reason.
  virtual bool Finish(std::string& png, std::string& reason) = 0;
};

// How a picture is drawn for the screen and the page it is shown on.
struct PngLook {
  int scale = 1;      // device pixels to the picture's pixel, each way: 1 to kPngScaleMax
  bool dark = false;  // for a dark page (see DarkInk)
};

// Draws the graph of `s` and `d` as the window's offscreen image holds it
// (never the frame that marks a transparent image on screen, never
// scrolled), on the calling thread, as `look` says. On failure returns null
// and says why in `reason`, which stays empty when no image of the size
// could be made.
std::unique_ptr<PngDraft> DrawPng(const GraphSettings& s, const GraphData& d, const PngLook& look,
                                  std::string& reason);
