#include "tests/resources/ResourceReader.h"

#include <cstring>

ResourceBytes FindResourceBytes(HMODULE module, LPCSTR type, int id) {
  ResourceBytes bytes;
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!info) return bytes;
  HGLOBAL loaded = LoadResource(module, info);
  if (!loaded) return bytes;
  bytes.data = static_cast<const BYTE*>(LockResource(loaded));
  bytes.size = bytes.data ? SizeofResource(module, info) : 0;
  return bytes;
}

bool TemplateReader::Take(size_t count, const BYTE** at) {
  if (overrun_ || count > bytes_.size || offset_ > bytes_.size - count) {
    overrun_ = true;
    return false;
  }
  *at = bytes_.data + offset_;
  offset_ += count;
  return true;
}

BYTE TemplateReader::Byte() {
  const BYTE* at;
  return Take(1, &at) ? *at : 0;
}

WORD TemplateReader::Word() {
  const BYTE* at;
  WORD value = 0;
  if (Take(sizeof value, &at)) std::memcpy(&value, at, sizeof value);
  return value;
}

DWORD TemplateReader::Dword() {
  const BYTE* at;
  DWORD value = 0;
  if (Take(sizeof value, &at)) std::memcpy(&value, at, sizeof value);
  return value;
}

std::wstring TemplateReader::String() {
  std::wstring text;
  for (WORD c = Word(); c != 0 && !overrun_; c = Word()) text += static_cast<wchar_t>(c);
  return text;
}

NameOrOrdinal TemplateReader::NameOrOrd() {
  NameOrOrdinal field;
  size_t start = offset_;
  if (Word() == 0xFFFF) {
    field.ordinal = Word();
    return field;
  }
  offset_ = start;
  field.name = String();
  return field;
}

bool ModuleBuilt(ModuleKind kind) {
#ifdef ZIMBEL_PROGRAM
  return true;
#else
  return kind == ModuleKind::kTestBinary;
#endif
}

HMODULE OpenModule(ModuleKind kind) {
  if (kind == ModuleKind::kTestBinary) return GetModuleHandleW(nullptr);
#ifdef ZIMBEL_PROGRAM
  // Mapped once and kept for the whole run, like the test binary itself.
  static HMODULE program = LoadLibraryExA(ZIMBEL_PROGRAM, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  return program;
#else
  return nullptr;
#endif
}

std::string ModuleParamName(const testing::TestParamInfo<ModuleKind>& info) {
  return info.param == ModuleKind::kTestBinary ? "TestBinary" : "Program";
}
