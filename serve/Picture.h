#pragma once
#include <cstdint>
#include <string>

#include "model/GraphModel.h"
#include "render/PngRenderer.h"

// A graph's picture as the server hands it out: the bytes zimbelplot-export
// writes for the same settings and values.

enum class PictureKind { Png, Svg };

// The largest picture a server draws unless told otherwise (--max-pixels).
constexpr int kMaxPixelsDefault = 4096 * 4096;

struct PictureJob {
  PictureKind kind = PictureKind::Png;
  std::string key;  // the kind's letter and the link: what the cache keeps it by
  std::string etag;
  GraphSettings settings;
  GraphData data;
  PngLook look;  // a PNG's
  uint64_t pixels = 0;
};

// The picture of `job` into `bytes`; false with the drawing library's reason.
bool DrawPicture(const PictureJob& job, std::string& bytes, std::string& reason);
