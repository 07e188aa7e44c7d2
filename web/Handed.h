#pragma once
#include <cstdlib>
#include <cstring>
#include <string>

// A string the page's caller owns: JavaScript copies it and frees it, and no
// later call into the module can change it meanwhile. Null only when memory
// runs out.
inline char* Handed(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}
