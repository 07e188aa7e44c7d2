// The PNG check of the sweep must turn away damaged files, or a broken save
// would pass as a valid one.
#include <gtest/gtest.h>

#include <string>

#include "tests/reliability/PngFile.h"

namespace {

// 1 x 2 pixels, 8-bit RGBA, written by another encoder.
const std::string kTinyPng(
    "\x89\x50\x4E\x47\x0D\x0A\x1A\x0A\x00\x00\x00\x0D\x49\x48\x44\x52\x00\x00"
    "\x00\x01\x00\x00\x00\x02\x08\x06\x00\x00\x00\x99\x81\xB6\x27\x00\x00\x00"
    "\x12\x49\x44\x41\x54\x78\x9C\x63\xF8\xCF\xC0\xD0\xC0\xC0\xF0\x9F\xE1\x3F"
    "\x00\x0F\xFD\x03\x7E\xF9\xDF\x8A\x0D\x00\x00\x00\x00\x49\x45\x4E\x44\xAE"
    "\x42\x60\x82",
    75);

TEST(PngFile, ReadsTheOutlineOfAGoodFile) {
  PngOutline png = ReadPngOutline(kTinyPng);
  ASSERT_TRUE(png.valid) << png.fault;
  EXPECT_EQ(png.width, 1);
  EXPECT_EQ(png.height, 2);
  EXPECT_EQ(png.bitDepth, 8);
  EXPECT_EQ(png.colorType, 6);
}

TEST(PngFile, TurnsAwayDamagedFiles) {
  std::string flipped = kTinyPng;
  flipped[45] ^= 0x01;  // inside the image data
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"a bit flipped", flipped},
      {"cut short", kTinyPng.substr(0, kTinyPng.size() - 5)},
      {"without IEND", kTinyPng.substr(0, kTinyPng.size() - 12)},
      {"bytes after the end", kTinyPng + "x"},
      {"no signature", kTinyPng.substr(8)},
  };
  for (const auto& c : cases) EXPECT_FALSE(ReadPngOutline(c.bytes).valid) << c.name;
}

}  // namespace
