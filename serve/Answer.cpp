#include "serve/Answer.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "model/AboutText.h"
#include "model/GraphLink.h"
#include "model/GraphSnippet.h"
#include "model/NumberText.h"
#include "model/SettingsTable.h"
#include "serve/PictureCache.h"
#include "serve/SharedPage.h"

namespace {

// The page's whole set: nothing else under the root is ever served, so no
// spelling of a path can reach another file.
const struct {
  const char* path;
  const char* file;
  const char* type;
} kPageFiles[] = {
#include "serve/PageFiles.inc"
};

// What the page loads and nothing more: its own scripts and the wasm they
// compile, its style sheet, its icons (the empty one a data: URL), what it
// asks its host, its worker and manifest. The browser suite, run against
// this server, raises no violation.
const char kPagePolicy[] =
    "default-src 'none'; script-src 'self' 'wasm-unsafe-eval'; style-src 'self'; "
    "img-src 'self' data:; connect-src 'self'; worker-src 'self'; manifest-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
// An SVG opened on its own is a document: it may run nothing.
const char kPicturePolicy[] = "default-src 'none'; style-src 'unsafe-inline'; sandbox";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Control(int c) { return c < 0x20 || c == 0x7F; }

// Whether `path` holds no escape and no control byte: without a branch, so
// the compiler looks at many bytes at once, as a link is hundreds of them.
bool Verbatim(const std::string& path) {
  unsigned char other = 0;
  for (char byte : path) {
    const unsigned char c = static_cast<unsigned char>(byte);
    other |= (c < 0x20) | (c == 0x7F) | (c == '%');
  }
  return !other;
}

// %XX undone; false for a broken escape or any control character, which no
// file or link of ours holds (a NUL would cut the name a C library sees).
// The runs between escapes are copied whole.
bool Unescape(const std::string& path, std::string& plain) {
  if (Verbatim(path)) {
    plain = path;
    return true;
  }
  plain.clear();
  plain.reserve(path.size());
  size_t run = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const int c = static_cast<unsigned char>(path[i]);
    if (Control(c)) return false;
    if (c != '%') continue;
    const int high = i + 2 < path.size() ? HexValue(path[i + 1]) : -1;
    const int low = high < 0 ? -1 : HexValue(path[i + 2]);
    if (low < 0 || Control(high * 16 + low)) return false;
    plain.append(path, run, i - run);
    plain += static_cast<char>(high * 16 + low);
    i += 2;
    run = i + 1;
  }
  plain.append(path, run, std::string::npos);
  return true;
}

// FNV-1a, 64 bits: a tag, not a defence; a collision only confuses the
// cache of whoever made it.
uint64_t Fnv(const std::string& text) {
  uint64_t hash = 0xcbf29ce484222325u;
  for (unsigned char c : text) hash = (hash ^ c) * 0x100000001b3u;
  return hash;
}

std::string Etag(const std::string& text) {
  char tag[40];
  std::snprintf(tag, sizeof tag, "\"%s-%016llx\"", kAppVersion, static_cast<unsigned long long>(Fnv(text)));
  return tag;
}

// If-None-Match: "*" or a list of tags, a weak one compared as strong (RFC 9110).
bool Matches(const char* ifNoneMatch, const std::string& etag) {
  if (!ifNoneMatch) return false;
  std::istringstream list(ifNoneMatch);
  for (std::string tag; std::getline(list, tag, ',');) {
    const size_t first = tag.find_first_not_of(" \t");
    if (first == std::string::npos) continue;
    tag = tag.substr(first, tag.find_last_not_of(" \t") + 1 - first);
    if (tag.compare(0, 2, "W/") == 0) tag.erase(0, 2);
    if (tag == "*" || tag == etag) return true;
  }
  return false;
}

Reply NotModified(const std::string& etag, const std::string& cacheControl) {
  return {304, {{"ETag", etag}, {"Cache-Control", cacheControl}}, nullptr};
}

bool EndsWith(const std::string& text, const char* tail) {
  const size_t size = std::strlen(tail);
  return text.size() >= size && text.compare(text.size() - size, size, tail) == 0;
}

const char kPictureCaching[] = "public, max-age=86400";
const std::string kLinkPath = std::string("/") + kLinkPrefix;
// The page revalidates each time, so a new build is what the next visit gets.
const char kPageCaching[] = "no-cache";

Reply PictureNotModified(const std::string& etag) {
  Reply reply = NotModified(etag, kPictureCaching);
  reply.headers.push_back({"Access-Control-Allow-Origin", "*"});
  return reply;
}

