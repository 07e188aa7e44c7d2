#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

// The raw bytes of one resource, and a bounds-checked reader for the
// variable-length templates stored in them.

struct ResourceBytes {
  const BYTE* data = nullptr;  // null when the resource is missing
  DWORD size = 0;
};

ResourceBytes FindResourceBytes(HMODULE module, LPCSTR type, int id);

// A template field that holds either a string or a 16-bit ordinal.
struct NameOrOrdinal {
  int ordinal = -1;  // -1: a string (possibly empty)
  std::wstring name;
};

class TemplateReader {
 public:
  explicit TemplateReader(ResourceBytes bytes) : bytes_(bytes) {}

  BYTE Byte();
  WORD Word();
  DWORD Dword();
  short Short() { return static_cast<short>(Word()); }
  std::wstring String();
  NameOrOrdinal NameOrOrd();
  void AlignDword() { offset_ = (offset_ + 3) & ~size_t{3}; }

  size_t Offset() const { return offset_; }
  // True once a read went past the end; such reads return zeros.
  bool Overrun() const { return overrun_; }

 private:
  bool Take(size_t count, const BYTE** at);

  ResourceBytes bytes_;
  size_t offset_ = 0;
  bool overrun_ = false;
};

// The module whose resources a test examines: the test binary itself, which
// links the compiled script, and the program, mapped as a data file, when it
// has been built.
enum class ModuleKind { kTestBinary, kProgram };
bool ModuleBuilt(ModuleKind kind);
HMODULE OpenModule(ModuleKind kind);

class ModuleTest : public testing::TestWithParam<ModuleKind> {
 protected:
  void SetUp() override {
    if (!ModuleBuilt(GetParam())) GTEST_SKIP() << "the program is not built";
    module_ = OpenModule(GetParam());
    ASSERT_NE(module_, nullptr);
  }
  HMODULE module_ = nullptr;
};

std::string ModuleParamName(const testing::TestParamInfo<ModuleKind>& info);

#define INSTANTIATE_FOR_MODULES(suite)                                           \
  INSTANTIATE_TEST_SUITE_P(Modules, suite,                                       \
                           testing::Values(ModuleKind::kTestBinary, ModuleKind::kProgram), \
                           ModuleParamName)
