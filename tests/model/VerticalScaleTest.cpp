#include <cmath>

#include "model/DataFileReader.h"
#include "model/VerticalScale.h"
#include "tests/model/ModelTest.h"

namespace {

class VerticalScale : public ModelTest {
 protected:
  void LoadWithAutoRatio(const char* text) {
    graphSettings.autoRatio = true;
    ASSERT_TRUE(LoadDataFile(WriteFile(text).c_str()));
  }
  std::string ShownRatio() const {
    for (auto it = hookCalls.rbegin(); it != hookCalls.rend(); ++it)
      if (it->name == "ratio") return it->argument;
    return "(none)";
  }
};

TEST_F(VerticalScale, FitsPositiveValuesBetweenTheMargins) {
  LoadWithAutoRatio("1\n2\n3\n");
  EXPECT_EQ(graphSettings.ratio, 60.0);
  EXPECT_EQ(graphSettings.baseline, 10);
  EXPECT_EQ(ShownRatio(), "60");
}

TEST_F(VerticalScale, RaisesTheBaselineByTheNegativePart) {
  LoadWithAutoRatio("-1\n3\n");
  EXPECT_EQ(graphSettings.ratio, 45.0);
  EXPECT_EQ(graphSettings.baseline, 55);
}

TEST_F(VerticalScale, TheRatioInEffectIsTheShownRounding) {
  LoadWithAutoRatio("1\n2\n7\n");
  EXPECT_EQ(ShownRatio(), "25.7143");
  EXPECT_EQ(graphSettings.ratio, 25.7143);
}

TEST_F(VerticalScale, TheBaselineComesFromTheUnroundedRatio) {
  // 180 / 54 = 3.333...: -6 x that is -20, while -6 x 3.33333 would truncate to -19.
  LoadWithAutoRatio("-6\n48\n");
  EXPECT_EQ(graphSettings.ratio, 3.33333);
  EXPECT_EQ(graphSettings.baseline, 30);
}

TEST_F(VerticalScale, WithoutAutoRatioOnlyRoundsTheTypedRatio) {
  graphSettings.ratio = 0.123456789;
  graphSettings.baseline = 33;
  RecalcRatio();
  EXPECT_EQ(graphSettings.ratio, 0.123457);
  EXPECT_EQ(graphSettings.baseline, 33);
  EXPECT_EQ(ShownRatio(), "0.123457");
}

TEST_F(VerticalScale, DataWithoutExtentIsDrawnFlat) {
  const char* flatFiles[] = {"0\n0\n", "-3\n-3\n", ""};
  for (const char* text : flatFiles) {
    ResetGraphModel();
    LoadWithAutoRatio(text);
    EXPECT_EQ(graphSettings.ratio, 0.0) << text;
    EXPECT_EQ(graphSettings.baseline, 10) << text;
    EXPECT_EQ(ShownRatio(), "0") << text;
  }
}

TEST_F(VerticalScale, ASmallImageTurnsTheGraphUpsideDown) {
  graphSettings.imageHeight = 10;
  LoadWithAutoRatio("1\n2\n");
  EXPECT_EQ(graphSettings.ratio, -5.0);
}

TEST_F(VerticalScale, ExtremeDataStaysFinite) {
  LoadWithAutoRatio("-1e308\n1e308\n");
  EXPECT_EQ(graphSettings.ratio, 0.0);  // 180 / inf
  LoadWithAutoRatio("1e-320\n");
  EXPECT_EQ(graphSettings.ratio, 0.0);  // 180 / 1e-320 overflows
  graphSettings.imageHeight = 2147483647;
  graphSettings.verticalMargin = -2147483647;
  LoadWithAutoRatio("-1\n1e-300\n");
  EXPECT_TRUE(std::isfinite(graphSettings.ratio));
  EXPECT_EQ(graphSettings.baseline, 1);  // -2147483647 - trunc(-6.4e9), saturated
}

}  // namespace
