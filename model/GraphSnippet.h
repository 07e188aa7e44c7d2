#pragma once
#include <string>

#include "model/GraphModel.h"

// A graph's pictures as a zimbelplot-serve puts them at an address, and
// the snippets that put them on a page, written here once for the
// exporter, the server and the page.
//
// An address is the server's, the link, then for a PNG "@2x" or "@3x" for
// a screen of that many device pixels to the picture's one, then "-dark"
// for a dark page, then ".png"; an SVG is the link and ".svg" alone (it
// has no pixels, and follows the page's scheme itself).

constexpr char kDarkSuffix[] = "-dark";
// The scales a PNG is offered at.
constexpr int kPictureScaleMax = 3;

// "LINK@2x-dark.png": `scale` 1 to 3.
std::string PngName(const std::string& link, int scale, bool dark);

// `server` is an address ending in "/", such as "http://127.0.0.1:8016/".
// Markdown: ![text alternative](SVG address), readable on light and dark
// pages and sharp on any screen.
std::string MarkdownSnippet(const GraphSettings& s, const GraphData& d, const std::string& server);
// HTML: an <img> of the PNG with alt, width, height and a srcset for 2x
// and 3x, inside a <picture> whose dark-scheme source is the dark PNG when
// the background is transparent (a filled one never changes).
std::string HtmlSnippet(const GraphSettings& s, const GraphData& d, const std::string& server);
