#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/CommandTail.h"

namespace {

// Code page 932: lead bytes 0x81-0x9F and 0xE0-0xFC.
bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool NoLead(unsigned char) { return false; }

struct ArgumentCase {
  const char* text;
  const char* first;
};

// Each expectation is what the C runtime made of the same command tail.
TEST(FirstArgument, ParsesLikeTheCRuntime) {
  const ArgumentCase cases[] = {
      {"\"C:\\my data\\three.txt\"", "C:\\my data\\three.txt"},
      {"\"a.txt\" b.txt", "a.txt"},
      {"\"a b\"c d", "a bc"},
      {"a.txt b.txt", "a.txt"},
      {"  \ta.txt", "a.txt"},
      {"\"C:\\dir\\\" x", "C:\\dir\" x"},
      {"a\\\\\"b c\" d", "a\\b c"},
      {"\"a\\\\\\\"b\" c", "a\\\"b"},
      {"a\\b\\\\c", "a\\b\\\\c"},
      {"\"ab\"\"cd\" x", "ab\"cd"},
      {"\"ab\"\"cd\"ef\" x\" y", "ab\"cdef x"},
      {"\"\" x", ""},
      {"\"unclosed path", "unclosed path"},
      {"", ""},
  };
  for (const ArgumentCase& c : cases) {
    EXPECT_EQ(FirstArgument(c.text, ShiftJisLead), c.first) << c.text;
  }
}

TEST(FirstArgument, NeverTakesATrailByteForABackslash) {
  // 0x95 0x5C is one character whose second byte is the backslash code: it
  // must not turn the closing quote into a literal one.
  EXPECT_EQ(FirstArgument("\"C:\\d\x95\x5c\" x", ShiftJisLead), "C:\\d\x95\x5c");
  EXPECT_EQ(FirstArgument("\"C:\\d\x95\x5c\x95\x5c\\\" x", ShiftJisLead),
            "C:\\d\x95\x5c\x95\x5c\" x");
  EXPECT_EQ(FirstArgument("\"C:\\d\x95\x5c\" x", NoLead), "C:\\d\x95\" x");
}

TEST(FirstArgument, StopsAtALeadByteWithoutItsTrail) {
  EXPECT_EQ(FirstArgument("\"ab\x95", ShiftJisLead), "ab\x95");
}

struct HandOverCase {
  const char* name;
  std::string bytes;  // exactly the cbData bytes
  bool accepted;
  const char* path;
};

TEST(HandedOverPath, TakesQuotedTailsByTheirFirstArgumentAndOthersWhole) {
  const HandOverCase cases[] = {
      {"empty tail", std::string("", 1), true, ""},
      {"one path", std::string("C:\\data\\three.txt", 18), true, "C:\\data\\three.txt"},
      {"blanks stay in an unquoted path", std::string("C:\\my data\\a b.txt", 19), true,
       "C:\\my data\\a b.txt"},
      {"two unquoted paths are one", std::string("a.txt b.txt", 12), true, "a.txt b.txt"},
      {"quoted path", std::string("\"C:\\my data\\a.txt\"", 19), true, "C:\\my data\\a.txt"},
      {"quoted path and more", std::string("\"a.txt\" \"b.txt\"", 16), true, "a.txt"},
      {"bytes after the terminator are ignored", std::string("a.txt\0junk", 10), true, "a.txt"},
      {"no terminator", std::string("a.txt", 5), false, ""},
      {"empty data", std::string(), false, ""},
  };
  for (const HandOverCase& c : cases) {
    std::string path = "unchanged";
    // An allocation of exactly the size, so that the sanitizer catches a read past it.
    std::vector<char> copy(c.bytes.begin(), c.bytes.end());
    bool accepted =
        HandedOverPath(copy.empty() ? nullptr : copy.data(), copy.size(), ShiftJisLead, &path);
    EXPECT_EQ(accepted, c.accepted) << c.name;
    EXPECT_EQ(path, c.accepted ? c.path : "unchanged") << c.name;
  }
}

TEST(HandedOverPath, RefusesASizeOfZeroWhateverTheData) {
  std::string path;
  EXPECT_FALSE(HandedOverPath("a.txt", 0, ShiftJisLead, &path));
}

}  // namespace
