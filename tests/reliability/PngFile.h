#pragma once
#include <string>

// The outline of a PNG file as its chunks give it, every chunk's CRC checked.
struct PngOutline {
  bool valid = false;  // signature, IHDR first, IDAT, IEND last, all CRCs right
  std::string fault;   // why not, when not valid
  int width = 0;
  int height = 0;
  int bitDepth = 0;
  int colorType = 0;  // 6: RGBA
};

PngOutline ReadPngOutline(const std::string& bytes);
