#include "tests/reliability/PngFile.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t Crc32(const unsigned char* data, size_t size) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

uint32_t BigEndian(const unsigned char* p) {
  return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

PngOutline Fault(const char* why) {
  PngOutline outline;
  outline.fault = why;
  return outline;
}

}  // namespace

PngOutline ReadPngOutline(const std::string& file) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const auto* bytes = reinterpret_cast<const unsigned char*>(file.data());
  if (file.size() < 8 || std::memcmp(bytes, kSignature, 8) != 0) return Fault("no PNG signature");

  PngOutline outline;
  bool seenData = false;
  size_t at = 8;
  for (int index = 0;; ++index) {
    if (file.size() - at < 12) return Fault("a chunk runs past the end");
    const uint32_t length = BigEndian(bytes + at);
    if (length > file.size() - at - 12) return Fault("a chunk runs past the end");
    const unsigned char* type = bytes + at + 4;
    const unsigned char* data = type + 4;
    if (Crc32(type, length + 4) != BigEndian(data + length)) return Fault("a chunk's CRC is wrong");
    const std::string name(reinterpret_cast<const char*>(type), 4);
    if ((index == 0) != (name == "IHDR")) return Fault("IHDR is not the first chunk");
    if (name == "IHDR") {
      if (length != 13) return Fault("IHDR has the wrong length");
      outline.width = static_cast<int>(BigEndian(data));
      outline.height = static_cast<int>(BigEndian(data + 4));
      outline.bitDepth = data[8];
      outline.colorType = data[9];
    } else if (name == "IDAT") {
      // The first IDAT opens the zlib stream: deflate, and a header check that holds.
      if (!seenData && (length < 2 || (data[0] & 0x0F) != 8 || (data[0] << 8 | data[1]) % 31 != 0))
        return Fault("the image data is not a zlib stream");
      seenData = true;
    }
    at += 12 + length;
    if (name == "IEND") {
      if (at != file.size()) return Fault("bytes after IEND");
      break;
    }
  }
  if (!seenData) return Fault("no image data");
  if (outline.width <= 0 || outline.height <= 0) return Fault("an empty image");
  outline.valid = true;
  return outline;
}
