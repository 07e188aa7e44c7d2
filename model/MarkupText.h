#pragma once
#include <string>

// Text as XML's or HTML's character data or a quoted attribute's value:
// the SVG's title and label, a snippet's alt text and addresses.
std::string MarkupText(const std::string& text);
