#pragma once
#include <windows.h>

// What a long run must keep flat in the program's process, read from outside.
struct ProcessFigures {
  long gdiObjects;     // -1 when they cannot be counted
  long windows;        // top-level windows of the process and all their children
  SIZE_T pagefileUsage;
  SIZE_T workingSet;
};

ProcessFigures ReadProcessFigures(HANDLE process);

// GetGuiResources where it works; under Wine, where it is a stub, the live
// entries of the process's own GDI handle table. -1 when neither is possible.
long CountGdiObjects(HANDLE process);
