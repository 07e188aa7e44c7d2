#pragma once
#include <cstdint>
#include <memory>
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
  // Read from the link only for a picture to be drawn: a request for a kept
  // one neither reads it nor makes room for its 4 kB of values.
  std::shared_ptr<const GraphData> data;
  PngLook look;  // a PNG's
  uint64_t pixels = 0;
};

// The picture of `job` into `bytes`; false with the drawing library's reason.
bool DrawPicture(const PictureJob& job, std::string& bytes, std::string& reason);
