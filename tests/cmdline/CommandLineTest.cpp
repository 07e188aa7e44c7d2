// The reader every program's command line goes through, on a small table:
// what reaches the program, and what each bad form says.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline/CommandLine.h"

namespace {

std::vector<CommandOption> Table() {
  std::vector<CommandOption> options(3);
  options[0].letter = 'j';
  options[0].name = "jobs";
  options[0].kind = OptionKind::Int;
  options[0].low = 1;
  options[0].high = 8;
  options[1].name = "out";
  options[1].kind = OptionKind::Text;
  options[2].letter = 'q';
  options[2].name = "quiet";
  return options;
}

struct Read {
  bool ok;
  std::string error;
  std::string seen;  // "name=value" and "[operand]", in order
};

Read ReadArgs(std::vector<const char*> args, bool operands = true) {
  args.insert(args.begin(), "program");
  const std::vector<CommandOption> options = Table();
  Read r{};
  const auto take = [&](size_t index, const OptionValue& value, std::string&) {
    r.seen += options[index].name + "=" + value.text + " ";
    return true;
  };
  const auto operand = [&](const char* text, std::string& error) {
    if (!operands) error = std::string("unexpected argument '") + text + "'";
    r.seen += std::string("[") + text + "] ";
    return operands;
  };
  r.ok = ReadCommandLine(static_cast<int>(args.size()), args.data(), options, take, operand, r.error);
  return r;
}

TEST(CommandLineTest, EachFormReachesTheProgramInOrder) {
  EXPECT_EQ("jobs=3 [a] out=x [-] quiet= ", ReadArgs({"-j", "3", "a", "--out=x", "-", "-q"}).seen);
  EXPECT_EQ("out= [-q] [--jobs] ", ReadArgs({"--out", "", "--", "-q", "--jobs"}).seen);
  // Two characters are a letter only after a dash.
  EXPECT_EQ("[jq] ", ReadArgs({"jq"}).seen);
}

TEST(CommandLineTest, EachBadFormSaysWhatWasWrong) {
  const struct {
    std::vector<const char*> args;
    const char* error;
  } cases[] = {
      {{"-x"}, "unknown option '-x'"},
      {{"-jq"}, "unknown option '-jq'"},
      {{"--j", "3"}, "unknown option '--j'"},
      {{"--quie"}, "unknown option '--quie'"},
      {{"--jobs=9"}, "--jobs: '9' is not a whole number from 1 to 8"},
      {{"-j", "2x"}, "--jobs: '2x' is not a whole number from 1 to 8"},
      {{"a", "-j"}, "-j needs a value"},
      {{"--quiet=yes"}, "--quiet takes no value"},
  };
  for (const auto& c : cases) {
    const Read r = ReadArgs(c.args);
    EXPECT_FALSE(r.ok) << c.error;
    EXPECT_EQ(c.error, r.error);
  }
  // A program that takes no operands stops at the first, before what follows.
  const Read r = ReadArgs({"stray", "-j", "3"}, false);
  EXPECT_EQ("unexpected argument 'stray'", r.error);
  EXPECT_EQ("[stray] ", r.seen);
}

}  // namespace
