#pragma once
#include <string>
#include <string_view>

#include "serve/Answer.h"

// An answer's status line and headers as they go out: the Date, `server`,
// the reply's own headers and nosniff, its length (none on a 304), and
// "Connection: close" where it `ends` the connection, or "keep-alive" where
// an HTTP/1.0 client's connection is kept (`keptFor10`).
std::string AnswerHead(const Reply& reply, std::string_view server, bool ends, bool keptFor10);
