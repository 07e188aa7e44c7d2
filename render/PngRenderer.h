#pragma once
#include <string>

#include "model/GraphModel.h"

// What the exporter asks of a platform's drawing library: GDI+ on Windows
// (render/gdiplus), Cairo elsewhere (render/cairo).

// For the whole run: GDI+ must be started before it draws.
void StartPngRenderer();
void StopPngRenderer();

// Draws the graph of `s` and `d` as the window's offscreen image holds it
// (never the frame that marks a transparent image on screen, never
// scrolled) and encodes it as an 8-bit RGBA PNG into `png`. On failure
// returns false and says why in `reason`, which stays empty when no image
// of the size could be made.
bool RenderPng(const GraphSettings& s, const GraphData& d, std::string& png, std::string& reason);
