// Fuzzes the server's request handler as the server calls it, with any
// method and path, a link sealed with a right checksum or not, an
// If-None-Match and any host: every answer is one the server means to give
// (never a 5xx), every refusal one line of text, every picture it agrees
// to draw is drawn within the pixel limit, and a link's page adds nothing
// to the page but its tags.
#include <cstdint>
#include <cstring>
#include <string>

#include "model/GraphLink.h"
#include "serve/Answer.h"
#include "serve/PictureCache.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

const char* const kMethods[] = {"GET", "HEAD", "POST", "OPTIONS", "get", ""};
// A sealed PNG's look, after its checksum.
const char* const kLooks[] = {"", "@2x", "@3x", "-dark", "@3x-dark", "@4x", "@x", "-dark@2x"};
// A link's page (a sealed link with no ending) is asked for by these.
const char* const kHosts[] = {"example.org:8016", "[::1]:80", "x\" onload=\"y", "a/b", "a:99999", "<b>", nullptr};

Site MakeSite() {
  Site site;
  site.files["/"] = {"text/html; charset=utf-8", "\"page\"", std::make_shared<const std::string>("<!DOCTYPE html>")};
  // Small, so that drawing what is allowed stays quick.
  site.maxPixels = 1 << 16;
  return site;
}

bool Header(const Reply& reply, const char* name, const char* value) {
  for (const auto& [key, text] : reply.headers) {
    if (key == name) return !value || text == value;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const Site site = MakeSite();
  // What was drawn is kept, so later inputs take the server's cached road.
  static PictureCache cache(1 << 20);
  if (size < 2) return 0;
  const std::string method = kMethods[bytes[0] % (sizeof kMethods / sizeof *kMethods)];
  const std::string rest(reinterpret_cast<const char*>(bytes) + 2, size - 2);
  std::string path = rest;
  const int shape = bytes[1] % 4;
  const std::string look = kLooks[(bytes[1] >> 2) % (sizeof kLooks / sizeof *kLooks)];
  const char* host = kHosts[(bytes[1] >> 2) % (sizeof kHosts / sizeof *kHosts)];
  const char* ending = shape == 1 ? (bytes[0] & 0x40 ? "" : ".png") : ".svg";
  if (shape == 1 || shape == 2) {
    path = "/" + rest + "&c=" + LinkChecksum(rest) + (*ending == '.' ? look : "") + ending;
  }
  const char* ifNoneMatch = bytes[0] & 0x80 ? "\"1.2-0000000000000000\", *" : nullptr;

  const Route route =
      RouteRequest(site, method, path, shape == 3 ? ifNoneMatch : nullptr, &cache, {host, nullptr, nullptr});
  const Reply& reply = route.reply;
  if (route.drawing) {
    const GraphSettings& s = route.job.settings;
    Check(s.imageWidth >= 1 && s.imageHeight >= 1);
    const uint64_t scale = static_cast<uint64_t>(route.job.look.scale);
    Check(scale >= 1 && scale <= 3);
    Check(route.job.pixels == static_cast<uint64_t>(s.imageWidth) * static_cast<uint64_t>(s.imageHeight) * scale * scale);
    Check(route.job.pixels <= site.maxPixels);
    std::string picture, reason;
    Check(DrawPicture(route.job, picture, reason));
    const Bytes bytes = std::make_shared<const std::string>(picture);
    const Reply drawn = PictureReply(route.job, bytes);
    Check(cache.Join(route.job.key, [](bool, const Bytes&) {}));
    cache.Finish(route.job.key, true, picture, route.job.etag);
    Check(drawn.status == 200 && Header(drawn, "ETag", route.job.etag.c_str()));
    Check(route.job.kind == PictureKind::Png ? picture.compare(0, 4, "\x89PNG") == 0
                                             : picture.find("<svg") != std::string::npos);
    return 0;
  }
  switch (reply.status) {
    case 200:
      Check(method == "GET" || method == "HEAD");
      if (Header(reply, "Content-Type", "text/html; charset=utf-8") && reply.body->size() > 15) {
        const std::string& page = *reply.body;
        size_t tags = 0;
        for (size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) ++tags;
        size_t metas = 0;
        for (size_t at = page.find("<meta "); at != std::string::npos; at = page.find("<meta ", at + 1)) ++metas;
        Check(tags == metas + 1 && page.find(" onload") == std::string::npos);
      }
      break;
    case 304: Check(method == "GET" || method == "HEAD"); break;
    case 400:
    case 404:
    case 405:
    case 414:
    case 422: {
      const std::string& text = *reply.body;
      Check(!text.empty() && text.find('\n') == text.size() - 1);
      Check(Header(reply, "Content-Type", "text/plain; charset=utf-8"));
      break;
    }
    default: Check(!"an answer the server never means to give");
  }
  return 0;
}
