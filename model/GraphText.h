#pragma once
#include <string>

#include "model/GraphModel.h"

// The graph in words, for whoever cannot see the picture: a screen reader
// on the page, the title of an SVG, the alt text of a snippet. Written
// here once, so every front end says the same.

enum class TextLanguage { Japanese, English };

// "Line graph of 4 values, lowest -1.25, highest 3" (or its Japanese), each
// number as the fewest characters that read back as the value read;
// "Graph (no values yet)" when none is loaded. UTF-8.
std::string GraphText(const GraphData& d, TextLanguage language);
