#include "render/SvgSurface.h"

#include <cstdio>

#include "model/FloatChars.h"
#include "model/GraphText.h"
#include "model/MarkupText.h"
#include "render/DarkInk.h"
#include "render/DashPattern.h"
#include "render/GraphRenderer.h"

namespace {

std::string Number(double value) { return ShortestText(value); }

// ` fill="#rrggbb"`, with an opacity only when the colour is not opaque.
std::string Paint(const char* attribute, Argb color) {
  char text[64];
  std::snprintf(text, sizeof text, " %s=\"#%06x\"", attribute, static_cast<unsigned>(color & 0xFFFFFFu));
  std::string paint = text;
  const unsigned alpha = color >> 24;
  if (alpha != 0xFF) paint += std::string(" ") + attribute + "-opacity=\"" + Number(alpha / 255.0) + "\"";
  return paint;
}

std::string Attribute(const char* name, double value) {
  return std::string(" ") + name + "=\"" + Number(value) + "\"";
}

}  // namespace

// Clearing replaces every pixel: whatever was drawn before is gone.
void SvgSurface::Clear(Argb color) {
  background_ = color;
  body_.clear();
}

void SvgSurface::DrawLine(const PenSpec& pen, int x1, int y1, int x2, int y2) {
  Stroked("<line" + Attribute("x1", x1) + Attribute("y1", y1) + Attribute("x2", x2) + Attribute("y2", y2),
          pen);
}

void SvgSurface::DrawLines(const PenSpec& pen, const SurfacePoint* points, int count) {
  if (count < 2) return;
  std::string element = "<polyline points=\"";
  for (int i = 0; i < count; ++i) {
    if (i > 0) element += ' ';
    element += Number(points[i].x) + "," + Number(points[i].y);
  }
  Stroked(element + "\" fill=\"none\"", pen);
}

void SvgSurface::DrawRectangle(const PenSpec& pen, int x, int y, int width, int height) {
  Stroked("<rect" + Attribute("x", x) + Attribute("y", y) + Attribute("width", width) +
              Attribute("height", height) + " fill=\"none\"",
          pen);
}

void SvgSurface::FillEllipse(Argb color, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  const double cx = x + width / 2.0;
  const double cy = y + height / 2.0;
  if (width == height) {
    body_ += "<circle" + Attribute("cx", cx) + Attribute("cy", cy) + Attribute("r", width / 2.0);
  } else {
    body_ += "<ellipse" + Attribute("cx", cx) + Attribute("cy", cy) + Attribute("rx", width / 2.0) +
             Attribute("ry", height / 2.0);
  }
  body_ += Paint("fill", color) + "/>\n";
}

void SvgSurface::FillRectangle(Argb color, int x, int y, int width, int height) {
  if (width <= 0 || height <= 0) return;
  body_ += "<rect" + Attribute("x", x) + Attribute("y", y) + Attribute("width", width) +
           Attribute("height", height) + Paint("fill", color) + "/>\n";
}

void SvgSurface::Stroked(const std::string& element, const PenSpec& pen) {
  std::string attributes = Paint("stroke", pen.color) + Attribute("stroke-width", pen.width);
  double dashes[kMaxDashLengths];
  const int count = DashLengths(pen, dashes);
  if (count > 0) {
    attributes += " stroke-dasharray=\"";
    for (int i = 0; i < count; ++i) attributes += (i > 0 ? " " : "") + Number(dashes[i]);
    attributes += "\"";
  }
  if (RoundDashEnds(pen)) attributes += " stroke-linecap=\"round\"";
  if (pen.roundCapsAndJoins) attributes += " stroke-linejoin=\"round\"";
  body_ += element + attributes + "/>\n";
}

std::string SvgSurface::Document() const {
  const std::string w = std::to_string(width_);
  const std::string h = std::to_string(height_);
  const std::string text = MarkupText(description_);
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + w + "\" height=\"" + h +
                    "\" viewBox=\"0 0 " + w + " " + h + "\" role=\"img\" aria-label=\"" + text + "\">\n"
                    "<title>" + text + "</title>\n";
  if (!(background_ >> 24)) svg += DarkSchemeStyle();
  if (background_ >> 24) svg += "<rect width=\"" + w + "\" height=\"" + h + "\"" + Paint("fill", background_) + "/>\n";
  const std::string centre = Number(kPixelCentre);
  svg += "<g transform=\"translate(" + centre + " " + centre + ")\">\n" + body_ + "</g>\n</svg>\n";
  return svg;
}

std::string SvgPicture(const GraphSettings& s, const GraphData& d) {
  SvgSurface svg(s.imageWidth, s.imageHeight, GraphText(d, TextLanguage::English));
  RenderImage(s, d, svg);
  return svg.Document();
}
