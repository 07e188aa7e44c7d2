#include "tests/reliability/ProcessFigures.h"

#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// Wine keeps one GDI handle table per process (not per session, as Windows
// does) and points the process environment block at it, in the place Windows
// uses for its shared table. A live entry has a nonzero type.
struct WineGdiHandleEntry {
  uint64_t object;
  uint32_t owner;
  uint16_t unique;
  uint8_t type;
  uint8_t flags;
  uint64_t userPointer;
};
static_assert(sizeof(WineGdiHandleEntry) == 24, "Wine's entry layout");
constexpr size_t kWineGdiHandleCount = 0x10000;

#ifdef _WIN64
constexpr size_t kPebGdiSharedHandleTable = 0xF8;
#else
constexpr size_t kPebGdiSharedHandleTable = 0x94;
#endif

bool RunningUnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

long CountWineGdiEntries(HANDLE process) {
  PROCESS_BASIC_INFORMATION basic = {};
  ULONG length = 0;
  if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, &length) != 0)
    return -1;
  void* table = nullptr;
  SIZE_T read = 0;
  auto* peb = reinterpret_cast<const char*>(basic.PebBaseAddress);
  if (!ReadProcessMemory(process, peb + kPebGdiSharedHandleTable, &table, sizeof table, &read) ||
      !table)
    return -1;
  std::vector<WineGdiHandleEntry> entries(kWineGdiHandleCount);
  if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof entries[0], &read))
    return -1;
  long live = 0;
  for (const WineGdiHandleEntry& e : entries) live += e.type != 0;
  return live;
}

struct WindowTally {
  DWORD processId;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM tally) {
  ++reinterpret_cast<WindowTally*>(tally)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM lparam) {
  auto* tally = reinterpret_cast<WindowTally*>(lparam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == tally->processId) {
    ++tally->count;
    EnumChildWindows(window, CountChild, lparam);
  }
  return TRUE;
}

}  // namespace

long CountGdiObjects(HANDLE process) {
  if (DWORD n = GetGuiResources(process, GR_GDIOBJECTS)) return static_cast<long>(n);
  return RunningUnderWine() ? CountWineGdiEntries(process) : -1;
}

ProcessFigures ReadProcessFigures(HANDLE process) {
  ProcessFigures figures = {};
  figures.gdiObjects = CountGdiObjects(process);
  WindowTally tally = {GetProcessId(process), 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&tally));
  figures.windows = tally.count;
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, &memory, sizeof memory)) {
    figures.pagefileUsage = memory.PagefileUsage;
    figures.workingSet = memory.WorkingSetSize;
  }
  return figures;
}
