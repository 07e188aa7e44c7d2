#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "serve/HeaderRules.h"

// A request's head read from the bytes as they came, before anything is
// made of it: every line is seen as sent, so a NUL, a bare CR, a folded
// line or a header without a name is refused (400), never cut, joined or
// dropped unseen. Free of sockets.

// The most a head may take, its request line and blank line included: room
// for the longest link's path (kPathMax) beside the headers a browser sends.
constexpr size_t kHeadMax = 32 * 1024;

struct RequestHead {
  enum class State { Incomplete, Whole, Refused };
  State state = State::Incomplete;
  int status = 0;  // a refusal's: 400, 414, 431, 505
  std::string reason;
  size_t size = 0;  // the bytes it took, the empty lines before it included
  std::string_view method;
  std::string_view target;  // as the request line spells it, its query included
  std::string_view version;
  HeaderLines lines;  // names as sent, values without the white space around them
};

// The head at the start of `bytes` (views into them). Incomplete while its
// blank line has not come and it is still within kHeadMax.
RequestHead ReadRequestHead(std::string_view bytes);

// Whether a head's blank line ends in `bytes` past `from`: what is read of
// a request is looked at again only when it may be whole, so a head sent a
// byte at a time costs its length, not its length squared.
bool HeadEnds(std::string_view bytes, size_t from);

// Whether `list`, a header's comma-separated tokens, names `token` (any case).
bool ListHas(std::string_view list, std::string_view token);
