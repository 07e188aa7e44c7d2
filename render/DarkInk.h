#pragma once
#include <string>

#include "model/GraphModel.h"
#include "render/DrawingSurface.h"

// A picture for a dark page. On a transparent picture, black (the axes
// always, the line and the points unless given another colour: the link
// cannot tell a black the user chose from the one they left alone) would
// vanish on a dark page, so there it is drawn in kDarkInk, its opacity
// kept. Every other colour, and any filled background, stays as it is.
constexpr Argb kDarkInk = 0xFFFFFFFFu;

// The graph as RenderImage draws it, for a dark page when `dark` is set.
void RenderImageForScheme(const GraphSettings& s, const GraphData& d, bool dark, DrawingSurface& image);

// The same rule for an SVG, which follows the page it is shown on: a
// <style> element for the document.
std::string DarkSchemeStyle();
