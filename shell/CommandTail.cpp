#include "shell/CommandTail.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string FirstArgument(const char* text, LeadBytePredicate isLeadByte) {
  const char* p = text;
  while (IsBlank(*p)) ++p;
  std::string argument;
  bool quoted = false;
  for (;;) {
    size_t slashes = 0;
    while (*p == '\\') {
      ++p;
      ++slashes;
    }
    bool copy = true;
    if (*p == '"') {
      // An even run of backslashes leaves the quote its meaning; an odd run
      // makes it literal. Inside quotes, "" is one literal quote.
      if (slashes % 2 == 0) {
        if (quoted && p[1] == '"') {
          ++p;
        } else {
          copy = false;
          quoted = !quoted;
        }
      }
      slashes /= 2;
    }
    argument.append(slashes, '\\');
    if (*p == '\0' || (!quoted && IsBlank(*p))) break;
    if (copy) {
      // A trail byte may be 0x5C or 0x22 in some code pages; it never counts
      // as a backslash or a quote. A lead byte before the terminator is kept
      // alone rather than reading past the end.
      if (isLeadByte(static_cast<unsigned char>(*p)) && p[1] != '\0') argument += *p++;
      argument += *p;
    }
    ++p;
  }
  return argument;
}

bool HandedOverPath(const void* data, size_t size, LeadBytePredicate isLeadByte,
                    std::string* path) {
  if (data == nullptr || size == 0) return false;
  const char* text = static_cast<const char*>(data);
  if (std::memchr(text, '\0', size) == nullptr) return false;
  *path = text[0] == '"' ? FirstArgument(text, isLeadByte) : std::string(text);
  return true;
}
