// The page's C API: the dialog's fields and their after-effects, driven as
// the page drives them (module-svg-test.js holds its SVG to the exporter's).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "model/GraphModel.h"
#include "resources/resource.h"
#include "tests/settings/SettingCases.h"
#include "web/PageEvents.h"
#include "web/WebApi.h"
#include "tests/support/ResetGraphModel.h"

namespace {

std::vector<std::string> events;

// The module's strings are the caller's.
std::string Taken(char* text) {
  const std::string copy = text;
  std::free(text);
  return copy;
}

}  // namespace

void NotifyFieldWritten(int editId, const char* text) { events.push_back(std::to_string(editId) + " " + text); }
void NotifyShowTool() { events.push_back("show"); }

namespace {

class WebApiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetGraphModel();
    events.clear();
  }

  static const unsigned char* Bytes(const std::string& text) {
    return reinterpret_cast<const unsigned char*>(text.data());
  }

  // A whole file in one slice, as the page loads a short one.
  static bool Load(const std::string& bytes) {
    DataReader* reader = ZimbelLoadBegin();
    ZimbelLoadMore(reader, Bytes(bytes), static_cast<int>(bytes.size()));
    ZimbelLoadEnd(reader, 1);
    return true;
  }
};

TEST_F(WebApiTest, ALoadWritesTheWidthAndTheRatioAndShowsTheTool) {
  // The dialog's first texts, as the table gives the page them.
  const std::string table = Taken(ZimbelSettings());
  const std::regex start("\"start\":\"([^\"]*)\"");
  std::vector<std::string> starts;
  for (std::sregex_iterator i(table.begin(), table.end(), start), end; i != end; ++i) starts.push_back((*i)[1]);
  EXPECT_EQ((std::vector<std::string>{"0", "200", "10", "10", "1", "4", "20", "1", "0", ""}), starts);

  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += std::to_string(i) + "\r\n";
  ASSERT_TRUE(Load(hundred));
  EXPECT_EQ(100, graphData.count);
  EXPECT_EQ(2010, ZimbelImageWidth());  // beyond the spin's range, as the window takes it
  EXPECT_EQ("2010", Taken(ZimbelFieldText(IDC_WIDTH)));
  EXPECT_EQ((std::vector<std::string>{"1000 2010", "1009 1", "show"}), events);
}

TEST_F(WebApiTest, ReadsExactlyTheBytesGivenAndLoadsOnlyWhatIsEnded) {
  ASSERT_TRUE(Load(std::string("1\n2\n3", 4)));  // the 3 lies beyond the size
  EXPECT_EQ(2, graphData.count);

  ASSERT_TRUE(Load(""));  // an empty file: no values, the width of the margin
  EXPECT_EQ(0, graphData.count);
  EXPECT_EQ(10, ZimbelImageWidth());

  // Slices that are no bytes are passed over.
  DataReader* reader = ZimbelLoadBegin();
  EXPECT_EQ(1, ZimbelLoadMore(reader, Bytes("5\n"), 2));
  EXPECT_EQ(1, ZimbelLoadMore(reader, nullptr, 3));
  EXPECT_EQ(1, ZimbelLoadMore(reader, Bytes("1"), -1));
  EXPECT_EQ(1, ZimbelLoadMore(reader, Bytes("6\n"), 2));
  ZimbelLoadEnd(reader, 1);
  EXPECT_EQ(2, graphData.count);
  EXPECT_EQ(50, ZimbelImageWidth());

  // A file not read to its end is dropped: graph, settings and page as they were.
  events.clear();
  reader = ZimbelLoadBegin();
  ZimbelLoadMore(reader, Bytes("1\n2\n3\n"), 6);
  ZimbelLoadEnd(reader, 0);
  EXPECT_EQ(2, graphData.count);
  EXPECT_EQ(50, ZimbelImageWidth());
  EXPECT_TRUE(events.empty());
  ZimbelLoadEnd(nullptr, 1);
}

// The changes the dialog makes, through the page's calls: each stores what
// the core stores, and a field keeps the text as typed.
TEST_F(WebApiTest, EachChangeIsStoredAsTheDialogStoresIt) {
  GraphSettings expected = StartSettings();
  for (const SettingCase& c : kSettingCases) {
    if (c.text) {
      ZimbelSetText(c.controlId, c.text);
    } else {
      ZimbelSetValue(c.controlId, c.value);
    }
    ApplyCase(expected, graphData, c);
    EXPECT_EQ("", Difference(expected, graphSettings)) << Describe(c);
  }
  ZimbelSetColorText(IDC_LINECOLOR, "#ff8000");
  EXPECT_EQ("#FF8000", Taken(ZimbelColorText(IDC_LINECOLOR)));
  ZimbelSetColorText(IDC_LINECOLOR, "red");
  EXPECT_EQ(0x0080FF, ZimbelValue(IDC_LINECOLOR));
}

TEST_F(WebApiTest, FieldsAreTheirSettingsWithTheDialogsAfterEffects) {
  // A typed ratio stays as typed (nothing is written back) until a height
  // change rewrites it.
  ZimbelSetText(IDC_RATIO, "0.50");
  EXPECT_EQ(0.5, graphSettings.ratio);
  EXPECT_TRUE(events.empty());
  ZimbelSetText(IDC_HEIGHT, "300");
  EXPECT_EQ(300, ZimbelImageHeight());
  EXPECT_EQ((std::vector<std::string>{"1009 0.5"}), events);

  ASSERT_TRUE(Load("1\n2\n7\n"));
  events.clear();
  ZimbelSetValue(IDC_AUTORATIO, 1);
  ZimbelSetText(IDC_VMARGIN, "20");
  ZimbelSetValue(IDC_AUTORATIO, 0);
  EXPECT_EQ((std::vector<std::string>{"1009 40", "1009 37.1429"}), events);
  EXPECT_EQ(37.1429, graphSettings.ratio);
  EXPECT_EQ(20, graphSettings.baseline);

  // What the dialog's buffer holds, and no more.
  ZimbelSetText(IDC_LEFTMARGIN, (std::string(254, ' ') + "17").c_str());
  EXPECT_EQ(1, graphSettings.leftMargin);
}

