#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/FloatChars.h"
#include "model/NumberText.h"

namespace {

struct ParseCase {
  const char* text;
  double value;
};

TEST(ParseDouble, FollowsTheProgramsNumberSyntax) {
  const ParseCase cases[] = {
      {"1", 1.0},         {"-2.5e1", -25.0},  {"2.5D1", 25.0},    {" 7", 7.0},
      {"\t+7.5", 7.5},    {"x7", 0.0},        {"0x1A", 0.0},      {"0x10", 0.0},
      {"inf", 0.0},       {"nan", 0.0},       {"1,5", 1.0},       {"1d2", 100.0},
      {"1e", 1.0},        {"1e+", 1.0},       {"1dx", 1.0},       {"3E-2", 0.03},
      {".5", 0.5},        {"5.", 5.0},        {".", 0.0},         {"-.", 0.0},
      {"", 0.0},          {"   ", 0.0},       {"- 1", 0.0},       {"12abc", 12.0},
      {"1e308", 1e308},   {"-1e308", -1e308}, {"1e-300", 1e-300}, {"1e400", DBL_MAX},
      {"-1e400", -DBL_MAX}, {"1e-400", 0.0},  {"0e999999999999", 0.0},
      {"123456789012345678901234567890", 1.2345678901234568e29},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(ParseDouble(c.text), c.value) << '"' << c.text << '"';
}

TEST(ParseInt, TakesTheLeadingDecimalNumberAndSaturates) {
  EXPECT_EQ(ParseInt("100"), 100);
  EXPECT_EQ(ParseInt(" -999"), -999);
  EXPECT_EQ(ParseInt("+12x"), 12);
  EXPECT_EQ(ParseInt(""), 0);
  EXPECT_EQ(ParseInt("abc"), 0);
  EXPECT_EQ(ParseInt("99999999999"), INT_MAX);
  EXPECT_EQ(ParseInt("-99999999999"), INT_MIN);
  EXPECT_EQ(ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(ParseInt("-2147483648"), INT_MIN);
}

struct FormatCase {
  double value;
  const char* text;
};

TEST(FormatG, WritesSixDigitsAndThreeExponentDigits) {
  const FormatCase cases[] = {
      {60.0, "60"},           {25.714285714285715, "25.7143"}, {0.5, "0.5"},
      {1e-5, "1e-005"},       {1234567.0, "1.23457e+006"},     {0.0, "0"},
      {-45.0, "-45"},         {100000.0, "100000"},            {999999.5, "1e+006"},
      {0.0001, "0.0001"},     {0.00012345678, "0.000123457"},  {1e308, "1e+308"},
      {-1e-300, "-1e-300"},   {123456.0, "123456"},            {1.5, "1.5"},
      {DBL_MAX, "1.79769e+308"},
  };
  char text[256];
  for (const FormatCase& c : cases) {
    FormatG(c.value, text, sizeof text);
    EXPECT_STREQ(text, c.text) << c.value;
  }
}

TEST(FormatG, NeverWritesBeyondItsBuffer) {
  char text[5] = {'x', 'x', 'x', 'x', 'x'};
  EXPECT_EQ(FormatG(1234567.0, text, 4), 3);
  EXPECT_STREQ(text, "1.2");
  EXPECT_EQ(text[4], 'x');
}

TEST(TruncToInt, IsDefinedForEveryDouble) {
  EXPECT_EQ(TruncToInt(2.9), 2);
  EXPECT_EQ(TruncToInt(-2.9), -2);
  EXPECT_EQ(TruncToInt(-45.0), -45);
  EXPECT_EQ(TruncToInt(1e12), INT_MAX);
  EXPECT_EQ(TruncToInt(-1e12), INT_MIN);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::infinity()), INT_MAX);
  EXPECT_EQ(TruncToInt(-std::numeric_limits<double>::infinity()), INT_MIN);
  EXPECT_EQ(TruncToInt(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(TruncToInt(2147483646.9), 2147483646);
}

// The reference: the runtime's strtod on the same text with a d exponent
// spelled e, on strings built only from the accepted syntax.
std::string RandomNumberText(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  std::string s;
  s.append(pick(3), ' ');
  const char* signs[] = {"", "+", "-"};
  s += signs[pick(3)];
  int intDigits = pick(12);
  for (int i = 0; i < intDigits; ++i) s += static_cast<char>('0' + pick(10));
  int fracDigits = pick(12);
  if (pick(2) || intDigits == 0) {
    s += '.';
    for (int i = 0; i < fracDigits; ++i) s += static_cast<char>('0' + pick(10));
    if (intDigits == 0 && fracDigits == 0) s += '5';
  }
  if (pick(2)) {
    s += "eEdD"[pick(4)];
    s += signs[pick(3)];
    int expDigits = 1 + pick(3);
    for (int i = 0; i < expDigits; ++i) s += static_cast<char>('0' + pick(10));
  }
  return s;
}

TEST(ParseDouble, AgreesWithStrtodOnGeneratedNumbers) {
  std::mt19937 rng(20261207);
  for (int i = 0; i < 20000; ++i) {
    std::string text = RandomNumberText(rng);
    std::string reference = text;
    for (char& c : reference)
      if (c == 'd' || c == 'D') c = 'e';
    double expected = std::strtod(reference.c_str(), nullptr);
    if (std::isinf(expected)) expected = std::copysign(DBL_MAX, expected);
    ASSERT_EQ(ParseDouble(text.c_str()), expected) << '"' << text << '"';
  }
}

TEST(FormatG, ReadsBackAsTheRoundedValue) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
  char text[256];
  for (int i = 0; i < 5000; ++i) {
    double v = mantissa(rng) * std::pow(10.0, static_cast<int>(rng() % 40) - 20);
    FormatG(v, text, sizeof text);
    double back = ParseDouble(text);
    ASSERT_NEAR(back, v, std::fabs(v) * 5e-6) << text;
    char again[256];
    FormatG(back, again, sizeof again);
    ASSERT_STREQ(again, text) << "formatting is not stable for " << v;
  }
}

// Where the C++ library converts floating point itself, the strtod and
// snprintf way built beside it must give the same text and the same values:
// elsewhere that way is all there is.
TEST(FloatChars, PortableConversionsEqualTheLibrarys) {
  std::mt19937_64 rng(16);
  std::vector<double> values = {0.0, -0.0, 1e5, 1e-4, 0.1f, 1e23, 1.2345678901234568e20, 2147483647.0,
                                -65536.5, DBL_MAX, DBL_MIN, 5e-324, 1.0 / 255, 123456.5, 9.5e-7};
  for (int i = 0; i < 4000; ++i) {
    const uint64_t bits = rng();
    double any;
    std::memcpy(&any, &bits, sizeof any);
    if (std::isfinite(any)) values.push_back(any);
    float single;
    const uint32_t singleBits = static_cast<uint32_t>(bits >> 32);
    std::memcpy(&single, &singleBits, sizeof single);
    if (std::isfinite(single)) values.push_back(single);
    values.push_back(static_cast<int32_t>(bits) / 2.0);
    values.push_back(static_cast<double>(bits % 100000) * std::pow(10.0, static_cast<int>(bits % 31) - 15));
  }
  for (double v : values) {
    ASSERT_EQ(ShortestText(v), ShortestTextPortable(v)) << v;
    ASSERT_EQ(ScientificText(v, 5), ScientificTextPortable(v, 5)) << v;
    if (std::fabs(v) < 1e30) {
      ASSERT_EQ(FixedText(v, 3), FixedTextPortable(v, 3)) << v;
    }
  }

  for (int i = 0; i < 8000; ++i) {
    std::string text;
    for (int n = 1 + rng() % 20; n > 0; --n) text += static_cast<char>('0' + rng() % 10);
    if (rng() % 2) text.insert(rng() % text.size(), ".");
    text += (rng() % 2 ? "e-" : "e") + std::to_string(rng() % 340);
    const DecimalValue library = DecimalToDouble(text);
    const DecimalValue portable = DecimalToDoublePortable(text);
    ASSERT_EQ(library.outOfRange, portable.outOfRange) << text;
    if (!library.outOfRange) {
      ASSERT_EQ(library.value, portable.value) << text;
    }
  }
}

}  // namespace
