#include "serve/RequestHead.h"

namespace {

// A refusal keeps the request line where one was read: the log tells it.
RequestHead Refused(int status, std::string reason, RequestHead head = {}) {
  head.state = RequestHead::State::Refused;
  head.status = status;
  head.reason = std::move(reason);
  head.lines.clear();
  return head;
}

bool Ows(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && Ows(text.front())) text.remove_prefix(1);
  while (!text.empty() && Ows(text.back())) text.remove_suffix(1);
  return text;
}

// A line without its end: LF, or CR LF.
std::string_view Line(std::string_view bytes, size_t from, size_t newline) {
  std::string_view line = bytes.substr(from, newline - from);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

bool Control(std::string_view text) {
  for (unsigned char c : text) {
    if (c < 0x20 || c == 0x7F) return true;
  }
  return false;
}

}  // namespace

RequestHead ReadRequestHead(std::string_view bytes) {
  // A client may send an empty line before a request (RFC 9112, 2.2).
  size_t start = 0;
  while (start < bytes.size() && start < kHeadMax && (bytes[start] == '\r' || bytes[start] == '\n')) ++start;
  const size_t requestEnd = bytes.find('\n', start);
  if (requestEnd == std::string_view::npos || requestEnd >= kHeadMax) {
    if (bytes.size() < kHeadMax) return {};
    return Refused(414, "the request line is longer than any link's");
  }
  RequestHead head;
  const std::string_view request = Line(bytes, start, requestEnd);
  const size_t first = request.find(' ');
  const size_t second = first == std::string_view::npos ? first : request.find(' ', first + 1);
  if (second == std::string_view::npos || request.find(' ', second + 1) != std::string_view::npos ||
      second == first + 1 || first == 0) {
    return Refused(400, "not a request line: a method, a path and a version, one space apart");
  }
  if (Control(request)) return Refused(400, "the request line holds a control character");
  head.method = request.substr(0, first);
  head.target = request.substr(first + 1, second - first - 1);
  head.version = request.substr(second + 1);
  for (size_t from = requestEnd + 1;;) {
    const size_t newline = bytes.find('\n', from);
    if (newline == std::string_view::npos || newline >= kHeadMax) {
      if (bytes.size() < kHeadMax) return {};
      return Refused(431, "the request's headers are larger than the server reads", std::move(head));
    }
    const std::string_view line = Line(bytes, from, newline);
    from = newline + 1;
    if (line.empty()) {
      head.size = from;
      break;
    }
    // A line that goes on the one before is read as one header by some
    // readers and as two, or none, by others.
    if (Ows(line.front())) return Refused(400, "a folded header line", std::move(head));
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return Refused(400, "a header line without a colon", std::move(head));
    head.lines.emplace_back(line.substr(0, colon), Trimmed(line.substr(colon + 1)));
  }
  const std::string_view path = head.target.substr(0, head.target.find('?'));
  const Loose loose = LooseRequest(path, head.version, head.lines);
  if (loose.status) return Refused(loose.status, loose.reason, std::move(head));
  if (!Token(head.method)) return Refused(400, "the method is not a token", std::move(head));
  head.state = RequestHead::State::Whole;
  return head;
}

bool HeadEnds(std::string_view bytes, size_t from) {
  // The blank line's LF, and the one before it, may have come in an
  // earlier piece.
  for (size_t at = bytes.find('\n', from > 2 ? from - 2 : 0); at != std::string_view::npos;
       at = bytes.find('\n', at + 1)) {
    const std::string_view after = bytes.substr(at + 1, 2);
    if (!after.empty() && (after[0] == '\n' || after == "\r\n")) return true;
  }
  return false;
}

bool ListHas(std::string_view list, std::string_view token) {
  while (!list.empty()) {
    const size_t comma = list.find(',');
    const std::string_view item = Trimmed(list.substr(0, comma));
    if (Named(item, token)) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}
