// The graph's text alternative, as the page, the SVG and the snippets give it.
#include <gtest/gtest.h>

#include "model/GraphText.h"

namespace {

TEST(GraphTextTest, SaysHowManyValuesAndTheirRangeInEachLanguage) {
  GraphData d;
  EXPECT_EQ("Graph (no values yet)", GraphText(d, TextLanguage::English));
  EXPECT_EQ(u8"グラフ(値はまだありません)", GraphText(d, TextLanguage::Japanese));
  d.count = 4;
  d.minValue = -1.25;
  d.maxValue = 0.1 + 0.2;  // every digit a reader needs to tell it from 0.3
  EXPECT_EQ("Line graph of 4 values, lowest -1.25, highest 0.30000000000000004", GraphText(d, TextLanguage::English));
  EXPECT_EQ(u8"4 個の値の折れ線グラフ(最小 -1.25、最大 0.30000000000000004)", GraphText(d, TextLanguage::Japanese));
}

}  // namespace
