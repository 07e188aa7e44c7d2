#pragma once
#include <string>

#include "model/GraphModel.h"

// The page at a link's own address, for whoever is handed the address
// rather than the page: chat and social previews read its Open Graph and
// card tags, and the page opens the graph from its path.

// Where the request was sent, as its headers say, each null when absent:
// Host, or a front's X-Forwarded-Host and X-Forwarded-Proto.
struct Addressed {
  const char* host = nullptr;
  const char* forwardedHost = nullptr;
  const char* forwardedProto = nullptr;
};

// "http://example.org:8016" from a host that is a name, an IPv4 or a
// bracketed IPv6 address with an optional port; "" for anything else,
// which is whoever sent it writing into our page.
std::string RequestOrigin(const Addressed& addressed);

// `page` (the page's index) with the graph's tags before its </head>:
// og:title and og:description its text alternative, og:image its PNG at
// `scale` (0: none is drawn) at `origin` (or beside the page where the
// origin is ""), with its size, and a large card.
std::string SharedPage(const std::string& page, const GraphSettings& s, const GraphData& d, const std::string& origin,
                       int scale);
