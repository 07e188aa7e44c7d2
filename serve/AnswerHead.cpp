#include "serve/AnswerHead.h"

#include "serve/UtcSecond.h"

namespace {

const char* Phrase(int status) {
  switch (status) {
    case 200: return "OK";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 414: return "URI Too Long";
    case 422: return "Unprocessable Content";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    case 505: return "HTTP Version Not Supported";
    default: return "";  // a reason phrase may be empty (RFC 9112, 4)
  }
}

}  // namespace

std::string AnswerHead(const Reply& reply, std::string_view server, bool ends, bool keptFor10) {
  std::string head;
  head.reserve(512);
  thread_local UtcSecond date("%a, %d %b %Y %H:%M:%S GMT");
  head.append("HTTP/1.1 ").append(std::to_string(reply.status)).append(" ").append(Phrase(reply.status));
  head.append("\r\nDate: ").append(date.Now()).append("\r\nServer: ").append(server).append("\r\n");
  for (const auto& [name, value] : reply.headers) head.append(name).append(": ").append(value).append("\r\n");
  // Whatever the type says is what a browser takes any answer for.
  head.append("X-Content-Type-Options: nosniff\r\n");
  if (reply.status != 304) {
    head.append("Content-Length: ").append(std::to_string(reply.body ? reply.body->size() : 0)).append("\r\n");
  }
  if (ends) {
    head.append("Connection: close\r\n");
  } else if (keptFor10) {
    head.append("Connection: keep-alive\r\n");
  }
  head.append("\r\n");
  return head;
}
