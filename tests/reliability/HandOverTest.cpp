// WM_COPYDATA is open to every process on the desktop: whatever it carries,
// the running program survives it and keeps its graph.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/reliability/RunningProgram.h"

namespace {

struct Message {
  const char* name;
  std::string bytes;  // sent as they are: a NUL only where written
  bool nullData;
};

TEST(HostileHandOver, LeavesTheProgramRunningWithItsGraph) {
  ScratchFolder folder("handover");
  folder.Write("three.txt", "1\n2\n3\n");
  folder.Write("five.txt", "1\n2\n3\n4\n5\n");
  RunningProgram program(folder.Path(), "three.txt");
  ASSERT_TRUE(program.Started());
  ASSERT_EQ(program.Text(IDC_WIDTH), "70");

  const Message messages[] = {
      {"no bytes", "", false},
      {"no bytes, no data", "", true},
      {"a size but no data", std::string(16, 'x'), true},
      {"not NUL-terminated", "five.txt", false},
      {"not NUL-terminated after a quote", "\"five.txt", false},
      {"100 000 bytes", std::string(99999, 'a') + '\0', false},
      {"100 000 bytes in quotes", '"' + std::string(99998, 'a') + '\0', false},
      {"a lead byte before the end", std::string("\"five.txt\x83") + '\0', false},
      {"a lead byte last", "five.txt\x83", false},
      {"the folder", std::string(".") + '\0', false},
      {"only a quote", std::string("\"") + '\0', false},
      {"NUL first", std::string("\0five.txt\0", 10), false},
  };
  for (const Message& m : messages) {
    SCOPED_TRACE(m.name);
    // The send itself may be refused (no data behind a size); the program must not care.
    program.SendCopyData(m.nullData ? nullptr : m.bytes.data(), static_cast<DWORD>(m.bytes.size()));
    ASSERT_TRUE(program.Responds());
    ASSERT_TRUE(program.Paint(RunningProgram::kRespondMs));
    EXPECT_EQ(program.Text(IDC_WIDTH), "70");
  }

  // Still listening: a proper hand-over loads.
  const std::string five = std::string("five.txt") + '\0';
  ASSERT_TRUE(program.SendCopyData(five.data(), static_cast<DWORD>(five.size())));
  EXPECT_EQ(program.Text(IDC_WIDTH), "110");
  EXPECT_EQ(program.Close(), 0u);
}

// The same roads through a second start: a command line near the system's
// limit of 32767 characters, quotes left open, and a lead byte at the end.
TEST(HostileHandOver, SecondStartsWithOddCommandLines) {
  ScratchFolder folder("second start");
  folder.Write("three.txt", "1\n2\n3\n");
  RunningProgram program(folder.Path(), "three.txt");
  ASSERT_TRUE(program.Started());
  const std::string commandLines[] = {
      std::string(32000, 'a'),
      "\"three.txt",
      "\"\"",
      "three.txt\x83",
      std::string(100, ' ') + "\t",
  };
  for (const std::string& arguments : commandLines) {
    SCOPED_TRACE(arguments.substr(0, 40));
    EXPECT_EQ(RunSecondStart(folder.Path(), arguments, 20000), 0u);
    ASSERT_TRUE(program.Responds());
    ASSERT_TRUE(program.Paint(RunningProgram::kRespondMs));
    EXPECT_EQ(program.Text(IDC_WIDTH), "70");
  }
  EXPECT_EQ(program.Close(), 0u);
}

}  // namespace
