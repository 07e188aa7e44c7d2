// Thousands of paints with changing settings and hundreds of hand-over loads:
// the program's GDI objects, windows and memory stay flat. The counts come from
// ZIMBEL_LONG_RUN_PAINTS and ZIMBEL_LONG_RUN_LOADS; the defaults keep make test
// short, a full run uses 10000 and 1000.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "resources/resource.h"
#include "tests/reliability/ProcessFigures.h"
#include "tests/reliability/RunningProgram.h"

namespace {

constexpr DWORD kPaintBoundMs = 10000;

int CountFromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  return text && std::atoi(text) > 0 ? std::atoi(text) : fallback;
}

std::string Wave(int count, double scale) {
  std::string text;
  for (int i = 0; i < count; ++i) text += std::to_string(scale * ((i * 7) % 23 - 11)) + "\n";
  return text;
}

enum class Kind { Text, List, Box, Slider };
struct Change {
  Kind kind;
  int id;
  const char* text;  // for Text
  int value;         // for List, Box and Slider
};

// A cycle through every kind of control, so each paint differs from the last.
const Change kChanges[] = {
    {Kind::Text, IDC_WIDTH, "300", 0},        {Kind::Text, IDC_LINEWIDTH, "3", 0},
    {Kind::List, IDC_DISPLAY, nullptr, 0},    {Kind::Text, IDC_HEIGHT, "320", 0},
    {Kind::Text, IDC_POINTSIZE, "9", 0},      {Kind::List, IDC_LINESTYLE, nullptr, 2},
    {Kind::Box, IDC_TRANSPARENT, nullptr, 0}, {Kind::Text, IDC_YTICKUNIT, "0.5", 0},
    {Kind::Text, IDC_RATIO, "7", 0},          {Kind::List, IDC_POINTKIND, nullptr, 1},
    {Kind::Slider, IDC_WIDTH_SLIDER, nullptr, 700},
    {Kind::Text, IDC_INTERVAL, "9", 0},       {Kind::List, IDC_DISPLAY, nullptr, 1},
    {Kind::Box, IDC_AUTORATIO, nullptr, 1},   {Kind::Text, IDC_XTICK, "3", 0},
    {Kind::Text, IDC_LEFTMARGIN, "40", 0},    {Kind::Box, IDC_TRANSPARENT, nullptr, 1},
    {Kind::List, IDC_LINESTYLE, nullptr, 4},  {Kind::Text, IDC_VMARGIN, "30", 0},
    {Kind::Slider, IDC_HEIGHT_SLIDER, nullptr, 150},
    {Kind::Box, IDC_AUTORATIO, nullptr, 0},   {Kind::Text, IDC_LINEWIDTH, "1", 0},
    {Kind::Text, IDC_POINTSIZE, "4", 0},      {Kind::List, IDC_POINTKIND, nullptr, 0},
    {Kind::List, IDC_DISPLAY, nullptr, 2},    {Kind::Text, IDC_INTERVAL, "20", 0},
    {Kind::Text, IDC_WIDTH, "1280", 0},       {Kind::Text, IDC_YTICKUNIT, "0", 0},
    {Kind::List, IDC_LINESTYLE, nullptr, 0},  {Kind::Text, IDC_XTICK, "1", 0},
    {Kind::Text, IDC_LEFTMARGIN, "10", 0},    {Kind::Text, IDC_VMARGIN, "10", 0},
};

bool Apply(const RunningProgram& program, const Change& change) {
  switch (change.kind) {
    case Kind::Text: return program.SetText(change.id, change.text);
    case Kind::List: return program.SelectItem(change.id, change.value);
    case Kind::Box: return program.SetCheck(change.id, change.value != 0);
    case Kind::Slider: return program.MoveSlider(change.id, change.value);
  }
  return false;
}

