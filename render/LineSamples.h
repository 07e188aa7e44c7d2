#pragma once
#include "model/GraphModel.h"

// The line-style samples the tool dialog's list shows, 64 x 16 pixels with
// the line on rows 7 and 8: the black runs of each, first and last pixel.
// tools/make-line-bitmaps.py draws the dialog's bitmaps from this table and
// the page draws its list from it.

struct PixelRun {
  int first;
  int last;
};

constexpr int kMaxSampleRuns = 14;

struct LineSample {
  int count;
  PixelRun runs[kMaxSampleRuns];
};

constexpr LineSample kLineSamples[kLineStyleCount] = {
    {1, {{6, 57}}},
    {3, {{6, 21}, {25, 39}, {43, 57}}},
    {14, {{6, 7}, {10, 11}, {14, 15}, {18, 19}, {22, 23}, {26, 27}, {30, 31}, {34, 35}, {38, 39}, {42, 43},
          {46, 47}, {50, 51}, {54, 55}, {58, 59}}},
    {5, {{6, 18}, {22, 23}, {27, 38}, {42, 43}, {47, 58}}},
    {7, {{6, 16}, {19, 20}, {23, 24}, {27, 37}, {40, 41}, {44, 45}, {48, 58}}},
};
