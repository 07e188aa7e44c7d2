#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A request's line and header lines held to RFC 9112, where one server and another
// in front of it must read them alike: a header two readers could take two
// ways is refused (400) rather than guessed at. Free of sockets.

using HeaderLines = std::vector<std::pair<std::string_view, std::string_view>>;

struct Loose {
  int status = 0;  // 0: sound
  std::string reason;
};

// Whether a header's (or a token's) `name` is `wanted`: case does not count.
bool Named(std::string_view name, std::string_view wanted);

// A method's or a header name's bytes: a token (RFC 9110, 5.6.2).
bool Token(std::string_view text);

// Why a request is refused before it is routed: 505 for a version other
// than HTTP/1.0 and 1.1, 400 for a byte no path may hold in `target` (the
// path, as the request line spells it) or for header lines two readers
// could take two ways.
Loose LooseRequest(std::string_view target, std::string_view version, const HeaderLines& lines);
