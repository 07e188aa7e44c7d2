#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/GraphLink.h"
#include "serve/Picture.h"
#include "serve/SharedPage.h"

// What the server answers, decided before any byte of it is drawn: a
// request is hostile until this has read it, and every answer to a bad one
// is a 4xx with a one-line reason. Free of sockets, so a fuzzer drives it
// as the server does.

using Bytes = std::shared_ptr<const std::string>;

struct Reply {
  int status = 200;
  std::vector<std::pair<std::string, std::string>> headers;  // Content-Type among them
  Bytes body;
};

// One of the page's files, read once at start.
struct PageFile {
  std::string type;
  std::string etag;
  Bytes bytes;
};

struct Site {
  std::map<std::string, PageFile> files;  // by path: "/", "/app.js", ...
  uint64_t maxPixels = kMaxPixelsDefault;
};

// Any path longer than a whole link's picture is refused unread: a slash,
// the link and the name's ending, with room to spare.
constexpr size_t kPathMax = 16 + kLinkMaxLength;

// A reply now, or a picture to draw (`drawing` set) whose bytes then go to
// PictureReply.
struct Route {
  Reply reply;
  bool drawing = false;
  PictureJob job;
};

class PictureCache;

// `path` as the request line spells it (no query); `ifNoneMatch` null when
// the header is absent. A picture in `cache` (if given) is answered from it.
// "/LINK" is the page opening that graph, its tags naming the address
// `addressed` gives.
Route RouteRequest(const Site& site, const std::string& method, const std::string& path, const char* ifNoneMatch,
                   PictureCache* cache = nullptr, const Addressed& addressed = {});

Reply PictureReply(const PictureJob& job, Bytes bytes);

// A one-line plain-text answer: "reason\n".
Reply TextReply(int status, const std::string& reason);

// The page's files under `root`, with their types; false naming the file
// that could not be read.
bool LoadPage(const std::string& root, Site& site, std::string& error);
