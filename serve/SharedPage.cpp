#include "serve/SharedPage.h"

#include <cstring>
#include <string_view>

#include "model/GraphLink.h"
#include "model/GraphSnippet.h"
#include "model/GraphText.h"
#include "model/MarkupText.h"

namespace {

// Far more than any name a resolver takes and a port.
constexpr size_t kHostMax = 270;

bool NameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

bool Ipv6Char(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' || c == '.';
}

// Only the characters a name or an address is made of: nothing that could
// end an attribute, start a path or carry a user's name ends up in the
// page.
bool ValidHost(std::string_view host) {
  if (host.empty() || host.size() > kHostMax) return false;
  size_t end = 0;
  if (host[0] == '[') {
    end = host.find(']');
    if (end == std::string_view::npos || end < 3) return false;
    for (size_t i = 1; i < end; ++i) {
      if (!Ipv6Char(host[i])) return false;
    }
    ++end;
  } else {
    while (end < host.size() && NameChar(host[end])) ++end;
    if (end == 0 || host[0] == '-' || host[0] == '.') return false;
  }
  if (end == host.size()) return true;
  const std::string_view port = host.substr(end + 1);
  if (host[end] != ':' || port.empty() || port.size() > 5) return false;
  unsigned number = 0;
  for (char c : port) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number >= 1 && number <= 65535;
}

void AddMeta(std::string& tags, const char* attribute, const char* name, const std::string& content) {
  tags += std::string("<meta ") + attribute + "=\"" + name + "\" content=\"" + MarkupText(content) + "\">\n";
}

}  // namespace

std::string RequestOrigin(const Addressed& addressed) {
  // A front that names the host it was asked for speaks for the client; the
  // Host it sends us is its own name for us.
  const char* host = addressed.forwardedHost ? addressed.forwardedHost : addressed.host;
  if (!host || !ValidHost(host)) return "";
  const bool secure = addressed.forwardedProto && std::strcmp(addressed.forwardedProto, "https") == 0;
  return (secure ? "https://" : "http://") + std::string(host);
}

std::string SharedPage(const std::string& page, const GraphSettings& s, const GraphData& d, const std::string& origin,
                       int scale) {
  const std::string link = LinkFragment(s, d);
  const std::string text = GraphText(d, TextLanguage::English);
  const std::string base = origin.empty() ? "" : origin + "/";
  std::string tags;
  AddMeta(tags, "property", "og:type", "website");
  AddMeta(tags, "property", "og:title", text);
  AddMeta(tags, "property", "og:description", text);
  if (!origin.empty()) AddMeta(tags, "property", "og:url", base + link);
  if (scale > 0) {
    AddMeta(tags, "property", "og:image", base + PngName(link, scale, false));
    AddMeta(tags, "property", "og:image:type", "image/png");
    AddMeta(tags, "property", "og:image:width", std::to_string(s.imageWidth * scale));
    AddMeta(tags, "property", "og:image:height", std::to_string(s.imageHeight * scale));
    AddMeta(tags, "property", "og:image:alt", text);
  }
  AddMeta(tags, "name", "twitter:card", scale > 0 ? "summary_large_image" : "summary");
  const size_t head = page.find("</head>");
  std::string shared = page;
  shared.insert(head == std::string::npos ? shared.size() : head, tags);
  return shared;
}
