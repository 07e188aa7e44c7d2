// The link that carries a graph: what goes in comes out exactly, and
// anything that is not such a link, however near, loads nothing.
#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <string>

#include "model/GraphLink.h"
#include "model/SettingsTable.h"

namespace {

bool Read(const std::string& link, GraphSettings& s, GraphData& d) {
  return ReadLinkFragment(link.data(), link.size(), s, d);
}

std::string Sealed(const std::string& body) { return body + "&c=" + LinkChecksum(body); }

// The longest texts a double has, a sign of zero and the smallest
// subnormal among plain fractions: 512 of them, mostly the longest.
GraphData Extremes() {
  const double kinds[] = {-DBL_MAX, -0.0, 5e-324, 0.1, 123456789012345680000.0, 7, DBL_MAX};
  GraphData d;
  for (d.count = 0; d.count < kMaxPoints; ++d.count) {
    d.values[d.count] = d.count % 2 ? -2.2250738585072014e-308 : kinds[d.count / 2 % 7];
  }
  d.minValue = -DBL_MAX;
  d.maxValue = DBL_MAX;
  return d;
}

TEST(GraphLinkTest, CarriesEverySettingAndAll512ValuesExactly) {
  GraphSettings s = StartSettings();
  s.imageWidth = 10250;
  s.imageHeight = 0;
  s.lineWidth = 7;
  s.ratio = 25.714285714285715;
  s.yTickUnit = -1e-300;
  s.lineStyle = 4;
  s.colors[kBackgroundSlot] = 0x123456;
  s.colors[kLineSlot] = 0xABCDEF;
  s.transparent = false;
  s.autoRatio = true;
  s.pointKind = Square;
  s.displayMode = GraphOnly;
  s.baseline = INT32_MIN;
  const GraphData d = Extremes();
  const std::string link = LinkFragment(s, d);
  EXPECT_LT(link.size(), kLinkMaxLength);

  GraphSettings got = StartSettings();
  GraphData values;
  ASSERT_TRUE(Read(link, got, values));
  for (const SettingRow& row : kSettingRows) {
    if (row.kind == SettingKind::Number) {
      EXPECT_EQ(0, std::memcmp(&(s.*row.number), &(got.*row.number), sizeof(double))) << row.option;
    } else {
      EXPECT_EQ(row.access.read(s), row.access.read(got)) << row.option;
    }
  }
  EXPECT_EQ(s.baseline, got.baseline);
  ASSERT_EQ(d.count, values.count);
  EXPECT_EQ(0, std::memcmp(d.values, values.values, sizeof d.values));
  EXPECT_EQ(d.minValue, values.minValue);
  EXPECT_EQ(d.maxValue, values.maxValue);
}

TEST(GraphLinkTest, WritesOnlyWhatDiffersFromTheStart) {
  GraphSettings s = StartSettings();
  EXPECT_EQ(Sealed("z1"), LinkFragment(s, GraphData()));
  s.lineWidth = 3;
  s.colors[kLineSlot] = 0x0000FF;
  GraphData d;
  d.count = 3;
  d.values[0] = 1.5;
  d.values[1] = -20;
  d.values[2] = 3;
  // "1.5,-20,3" as nibbles 1 a 5 e b 2 0 e 3, base64 two to three.
  EXPECT_EQ(Sealed("z1&line-width=3&line-color=FF0000&v=Gl6yDj"), LinkFragment(s, d));
  GraphSettings got;
  GraphData values;
  ASSERT_TRUE(Read(LinkFragment(s, d), got, values));
  EXPECT_EQ(-20, values.minValue);
  EXPECT_EQ(3, values.maxValue);
}

TEST(GraphLinkTest, RefusesAnythingElseAndChangesNothing) {
  GraphSettings s = StartSettings();
  s.pointSize = 9;
  const std::string good = LinkFragment(s, Extremes());
  std::vector<std::string> bad = {"", "z1", "z1&c=", "z2&c=" + LinkChecksum("z2"), std::string(1 << 20, 'A'),
                                  good + "&", good.substr(0, good.size() - 1) + "0",
                                  // Sealed, but not what the writer writes.
                                  Sealed("z1&point-size=4"), Sealed("z1&point-size=04"), Sealed("z1&point-size"),
                                  Sealed("z1&line-width=2&line-width=3"), Sealed("z1&height=1&width=1"),
                                  Sealed("z1&opaque=on"), Sealed("z1&zoom=2"), Sealed("z1&show=none"),
                                  Sealed("z1&background=#000000"), Sealed("z1&background=00000g"),
                                  Sealed("z1&ratio=1e999"), Sealed("z1&ratio=0x1p3"), Sealed("z1&baseline=10"),
                                  Sealed("z1&width=99999999999"), Sealed("z1&v="), Sealed("z1&v=AAA"),
                                  Sealed("z1&v=A*"), Sealed("z1&v=//"), Sealed("z1&v=G/bi4D"),
                                  Sealed("z1&v=Glbi4D&v=Glbi4D"), Sealed("z1&&v=Glbi4D"),
                                  Sealed("z1&v=" + std::string(2 * 171, 'B'))};
  // Cut anywhere, or any one character changed.
  for (size_t length = 0; length < good.size(); length += 7) bad.push_back(good.substr(0, length));
  for (size_t at = 0; at < good.size(); at += 5) {
    std::string damaged = good;
    damaged[at] = damaged[at] == 'A' ? 'B' : 'A';
    bad.push_back(damaged);
  }
  // 513 ones: "Hh4e" is "1,1,1,1,", "Hh" "1,1" and "4f" ",1" and a pad.
  std::string many;
  for (int i = 0; i < 170; ++i) many += "Hh4e";
  bad.push_back(Sealed("z1&v=" + many + "Hh4f"));

  for (const std::string& link : bad) {
    GraphSettings got = StartSettings();
    got.lineWidth = 42;
    GraphData values;
    values.count = 1;
    values.values[0] = 8;
    EXPECT_FALSE(Read(link, got, values)) << link.substr(0, 80);
    EXPECT_EQ(42, got.lineWidth);
    EXPECT_EQ(1, values.count);
    EXPECT_EQ(8, values.values[0]);
  }
  GraphSettings got;
  GraphData values;
  EXPECT_TRUE(Read(good, got, values));
}

}  // namespace