void Print(int paints, int loads, const ProcessFigures& f) {
  std::printf("%6d paints %5d loads: %4ld GDI objects, %3ld windows, pagefile %7zu KB, working set %7zu KB\n",
              paints, loads, f.gdiObjects, f.windows, static_cast<size_t>(f.pagefileUsage >> 10),
              static_cast<size_t>(f.workingSet >> 10));
  std::fflush(stdout);
}

// The figures in one fixed state: the offscreen image, which lives from one
// paint to the next, is then of the same size at every reading, and so is the
// pixel memory the painter keeps (a 1 x 1 image first makes it give back what
// a larger one took). Controls hold update regions until they have painted,
// so the reading waits until two in a row agree.
ProcessFigures SettledFigures(const RunningProgram& program) {
  const char name[] = "a.txt";
  for (const char* size : {"1", "300"}) {
    if (!program.SendCopyData(name, sizeof name) || !program.SetText(IDC_WIDTH, size) ||
        !program.SetText(IDC_HEIGHT, size) || !program.Paint(kPaintBoundMs))
      return {-1, -1, 0, 0};
  }
  ProcessFigures now = ReadProcessFigures(program.Process());
  for (int tries = 0; tries < 20; ++tries) {
    Sleep(50);
    const ProcessFigures next = ReadProcessFigures(program.Process());
    if (next.gdiObjects == now.gdiObjects && next.windows == now.windows) break;
    now = next;
  }
  return now;
}

TEST(LongRun, PaintsAndLoadsLeaveNothingBehind) {
  const int paints = CountFromEnvironment("ZIMBEL_LONG_RUN_PAINTS", 800);
  const int loads = CountFromEnvironment("ZIMBEL_LONG_RUN_LOADS", 80);
  ScratchFolder folder("longrun");
  folder.Write("a.txt", Wave(512, 1.5));
  folder.Write("b.txt", Wave(37, -40));
  RunningProgram program(folder.Path(), "a.txt");
  ASSERT_TRUE(program.Started());

  // Caches fill during the first stretch (fonts, GDI+ and the heap), which
  // takes every change at least twice; the figures after it are the base the
  // rest is held to.
  const int cycle = sizeof kChanges / sizeof kChanges[0];
  const int warmUp = std::max(2 * cycle, paints / 10);
  const int loadEvery = loads > 0 ? std::max(1, paints / loads) : paints + 1;
  ProcessFigures base = {};
  double slowest = 0;
  int loaded = 0;
  for (int i = 1; i <= paints; ++i) {
    if (i % loadEvery == 0 && loaded < loads) {
      const std::string name = ++loaded % 2 ? "b.txt" : "a.txt";
      ASSERT_TRUE(program.SendCopyData(name.c_str(), static_cast<DWORD>(name.size() + 1))) << i;
    }
    const Change& change = kChanges[i % cycle];
    ASSERT_TRUE(Apply(program, change)) << "paint " << i << ", control " << change.id;
    double seconds = 0;
    ASSERT_TRUE(program.Paint(kPaintBoundMs, &seconds)) << "paint " << i << ", control " << change.id;
    slowest = std::max(slowest, seconds);
    if (i % warmUp == 0) {
      const ProcessFigures now = SettledFigures(program);
      if (i == warmUp) base = now;
      Print(i, loaded, now);
    }
  }
  const ProcessFigures end = SettledFigures(program);
  std::printf("slowest paint %.3f s\n", slowest);

  ASSERT_GE(base.gdiObjects, 0) << "GDI objects cannot be counted here";
  // Wine creates a few device contexts for its cache on demand; a leak of one
  // object a load, or one in a cycle of changes, comes to dozens.
  EXPECT_LE(end.gdiObjects, base.gdiObjects + 4) << "GDI objects grew";
  EXPECT_EQ(end.windows, base.windows);
  // A megabyte: one lost image or a few hundred bytes lost a paint go past it;
  // what the heap keeps for reuse stays well below.
  EXPECT_LE(end.pagefileUsage, base.pagefileUsage + (1 << 20)) << "memory grew";
  EXPECT_EQ(program.Close(), 0u);
}

}  // namespace