// A PNG's look from the end of its name: "@2x" or "@3x" for a dense
// screen, then "-dark" for a dark page; what is left is the link. False
// for a ratio there is no picture at, with the reason.
bool ReadLook(std::string& stem, PngLook& look, std::string& reason) {
  look.dark = EndsWith(stem, kDarkSuffix);
  if (look.dark) stem.resize(stem.size() - std::strlen(kDarkSuffix));
  // A link ends in its checksum's hexadecimal digits, never in an "x"; the
  // '@' is looked for only then, as a link is hundreds of bytes.
  if (stem.empty() || stem.back() != 'x') return true;
  const size_t at = stem.rfind('@');
  if (at == std::string::npos) return true;
  const std::string ratio = stem.substr(at + 1, stem.size() - at - 2);
  int scale = 0;
  if (!ParseWholeInt(ratio.c_str(), &scale) || scale < 2 || scale > kPngScaleMax) {
    reason = "no picture at @" + ratio + "x: a PNG comes at @2x and @3x besides its own size";
    return false;
  }
  look.scale = scale;
  stem.resize(at);
  return true;
}

// Why a picture of `s` is not drawn, with its status; 0 when it is.
int Unfit(const Site& site, const GraphSettings& s, PictureKind kind, int64_t scale, std::string& reason) {
  const std::string size = std::to_string(s.imageWidth) + " x " + std::to_string(s.imageHeight) + " pixels";
  if (s.imageWidth < 1 || s.imageHeight < 1) {
    reason = "a picture of " + size + " holds nothing";
    return 422;
  }
  // A link may carry a width the data makes, past any side a PNG can be
  // drawn with; an SVG has no such bound, as the exporter's has none.
  const std::string scaled = size + (scale > 1 ? " at @" + std::to_string(scale) + "x" : "");
  if (kind == PictureKind::Png && (s.imageWidth * scale > kImageSizeMax || s.imageHeight * scale > kImageSizeMax)) {
    reason = "a PNG of " + scaled + " is wider or taller than " + std::to_string(kImageSizeMax) + " pixels";
    return 422;
  }
  const uint64_t pixels = static_cast<uint64_t>(s.imageWidth) * static_cast<uint64_t>(s.imageHeight) *
                          static_cast<uint64_t>(scale * scale);
  if (pixels > site.maxPixels) {
    reason = "a picture of " + scaled + " is over this server's limit of " + std::to_string(site.maxPixels) +
             " pixels";
    return 422;
  }
  return 0;
}

// A kept picture is answered before its link is read again, or its tag
// worked out again: it was read whole when the picture was drawn, and the
// key is the link itself.
Route PictureRoute(const Site& site, const std::string& plain, const char* ifNoneMatch, PictureCache* cache) {
  Route route;
  PictureJob& job = route.job;
  job.kind = EndsWith(plain, ".svg") ? PictureKind::Svg : PictureKind::Png;
  const std::string stem = plain.substr(1, plain.size() - 5);
  std::string link = stem;
  std::string reason;
  if (job.kind == PictureKind::Png && !ReadLook(link, job.look, reason)) {
    route.reply = TextReply(404, reason);
    return route;
  }
  job.key = (job.kind == PictureKind::Svg ? "s" : "p") + stem;
  if (Bytes kept = cache ? cache->Find(job.key, &job.etag) : nullptr) {
    route.reply = Matches(ifNoneMatch, job.etag) ? PictureNotModified(job.etag) : PictureReply(job, kept);
    return route;
  }
  job.etag = Etag(job.key);
  auto data = std::make_shared<GraphData>();
  if (!ReadLinkFragment(link.data(), link.size(), job.settings, *data)) {
    route.reply = TextReply(400, "not a graph link, or a damaged or cut one");
    return route;
  }
  job.data = std::move(data);
  const int status = Unfit(site, job.settings, job.kind, job.look.scale, reason);
  if (status != 0) {
    route.reply = TextReply(status, reason);
    return route;
  }
  const GraphSettings& s = job.settings;
  job.pixels = static_cast<uint64_t>(s.imageWidth) * static_cast<uint64_t>(s.imageHeight) *
               static_cast<uint64_t>(job.look.scale * job.look.scale);
  if (Matches(ifNoneMatch, job.etag)) {
    route.reply = PictureNotModified(job.etag);
    return route;
  }
  route.drawing = true;
  return route;
}

// A link ends in its checksum's digits: a name ending in ".gif" after
// them asks for a picture we do not draw, not for the link's page.
bool HasEnding(const std::string& plain) {
  const size_t last = plain.rfind('&');
  return last != std::string::npos && plain.find('.', last) != std::string::npos;
}

