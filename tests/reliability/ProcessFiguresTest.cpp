// The leak counters of the long run must see a leak when there is one.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/reliability/ProcessFigures.h"

namespace {

TEST(ProcessFigures, SeeGdiObjectsComeAndGo) {
  const long before = CountGdiObjects(GetCurrentProcess());
  ASSERT_GE(before, 0) << "no way to count GDI objects on this system";
  std::vector<HGDIOBJ> objects;
  for (int i = 0; i < 50; ++i) {
    objects.push_back(CreateSolidBrush(RGB(i, 0, 0)));
    objects.push_back(CreatePen(PS_SOLID, 1, RGB(0, i, 0)));
  }
  EXPECT_EQ(CountGdiObjects(GetCurrentProcess()), before + 100);
  for (HGDIOBJ object : objects) DeleteObject(object);
  EXPECT_EQ(CountGdiObjects(GetCurrentProcess()), before);
}

HWND CreateStatic(HWND parent) {
  return CreateWindowExA(0, "STATIC", "", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10, parent,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

TEST(ProcessFigures, SeeWindowsAndMemory) {
  const ProcessFigures before = ReadProcessFigures(GetCurrentProcess());
  HWND window = CreateStatic(nullptr);
  ASSERT_TRUE(window);
  ASSERT_TRUE(CreateStatic(window));
  std::vector<char> block(64 << 20, 1);  // touched, so it counts
  const ProcessFigures during = ReadProcessFigures(GetCurrentProcess());
  EXPECT_GE(during.windows, before.windows + 2);  // Wine adds a hidden IME window too
  EXPECT_GE(during.pagefileUsage, before.pagefileUsage + (60 << 20));
  DestroyWindow(window);
  EXPECT_EQ(ReadProcessFigures(GetCurrentProcess()).windows, before.windows);
}

}  // namespace
