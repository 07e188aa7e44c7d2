#pragma once
#include <string>

#include "serve/Picture.h"

// A small graph's picture to draw: `values` values, `width` pixels wide.
PictureJob TestJob(const std::string& key, int values = 8, int width = 200, PictureKind kind = PictureKind::Svg);
