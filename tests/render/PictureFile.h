#pragma once
#include <cstdint>
#include <string>
#include <vector>

// An image file read back through the platform's decoder, as ARGB pixels
// (not premultiplied). Empty when the file cannot be read.
struct Picture {
  int width = 0;
  int height = 0;
  bool hasAlpha = false;  // decoded as 32-bit ARGB
  std::vector<uint32_t> pixels;

  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// GDI+ must be running.
Picture ReadPicture(const std::string& path);
