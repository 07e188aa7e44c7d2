#include "serve/HeaderRules.h"

#include <strings.h>

#include <cstring>
#include <utility>

namespace {

// Letters, digits and `extra`, as a table: every byte of every path and
// header name is looked up, and a link is hundreds.
struct ByteSet {
  bool has[256] = {};
  explicit ByteSet(const char* extra) {
    for (int c = 0; c < 256; ++c) {
      has[c] = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
               (c && std::strchr(extra, c) != nullptr);
    }
  }
};
const ByteSet kTokenChars("!#$%&'*+-.^_`|~");
// A path's bytes: segments of unreserved characters, escapes, sub-delims,
// ':' and '@'. A space would end the target for another reader; the rest
// (quotes, braces, backslashes, bytes past ASCII) no client sends unescaped.
const ByteSet kPathChars("-._~%!$&'()*+,;=:@/");

// Visible bytes, spaces and tabs; a NUL, a CR or any other control byte
// would end or split the line for some reader.
bool FieldValue(std::string_view text) {
  for (unsigned char c : text) {
    if ((c < 0x20 && c != '\t') || c == 0x7F) return false;
  }
  return true;
}

bool Digits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The headers a request may carry once at most: a second body length or
// host is the smuggling pattern, a second If-None-Match one we would drop.
const char* const kOnce[] = {"Host", "Content-Length", "Transfer-Encoding", "If-None-Match"};

std::string LooseHeader(std::string_view version, const HeaderLines& lines) {
  int counts[sizeof kOnce / sizeof *kOnce] = {};
  for (const auto& [name, value] : lines) {
    if (!Token(name)) return "a header's name is not a token";
    if (!FieldValue(value)) return "a header holds a control character";
    for (size_t i = 0; i < sizeof kOnce / sizeof *kOnce; ++i) {
      if (Named(name, kOnce[i]) && ++counts[i] > 1) return std::string("more than one ") + kOnce[i] + " header";
    }
    if (Named(name, "Content-Length") && !Digits(value)) return "Content-Length is not a number";
  }
  if (version == "HTTP/1.1" && counts[0] == 0) return "an HTTP/1.1 request without a Host header";
  return {};
}

}  // namespace

bool Named(std::string_view name, std::string_view wanted) {
  return name.size() == wanted.size() && strncasecmp(name.data(), wanted.data(), name.size()) == 0;
}

bool Token(std::string_view text) {
  if (text.empty()) return false;
  for (unsigned char c : text) {
    if (!kTokenChars.has[c]) return false;
  }
  return true;
}

Loose LooseRequest(std::string_view target, std::string_view version, const HeaderLines& lines) {
  if (version != "HTTP/1.1" && version != "HTTP/1.0") return {505, "only HTTP/1.0 and HTTP/1.1 are spoken here"};
  for (unsigned char c : target) {
    if (!kPathChars.has[c]) return {400, "the request's path holds a byte no path may"};
  }
  std::string header = LooseHeader(version, lines);
  return {header.empty() ? 0 : 400, std::move(header)};
}
