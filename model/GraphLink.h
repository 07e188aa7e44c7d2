#pragma once
#include <cstddef>
#include <string>

#include "model/GraphModel.h"

// A graph carried in a link's fragment, so that any front end can open what
// another one handed on: the settings that differ from StartSettings by the
// exporter's option names, the values as their shortest texts packed four
// bits a character into base64url, and a checksum that a damaged or
// truncated link fails. "z1&line-width=3&v=...&c=1A2B3C4D".

// 512 values of the longest text and every setting fit with room to spare;
// anything longer is refused before it is read.
constexpr size_t kLinkMaxLength = 16384;

// What every link starts with: the version of its form, which a later one
// would change.
constexpr char kLinkPrefix[] = "z1";

// The fragment for `s` and `d` (no "#"). The values are finite, as the
// reader makes them.
std::string LinkFragment(const GraphSettings& s, const GraphData& d);

// The graph of a fragment LinkFragment wrote, into `s` and `d`; false for
// anything else, and then `s` and `d` are untouched.
bool ReadLinkFragment(const char* text, size_t length, GraphSettings& s, GraphData& d);

// The eight hexadecimal digits after "&c=" for the text before it.
std::string LinkChecksum(const std::string& text);