TEST_F(WebApiTest, ListsTakeOnlyTheirOwnIndexesAndColoursNoAlpha) {
  ZimbelSetValue(IDC_POINTKIND, -1);
  ZimbelSetValue(IDC_DISPLAY, 3);
  EXPECT_EQ(Circle, ZimbelValue(IDC_POINTKIND));
  EXPECT_EQ(GraphAndAxes, ZimbelValue(IDC_DISPLAY));
  ZimbelSetValue(IDC_BGCOLOR, 0x7F336699);
  EXPECT_EQ(0x336699u, graphSettings.backgroundColor());
  EXPECT_EQ(0, ZimbelValue(IDC_TRANSPARENT)) << "a background is an opaque one";
}

// What a link opens is what was on screen: the same SVG, and fields that
// read back as the same settings.
TEST_F(WebApiTest, ALinkOpensTheSameGraphAndABadOneNothing) {
  ASSERT_TRUE(Load("1\n-2\n7.25\n"));
  ZimbelSetText(IDC_RATIO, "3.14159265358979");
  ZimbelSetText(IDC_LINEWIDTH, "3");
  ZimbelSetValue(IDC_BGCOLOR, 0x336699);
  const std::string svg = Taken(ZimbelSvg());
  const std::string link = Taken(ZimbelLink());

  ResetGraphModel();
  events.clear();
  ASSERT_TRUE(ZimbelOpenLink(link.c_str()));
  EXPECT_EQ(svg, Taken(ZimbelSvg()));
  EXPECT_EQ("70", Taken(ZimbelFieldText(IDC_WIDTH)));
  EXPECT_EQ("3.14159265358979", Taken(ZimbelFieldText(IDC_RATIO)));
  EXPECT_EQ("3", Taken(ZimbelFieldText(IDC_LINEWIDTH)));

  ZimbelSetText(IDC_LINEWIDTH, "5");
  const std::string now = Taken(ZimbelSvg());
  for (const std::string& bad : {link.substr(0, link.size() - 1), link + "0", std::string("#") + link}) {
    EXPECT_FALSE(ZimbelOpenLink(bad.c_str()));
    EXPECT_EQ(now, Taken(ZimbelSvg()));
    EXPECT_EQ("5", Taken(ZimbelFieldText(IDC_LINEWIDTH)));
  }
  EXPECT_FALSE(ZimbelOpenLink(nullptr));
  EXPECT_TRUE(events.empty()) << "nothing is written back to the page";
}

// The page's words for the graph are the SVG's title, and its snippets
// name the link on screen.
TEST_F(WebApiTest, TheTextAlternativeAndSnippetsAreTheCoresForTheGraphOnScreen) {
  ASSERT_TRUE(Load("1\n-2\n7.25\n"));
  const std::string english = Taken(ZimbelGraphText(1));
  EXPECT_EQ("Line graph of 3 values, lowest -2, highest 7.25", english);
  EXPECT_EQ(u8"3 個の値の折れ線グラフ(最小 -2、最大 7.25)", Taken(ZimbelGraphText(0)));
  EXPECT_NE(std::string::npos, Taken(ZimbelSvg()).find("<title>" + english + "</title>"));
  const std::string link = Taken(ZimbelLink());
  EXPECT_EQ("![" + english + "](http://h/" + link + ".svg)", Taken(ZimbelSnippet(0, "http://h/")));
  EXPECT_NE(std::string::npos, Taken(ZimbelSnippet(1, "http://h/")).find(" alt=\"" + english + "\""));
}

TEST_F(WebApiTest, AnEmptyImageHasNoSvg) {
  ZimbelSetText(IDC_HEIGHT, "0");
  EXPECT_EQ("", Taken(ZimbelSvg()));
  EXPECT_THAT(Taken(ZimbelAboutText()), ::testing::MatchesRegex("zimbelplot ver [0-9][0-9.]*"));
}

// A reader gets each value as it was read, not rounded for show: a text
// that reads back as exactly the value, a line that is no number as 0.
TEST_F(WebApiTest, ValuesReachTheReaderExactly) {
  EXPECT_EQ(0, ZimbelValueCount());
  EXPECT_EQ("", Taken(ZimbelLowestText()));
  ASSERT_TRUE(Load("0.1\r\n-2.50\nabc\n1e-300\n123456789.125\n"));
  EXPECT_EQ(5, ZimbelValueCount());
  const char* const shown[] = {"0.1", "-2.5", "0", "1e-300", "123456789.125", ""};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(shown[i], Taken(ZimbelValueText(i))) << i;
  EXPECT_EQ("", Taken(ZimbelValueText(-1)));
  EXPECT_EQ("-2.5", Taken(ZimbelLowestText()));
  EXPECT_EQ("123456789.125", Taken(ZimbelHighestText()));

  // The third point, a 0, is centred at 50 on the zero line.
  EXPECT_EQ(2, ZimbelNearestPoint(55));
  EXPECT_EQ(50, ZimbelPointX(2));
  EXPECT_EQ(ZimbelImageHeight() - graphSettings.baseline, ZimbelPointY(2));
}

}  // namespace
