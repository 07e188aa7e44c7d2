// Fuzzes the reading of a request's head from any bytes: it never reads
// past them, a head it takes whole is sound (token names, values without
// control bytes or white space at their ends, within the bound) and reads
// back the same when written out plainly, and every refusal is one of the
// statuses the server means to give, with a one-line reason.
#include <cstdint>
#include <string>
#include <string_view>

#include "serve/RequestHead.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool Inside(std::string_view part, std::string_view whole) {
  return part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly the input's length: a read past it is the sanitizer's.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const RequestHead head = ReadRequestHead(bytes);
  switch (head.state) {
    case RequestHead::State::Incomplete: Check(bytes.size() < kHeadMax); return 0;
    case RequestHead::State::Refused:
      Check(head.status == 400 || head.status == 414 || head.status == 431 || head.status == 505);
      Check(!head.reason.empty() && head.reason.find('\n') == std::string::npos);
      return 0;
    case RequestHead::State::Whole: break;
  }
  Check(head.size <= bytes.size() && head.size <= kHeadMax);
  Check(Token(head.method) && !head.target.empty() && Inside(head.target, bytes));
  Check(head.version == "HTTP/1.1" || head.version == "HTTP/1.0");
  std::string plain = std::string(head.method) + " " + std::string(head.target) + " " + std::string(head.version) + "\r\n";
  for (const auto& [name, value] : head.lines) {
    Check(Token(name) && Inside(name, bytes) && Inside(value, bytes));
    Check(value.empty() || (value.front() != ' ' && value.front() != '\t' && value.back() != ' ' && value.back() != '\t'));
    for (unsigned char c : value) Check(c >= 0x20 ? c != 0x7F : c == '\t');
    plain.append(name).append(": ").append(value).append("\r\n");
  }
  plain += "\r\n";
  const RequestHead again = ReadRequestHead(plain);
  Check(again.state == RequestHead::State::Whole && again.size == plain.size());
  Check(again.method == head.method && again.target == head.target && again.lines == head.lines);
  return 0;
}
