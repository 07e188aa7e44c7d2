#include "serve/AccessLog.h"

#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

std::string Escaped(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c > 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += static_cast<char>(c);
    } else {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return out;
}

}  // namespace

std::string AccessLine(const std::string& client, const std::string& method, const std::string& path,
                       const std::string& protocol, int status, long long bytes) {
  const std::time_t now = std::time(nullptr);
  std::tm utc{};
  gmtime_r(&now, &utc);
  char when[32];
  std::strftime(when, sizeof when, "%d/%b/%Y:%H:%M:%S +0000", &utc);
  return client + " - - [" + when + "] \"" + Escaped(method) + " " + Escaped(path) + " " + Escaped(protocol) +
         "\" " + std::to_string(status) + " " + (bytes > 0 ? std::to_string(bytes) : "-") + "\n";
}

void WriteAccessLine(const std::string& line) {
  // One write: lines from several threads never interleave.
  const ssize_t written = write(STDERR_FILENO, line.data(), line.size());
  (void)written;
}
