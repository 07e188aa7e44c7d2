// The native PNG encoder against an independent decoder (libpng): every
// pixel of images with every kind of alpha, in one band and in many, with and
// without the Sub filter, its bands encoded in any order.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "render/cairo/PngBands.h"

namespace {

// Runs of the three kinds of pixel a graph has: transparent, opaque, and
// anti-aliased edges, premultiplied as Cairo keeps them.
std::vector<uint32_t> GraphLikePixels(int width, int height) {
  std::mt19937 random(width * 31 + height);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < pixels.size();) {
    const uint32_t kind = random() % 3;
    for (size_t run = 1 + random() % 40; run > 0 && i < pixels.size(); --run, ++i) {
      const uint32_t a = kind == 0 ? 0 : kind == 1 ? 255 : 1 + random() % 254;
      const uint32_t r = random() % (a + 1), g = random() % (a + 1), b = random() % (a + 1);
      pixels[i] = a << 24 | r << 16 | g << 8 | b;
    }
  }
  return pixels;
}

// What a PNG holds for a premultiplied pixel: R, G, B, A, each colour
// divided by the alpha, rounded.
std::vector<uint8_t> StraightBytes(const std::vector<uint32_t>& pixels) {
  std::vector<uint8_t> bytes;
  for (uint32_t p : pixels) {
    const uint32_t a = p >> 24;
    for (int shift : {16, 8, 0}) {
      const uint32_t c = p >> shift & 0xFF;
      bytes.push_back(static_cast<uint8_t>(a == 0 ? c : (c * 255 + a / 2) / a));
    }
    bytes.push_back(static_cast<uint8_t>(a));
  }
  return bytes;
}

std::string Encode(const std::vector<uint32_t>& pixels, int width, int height, bool sub, int* bandCount) {
  PngBands bands({reinterpret_cast<const unsigned char*>(pixels.data()), width, height, 4 * width}, sub);
  for (int band = bands.Count() - 1; band >= 0; --band) bands.Encode(band);
  *bandCount = bands.Count();
  std::string png, reason;
  EXPECT_TRUE(bands.Join(png, reason)) << reason;
  return png;
}

TEST(PngBandsTest, EveryPixelDecodesAsItWasDrawn) {
  const struct {
    int width;
    int height;
    int bands;
  } sizes[] = {{1, 1, 1}, {640, 200, 1}, {1, 5000, 1}, {300, 1000, 3}, {40000, 7, 3}};
  for (const auto& size : sizes) {
    const std::vector<uint32_t> pixels = GraphLikePixels(size.width, size.height);
    for (bool sub : {false, true}) {
      int bandCount = 0;
      const std::string png = Encode(pixels, size.width, size.height, sub, &bandCount);
      EXPECT_EQ(bandCount, size.bands) << size.width << " x " << size.height;

      png_image image = {};
      image.version = PNG_IMAGE_VERSION;
      ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
      EXPECT_EQ(image.width, static_cast<png_uint_32>(size.width));
      EXPECT_EQ(image.height, static_cast<png_uint_32>(size.height));
      image.format = PNG_FORMAT_RGBA;
      std::vector<uint8_t> decoded(PNG_IMAGE_SIZE(image));
      ASSERT_TRUE(png_image_finish_read(&image, nullptr, decoded.data(), 0, nullptr)) << image.message;
      EXPECT_TRUE(decoded == StraightBytes(pixels)) << size.width << " x " << size.height << (sub ? " sub" : "");
    }
  }
}

}  // namespace
