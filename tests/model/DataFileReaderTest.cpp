#include <algorithm>
#include <string>
#include <vector>

#include "model/DataFileReader.h"
#include "model/NumberText.h"
#include "tests/model/ModelTest.h"

namespace {

using DataFileReader = ModelTest;

double ParseDoubleOf(const std::string& s) { return ParseDouble(s.c_str()); }

std::vector<double> Loaded() {
  return std::vector<double>(graphData.values, graphData.values + graphData.count);
}

TEST_F(DataFileReader, LoadsValuesSizesTheImageAndUpdatesTheDialog) {
  ASSERT_TRUE(LoadDataFile(WriteFile("1\n2\n3\n").c_str()));
  EXPECT_EQ(Loaded(), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(graphData.minValue, 1.0);
  EXPECT_EQ(graphData.maxValue, 3.0);
  EXPECT_EQ(graphSettings.imageWidth, 70);
  ASSERT_EQ(hookCalls.size(), 3u);
  EXPECT_EQ(hookCalls[0].name, "width");
  EXPECT_EQ(hookCalls[0].argument, "70");
  EXPECT_EQ(hookCalls[1].name, "ratio");
  EXPECT_EQ(hookCalls[1].argument, "1");
  EXPECT_EQ(hookCalls[2].name, "show");
}

struct TextCase {
  const char* name;
  std::string bytes;
  std::vector<double> values;
};

TEST_F(DataFileReader, ReadsTextModeLinesLikeTheCRuntime) {
  const TextCase cases[] = {
      {"CR LF line ends", "1\r\n2\r\n3\r\n", {1, 2, 3}},
      {"no final line end", "1\n2\n3", {1, 2, 3}},
      {"empty lines skipped", "\n1\n\n\n2\n3\n\n", {1, 2, 3}},
      {"CR LF empty lines", "\r\n1\r\n\r\n2\r\n", {1, 2}},
      {"a lone CR stays in the line", "1\r2\n3\r\n", {1, 3}},
      {"a lone CR line counts as 0", "\r\n\r\r\n", {0}},
      {"Ctrl-Z ends the file", "1\n2\x1a\n3\n", {1, 2}},
      {"Ctrl-Z first", "\x1a" "1\n", {}},
      {"blanks count as 0", "  \n5\n", {0, 5}},
      {"syntax", "-2.5e1\n2.5D1\n 7\nx7\n0x1A\n1,5\n", {-25, 25, 7, 0, 0, 1}},
      {"empty file", "", {}},
      {"a NUL byte is a character", std::string("\0\n4\n", 4), {0, 4}},
  };
  for (const TextCase& c : cases) {
    ResetGraphModel();
    ASSERT_TRUE(LoadDataFile(WriteFile(c.bytes).c_str())) << c.name;
    EXPECT_EQ(Loaded(), c.values) << c.name;
  }
}

TEST_F(DataFileReader, ReadsLongLinesInPiecesOf255) {
  std::string first(300, '1');
  std::string exact(255, '2');
  std::string almost(254, '3');
  ASSERT_TRUE(LoadDataFile(WriteFile(first + "\n" + exact + "\n" + almost + "\r\n").c_str()));
  ASSERT_EQ(graphData.count, 4);  // 255 + 45 characters, then 255, then 254
  EXPECT_EQ(graphData.values[0], ParseDoubleOf(std::string(255, '1')));
  EXPECT_EQ(graphData.values[1], ParseDoubleOf(std::string(45, '1')));
  EXPECT_EQ(graphData.values[2], ParseDoubleOf(exact));
  EXPECT_EQ(graphData.values[3], ParseDoubleOf(almost));
}

TEST_F(DataFileReader, StopsAt512Values) {
  std::string text;
  for (int i = 0; i < 600; ++i) text += std::to_string(i) + "\n";
  ASSERT_TRUE(LoadDataFile(WriteFile(text).c_str()));
  EXPECT_EQ(graphData.count, 512);
  EXPECT_EQ(graphData.maxValue, 511.0);
  EXPECT_EQ(graphSettings.imageWidth, 20 * 512 + 10);
}

// A file that arrives in slices (the page reads a huge one so) reads as the
// file read whole wherever a slice ends (between CR and LF, inside a piece),
// and the reader wants no more bytes once it has all it reads.
TEST_F(DataFileReader, ReadsAFileInSlicesAsAWhole) {
  const std::string text = "1\r\n\r\n2\r" + std::string(300, '7') + "\n\r\n-3\r";
  ASSERT_TRUE(LoadDataFile(WriteFile(text).c_str()));
  const std::vector<double> whole = Loaded();
  ASSERT_EQ(whole.size(), 4u);
  for (size_t slice : {1, 2, 3, 254, 256, 1000}) {
    ResetGraphModel();
    DataReader reader;
    for (size_t at = 0; at < text.size(); at += slice) {
      EXPECT_TRUE(reader.Feed(text.data() + at, std::min(slice, text.size() - at))) << slice;
    }
    reader.Finish();
    LoadFedValues(reader.Values());
    EXPECT_EQ(Loaded(), whole) << slice;
  }

  std::string many;
  for (int i = 0; i < 600; ++i) many += "5\r\n";
  DataReader full;
  EXPECT_TRUE(full.Feed(many.data(), 512 * 3 - 1));
  EXPECT_FALSE(full.Feed(many.data() + 512 * 3 - 1, 1)) << "the 512th value ends at its LF";
  DataReader ended;
  EXPECT_TRUE(ended.Feed(many.data(), 511 * 3));
  EXPECT_FALSE(ended.Feed("1\x1a", 2)) << "Ctrl-Z ends the file";
  ended.Finish();
  EXPECT_EQ(ended.Values().count, 512);
}

TEST_F(DataFileReader, FindsMinimumAndMaximumInOnePass) {
  ASSERT_TRUE(LoadDataFile(WriteFile("-1\n5\n2\n9\n-3\n").c_str()));
  EXPECT_EQ(graphData.minValue, -3.0);
  EXPECT_EQ(graphData.maxValue, 9.0);
  ASSERT_TRUE(LoadDataFile(WriteFile("1\n2\n3\n4\n").c_str()));
  EXPECT_EQ(graphData.minValue, 1.0);
  EXPECT_EQ(graphData.maxValue, 4.0);
}

TEST_F(DataFileReader, AShorterLoadLeavesStaleValuesBeyondCount) {
  ASSERT_TRUE(LoadDataFile(WriteFile("1\n2\n3\n4\n").c_str()));
  ASSERT_TRUE(LoadDataFile(WriteFile("9\n8\n").c_str()));
  EXPECT_EQ(graphData.count, 2);
  EXPECT_EQ(graphData.values[0], 9.0);
  EXPECT_EQ(graphData.values[2], 3.0);
  EXPECT_EQ(graphData.values[3], 4.0);
}

TEST_F(DataFileReader, AFileWithoutValuesKeepsTheLastRangeAndStillShowsTheDialog) {
  ASSERT_TRUE(LoadDataFile(WriteFile("4\n-2\n").c_str()));
  hookCalls.clear();
  ASSERT_TRUE(LoadDataFile(WriteFile("\n\n").c_str()));
  EXPECT_EQ(graphData.count, 0);
  EXPECT_EQ(graphData.minValue, -2.0);
  EXPECT_EQ(graphData.maxValue, 4.0);
  EXPECT_EQ(graphSettings.imageWidth, graphSettings.leftMargin);
  ASSERT_EQ(hookCalls.size(), 3u);
  EXPECT_EQ(hookCalls[2].name, "show");
}

TEST_F(DataFileReader, AMissingOrUnreadablePathChangesNothing) {
  ASSERT_TRUE(LoadDataFile(WriteFile("1\n2\n3\n").c_str()));
  hookCalls.clear();
  EXPECT_FALSE(LoadDataFile("no such file.txt"));
  EXPECT_FALSE(LoadDataFile("."));  // a folder
  EXPECT_EQ(Loaded(), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(graphSettings.imageWidth, 70);
  EXPECT_TRUE(hookCalls.empty());
}

TEST_F(DataFileReader, SaturatesTheWidthOfHostileSettings) {
  graphSettings.pointInterval = 2147483647;
  ASSERT_TRUE(LoadDataFile(WriteFile("1\n2\n").c_str()));
  EXPECT_EQ(graphSettings.imageWidth, 2147483647);
  graphSettings.pointInterval = -2147483647;
  ASSERT_TRUE(LoadDataFile(WriteFile("1\n2\n").c_str()));
  EXPECT_EQ(graphSettings.imageWidth, -2147483647 - 1);
}

}  // namespace