// One of the page's files, or the page at a link's address, its bytes
// made only when the client has none of them.
template <typename Make>
Reply PageReply(const std::string& type, const std::string& etag, const char* ifNoneMatch, Make bytes) {
  Reply reply = Matches(ifNoneMatch, etag)
                    ? NotModified(etag, kPageCaching)
                    : Reply{200, {{"Content-Type", type}, {"ETag", etag}, {"Cache-Control", kPageCaching}}, bytes()};
  if (type.compare(0, 9, "text/html") == 0) reply.headers.push_back({"Content-Security-Policy", kPagePolicy});
  return reply;
}

// The page that opens a link's graph, at the link's own address. Its tags
// name the host the request names, so its tag changes with that host, and
// a cache that keeps one host's page never hands it out for another. Its
// picture is the PNG at twice the size where that is drawn, at its own
// size where only that is.
Route SharedRoute(const Site& site, const std::string& plain, const char* ifNoneMatch, const Addressed& addressed) {
  Route route;
  GraphSettings settings;
  GraphData data;
  const auto index = site.files.find("/");
  if (index == site.files.end()) {
    route.reply = TextReply(404, "no such page or picture");
  } else if (!ReadLinkFragment(plain.data() + 1, plain.size() - 1, settings, data)) {
    route.reply = TextReply(400, "not a graph link, or a damaged or cut one");
  } else {
    std::string reason;
    int scale = 2;
    while (scale > 0 && Unfit(site, settings, PictureKind::Png, scale, reason) != 0) --scale;
    const std::string origin = RequestOrigin(addressed);
    const PageFile& page = index->second;
    route.reply = PageReply(page.type, Etag(page.etag + origin + plain), ifNoneMatch, [&] {
      return std::make_shared<const std::string>(SharedPage(*page.bytes, settings, data, origin, scale));
    });
  }
  return route;
}

}  // namespace

Reply TextReply(int status, const std::string& reason) {
  return {status,
          {{"Content-Type", "text/plain; charset=utf-8"}, {"Cache-Control", "no-store"}},
          std::make_shared<const std::string>(reason + "\n")};
}

Reply PictureReply(const PictureJob& job, Bytes bytes) {
  Reply reply{200,
              {{"Content-Type", job.kind == PictureKind::Svg ? "image/svg+xml" : "image/png"},
               {"ETag", job.etag},
               {"Cache-Control", kPictureCaching},
               {"Access-Control-Allow-Origin", "*"}},
              std::move(bytes)};
  if (job.kind == PictureKind::Svg) reply.headers.push_back({"Content-Security-Policy", kPicturePolicy});
  return reply;
}

Route RouteRequest(const Site& site, const std::string& method, const std::string& path, const char* ifNoneMatch,
                   PictureCache* cache, const Addressed& addressed) {
  Route route;
  std::string plain;
  if (method != "GET" && method != "HEAD") {
    route.reply = TextReply(405, "only GET and HEAD are answered here");
    route.reply.headers.push_back({"Allow", "GET, HEAD"});
  } else if (path.size() > kPathMax) {
    route.reply = TextReply(414, "the path is longer than any picture's");
  } else if (!Unescape(path, plain)) {
    route.reply = TextReply(400, "the path has a broken escape or a control character");
  } else if (plain == "/healthz") {
    route.reply = TextReply(200, "ok");
  } else if (const auto file = site.files.find(plain); file != site.files.end()) {
    const PageFile& page = file->second;
    route.reply = PageReply(page.type, page.etag, ifNoneMatch, [&page] { return page.bytes; });
  } else if (plain.compare(0, kLinkPath.size(), kLinkPath) == 0 &&
             (EndsWith(plain, ".png") || EndsWith(plain, ".svg"))) {
    route = PictureRoute(site, plain, ifNoneMatch, cache);
  } else if (plain.compare(0, kLinkPath.size(), kLinkPath) == 0 && !HasEnding(plain)) {
    route = SharedRoute(site, plain, ifNoneMatch, addressed);
  } else {
    route.reply = TextReply(404, "no such page or picture");
  }
  return route;
}

bool LoadPage(const std::string& root, Site& site, std::string& error) {
  for (const auto& page : kPageFiles) {
    const std::string name = root + "/" + page.file;
    std::ifstream file(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    if (!file) {
      error = name + ": cannot read";
      return false;
    }
    auto held = std::make_shared<const std::string>(bytes.str());
    site.files[page.path] = {page.type, Etag(std::string(page.file) + '\n' + *held), held};
  }
  return true;
}
