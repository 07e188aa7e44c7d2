#pragma once
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A request's header lines held to RFC 9112, where one server and another
// in front of it must read them alike: a header two readers could take two
// ways is refused (400) rather than guessed at. Free of the HTTP library.

using HeaderLines = std::vector<std::pair<std::string_view, std::string_view>>;

// Why the header lines of a request of `version` ("HTTP/1.1") are refused,
// or empty when they are sound.
std::string LooseHeader(std::string_view version, const HeaderLines& lines);
