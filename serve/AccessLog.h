#pragma once
#include <cstddef>
#include <string>

// One request a line, in the common log format, written whole to standard
// error:  127.0.0.1 - - [08/Dec/2026:14:30:00 +0000] "GET /x HTTP/1.1" 200 1234
// The path's bytes outside printable ASCII, a quote and a backslash are
// written as \xHH, so a request can never forge a line of its own.
std::string AccessLine(const std::string& client, const std::string& method, const std::string& path,
                       const std::string& protocol, int status, long long bytes);
void WriteAccessLine(const std::string& line);
