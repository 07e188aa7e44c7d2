#pragma once
#include <gtest/gtest.h>

#include <initializer_list>

#include "model/GraphModel.h"
#include "tests/support/ResetGraphModel.h"

// Every test starts from the program's start-up state.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetGraphModel(); }

  // What a load leaves behind: the values, their range and an image as wide
  // as they need.
  static void Load(std::initializer_list<double> values) {
    GraphData& d = graphData;
    d.count = 0;
    for (double v : values) {
      if (d.count == 0 || v < d.minValue) d.minValue = v;
      if (d.count == 0 || v > d.maxValue) d.maxValue = v;
      d.values[d.count++] = v;
    }
    graphSettings.imageWidth = graphSettings.pointInterval * d.count + graphSettings.leftMargin;
  }
};
