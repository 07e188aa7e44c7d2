#include "model/GraphSnippet.h"

#include "model/GraphLink.h"
#include "model/GraphText.h"
#include "model/MarkupText.h"

namespace {

// "A.png, A@2x.png 2x, A@3x.png 3x" for the PNGs of one scheme, from scale
// `from` on.
std::string SourceSet(const std::string& address, bool dark, int from) {
  std::string set;
  for (int scale = from; scale <= kPictureScaleMax; ++scale) {
    if (!set.empty()) set += ", ";
    set += address + PngName("", scale, dark) + (scale > 1 ? " " + std::to_string(scale) + "x" : "");
  }
  return MarkupText(set);
}

}  // namespace

std::string PngName(const std::string& link, int scale, bool dark) {
  return link + (scale > 1 ? "@" + std::to_string(scale) + "x" : "") + (dark ? kDarkSuffix : "") + ".png";
}

std::string MarkdownSnippet(const GraphSettings& s, const GraphData& d, const std::string& server) {
  std::string alt;
  for (char c : GraphText(d, TextLanguage::English)) {
    if (c == '[' || c == ']' || c == '\\') alt += '\\';
    alt += c;
  }
  return "![" + alt + "](" + server + LinkFragment(s, d) + ".svg)";
}

std::string HtmlSnippet(const GraphSettings& s, const GraphData& d, const std::string& server) {
  const std::string address = server + LinkFragment(s, d);
  const std::string alt = MarkupText(GraphText(d, TextLanguage::English));
  const std::string image = "<img src=\"" + MarkupText(address + PngName("", 1, false)) + "\" srcset=\"" +
                            SourceSet(address, false, 2) + "\" alt=\"" + alt + "\" width=\"" +
                            std::to_string(s.imageWidth) + "\" height=\"" + std::to_string(s.imageHeight) + "\">";
  if (!s.transparent) return image;
  return "<picture><source media=\"(prefers-color-scheme: dark)\" srcset=\"" + SourceSet(address, true, 1) + "\">" +
         image + "</picture>";
}
