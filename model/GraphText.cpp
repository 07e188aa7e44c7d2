#include "model/GraphText.h"

#include <algorithm>

#include "model/FloatChars.h"

namespace {

// u8: UTF-8 whatever the compiler's character set for the window's texts.
const char kNoValues[][64] = {u8"グラフ(値はまだありません)", "Graph (no values yet)"};
const char kCountFirst[][64] = {"", "Line graph of "};
const char kCountAfter[][64] = {u8" 個の値の折れ線グラフ(最小 ", " values, lowest "};
const char kHighestBefore[][64] = {u8"、最大 ", ", highest "};
const char kEnd[][64] = {u8")", ""};

}  // namespace

std::string GraphText(const GraphData& d, TextLanguage language) {
  const int i = language == TextLanguage::English ? 1 : 0;
  const int count = std::clamp(d.count, 0, kMaxPoints);
  if (count == 0) return kNoValues[i];
  return kCountFirst[i] + std::to_string(count) + kCountAfter[i] + ShortestText(d.minValue) + kHighestBefore[i] +
         ShortestText(d.maxValue) + kEnd[i];
}
