#include "serve/HttpDaemon.h"

#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/AboutText.h"
#include "render/PngRenderer.h"
#include "serve/Acceptor.h"
#include "serve/AccessLog.h"
#include "serve/AnswerHead.h"
#include "serve/ConnectionLoop.h"
#include "serve/DrawQueue.h"
#include "serve/HeaderRules.h"
#include "serve/Linger.h"
#include "serve/ListenSocket.h"
#include "serve/PictureCache.h"
#include "serve/RequestHead.h"
#include "serve/SlowClients.h"

namespace {

using Clock = std::chrono::steady_clock;

// A stop's bounds, well inside the service unit's TimeoutStopSec: the
// pictures asked for before it get this long to start being drawn, and the
// answers still on their way out this long more. The stop also waits for
// the drawings under way, a largest picture's time at most, so the grace
// leaves room for one: the whole stays within 5 s.
constexpr auto kDrawGrace = std::chrono::seconds(3);
constexpr auto kFinishBound = std::chrono::seconds(1);
// A connection kept alive and answered this lately may have its client's
// next request on the way, sent before the client could know of the stop:
// it is given this long to arrive, and answered with Connection: close,
// rather than cut off unanswered.
constexpr auto kKeepAliveSettle = std::chrono::seconds(1);
// Room past --connections for those shut to make way but not yet closed;
// past it a connection is refused at once.
constexpr unsigned kShutMargin = 2;
const std::string kServerName = std::string(kServerProduct) + "/" + kAppVersion;

}  // namespace

struct HttpDaemon::State {
  const ServeOptions& options;
  const Site& site;
  AccessLog log;  // first made, last gone: every answer until the end is logged
  PictureCache cache;
  DrawQueue draws;
  ListenSocket listener;
  SlowClients slowClients;
  Linger linger;
  std::vector<std::unique_ptr<ConnectionLoop>> loops;
  std::atomic<size_t> nextLoop{0};
  std::unique_ptr<Acceptor> acceptor;
  std::atomic<bool> stopping{false};  // every answer from now on closes its connection
  std::atomic<int> inFlight{0};
  std::atomic<int> open{0};
  // Connections by address, for --per-address.
  std::mutex addressesLock;
  std::unordered_map<std::string, int> addresses;
  // The connections waiting for a drawing, counted under one lock, so
  // that once `ending` is set none is made to wait again.
  std::mutex suspending;
  int suspended = 0;
  bool ending = false;

  State(const ServeOptions& o, const Site& s, int threads)
      : options(o),
        site(s),
        cache(static_cast<uint64_t>(o.cacheMiB) << 20),
        draws(threads, o.queue, std::max<uint64_t>(kPixelsDrawnAtOnce, static_cast<uint64_t>(o.maxPixels))),
        slowClients(o.timeout) {}
};

namespace {

using State = HttpDaemon::State;

int Cores() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

// What a request is answered by, kept while its picture is drawn.
struct Asked {
  std::string method;
  std::string path;
  std::string version;
  bool ends = false;  // the client's own word, or its HTTP/1.0's
};

void Send(State& state, Connection& connection, const Asked& asked, const Reply& reply) {
  // A stopping server tells every client to go, so that none sends it another request.
  const bool ends = asked.ends || state.stopping;
  const bool head = asked.method == "HEAD";
  state.log.Add(AccessLine(connection.client, asked.method, asked.path, asked.version, reply.status,
                           reply.body && !head ? static_cast<long long>(reply.body->size()) : 0));
  connection.loop->Answer(connection, AnswerHead(reply, kServerName, ends, !ends && asked.version == "HTTP/1.0"),
                          reply.body, head || reply.status == 304, ends);
}

Reply Busy(const std::string& reason) {
  Reply later = TextReply(503, reason);
  later.headers.push_back({"Retry-After", "1"});
  return later;
}

// The picture's turn with a drawing thread: the connection waits and is
// answered, on its own loop, with the bytes or, when the queue is full,
// the server stops or the drawing fails, with why (a 503). A picture
// already being drawn for another request is waited for, not drawn again.
void DrawLater(State& state, Connection& connection, const Asked& asked, const PictureJob& job) {
  {
    std::lock_guard<std::mutex> lock(state.suspending);
    if (state.ending) return Send(state, connection, asked, Busy("the server is stopping"));
    ++state.suspended;
  }
  auto resume = [&state, loop = connection.loop, connection = &connection, asked, job](bool ok, const Bytes& bytes) {
    loop->Post(connection, [&state, asked, job, ok, bytes](Connection& waited) {
      Send(state, waited, asked, ok ? PictureReply(job, bytes) : Busy(*bytes));
    });
    std::lock_guard<std::mutex> lock(state.suspending);
    --state.suspended;
  };
  const std::string& key = job.key;
  if (!state.cache.Join(key, std::move(resume))) return;
  const auto drawn = [&state, key, etag = job.etag](bool ok, std::string& bytes) {
    state.cache.Finish(key, ok, std::move(bytes), etag);
  };
  if (!state.draws.Submit(job, drawn)) {
    state.cache.Finish(key, false,
                       state.stopping ? "the server is stopping" : "busy: too many pictures waiting to be drawn");
  }
}

// The headers a request is answered by.
struct Fields {
  std::optional<std::string> host, forwardedHost, forwardedProto, ifNoneMatch;
  std::string connection;  // the words of every Connection header
  bool body = false;
};

Fields ReadFields(const HeaderLines& lines) {
  Fields fields;
  for (const auto& [name, value] : lines) {
    if (Named(name, "Host")) {
      fields.host = value;
    } else if (Named(name, "X-Forwarded-Host")) {
      fields.forwardedHost = value;
    } else if (Named(name, "X-Forwarded-Proto")) {
      fields.forwardedProto = value;
    } else if (Named(name, "If-None-Match")) {
      fields.ifNoneMatch = value;
    } else if (Named(name, "Connection")) {
      fields.connection.append(value).append(",");
    } else if (Named(name, "Transfer-Encoding")) {
      fields.body = true;
    } else if (Named(name, "Content-Length")) {
      fields.body |= value.find_first_not_of('0') != std::string_view::npos;
    }
  }
  return fields;
}

const char* Given(const std::optional<std::string>& value) { return value ? value->c_str() : nullptr; }

void OnRequest(State& state, Connection& connection, const RequestHead& head) {
  state.slowClients.Waiting(&connection, false);
  Asked asked{std::string(head.method), std::string(head.target.substr(0, head.target.find('?'))),
              std::string(head.version)};
  // One answer, then the connection closes: what follows a refused head is
  // never read as a request of its own.
  if (head.state == RequestHead::State::Refused) {
    asked.ends = true;
    return Send(state, connection, asked, TextReply(head.status, head.reason));
  }
  const Fields fields = ReadFields(head.lines);
  asked.ends = asked.version == "HTTP/1.0" ? !ListHas(fields.connection, "keep-alive")
                                           : ListHas(fields.connection, "close");
  const Route route = RouteRequest(state.site, asked.method, asked.path, Given(fields.ifNoneMatch), &state.cache,
                                   {Given(fields.host), Given(fields.forwardedHost), Given(fields.forwardedProto)});
  // Refused before any body is read, by its method where that is refused.
  if (fields.body) {
    asked.ends = true;
    const bool method = route.reply.status == 405;
    return Send(state, connection, asked, method ? route.reply : TextReply(400, "a request here has no body"));
  }
  if (!route.drawing) return Send(state, connection, asked, route.reply);
  DrawLater(state, connection, asked, route.job);
}

void OnArriving(State& state, Connection&) { ++state.inFlight; }

void OnAnswered(State& state, Connection& connection) {
  --state.inFlight;
  state.slowClients.Waiting(&connection, true);
}

void OnClosed(State& state, Connection& connection) {
  const bool cutOff = state.slowClients.Closed(&connection);
  if (connection.inFlight) --state.inFlight;
  if (state.options.perAddress > 0) {
    std::lock_guard<std::mutex> lock(state.addressesLock);
    const auto found = state.addresses.find(connection.client);
    if (found != state.addresses.end() && --found->second == 0) state.addresses.erase(found);
  }
  --state.open;
  state.linger.Closed(std::move(connection.fd), cutOff);
}

std::string AddressText(const sockaddr* address, socklen_t length) {
  char host[NI_MAXHOST] = "-";
  getnameinfo(address, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST);
  return host;
}

// A connection past --connections makes way by shutting the one idle
// longest; where none is idle it is refused at once, never left waiting in
// the kernel's queue.
void Take(State& state, int fd, const sockaddr* address, socklen_t length) {
  UniqueFd socket(fd);
  // A lingering socket goes first: it has had its answer.
  const auto connections = static_cast<size_t>(state.options.connections);
  const bool full = state.slowClients.Count() + state.linger.Count() >= connections;
  if (full && !state.linger.ShedOldest() && !state.slowClients.ShedIdle()) return;
  if (static_cast<size_t>(state.open) >= connections * kShutMargin) return;
  auto connection = std::make_unique<Connection>();
  connection->client = AddressText(address, length);
  if (state.options.perAddress > 0) {
    std::lock_guard<std::mutex> lock(state.addressesLock);
    int& count = state.addresses[connection->client];
    if (count >= state.options.perAddress) return;
    ++count;
  }
  // An answer goes out as it is written: the next request waits for it.
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  ++state.open;
  connection->fd = std::move(socket);
  state.slowClients.Opened(connection.get(), fd);
  state.loops[state.nextLoop++ % state.loops.size()]->Add(std::move(connection));
}

}  // namespace

HttpDaemon::HttpDaemon(const ServeOptions& options, const Site& site)
    : state_(std::make_unique<State>(options, site, options.jobs > 0 ? options.jobs : Cores())) {}

HttpDaemon::~HttpDaemon() { Stop(); }

bool HttpDaemon::Start(std::string& error) {
  State& state = *state_;
  const ServeOptions& o = state.options;
  if (!state.listener.Inherit(error) && !state.listener.Open(o.host, o.port, error)) return false;
  if (!error.empty() || !state.linger.Start(error)) return false;
  const ConnectionLoop::Events events{
      [&state](Connection& c, const RequestHead& head) { OnRequest(state, c, head); },
      [&state](Connection& c) { OnArriving(state, c); }, [&state](Connection& c) { OnAnswered(state, c); },
      [&state](Connection& c) { OnClosed(state, c); }};
  for (int i = 0; i < Cores(); ++i) {
    state.loops.push_back(std::make_unique<ConnectionLoop>(events, o.timeout));
    if (!state.loops.back()->Start(error)) return false;
  }
  state.slowClients.Start();
  state.acceptor = std::make_unique<Acceptor>(
      state.listener.fd(),
      [&state](int fd, const sockaddr* address, socklen_t length) { Take(state, fd, address, length); });
  return state.acceptor->Start(error);
}

std::string HttpDaemon::Address() const {
  const std::string& host = state_->listener.host();
  const bool v6 = host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(state_->listener.port()) + "/";
}

void HttpDaemon::Stop() {
  State& state = *state_;
  if (state.loops.empty() || !state.acceptor) return;
  const Clock::time_point start = Clock::now();
  // Our own socket is drained and closed, so that a client is refused at
  // once rather than reset later; a service manager's keeps its queue for
  // the next server. Only then is any client told to go: one told before
  // would come straight back into the queue about to be closed, and be reset.
  state.acceptor->Stop(!state.listener.inherited());
  state.listener.Close();
  state.stopping = true;
  // A request is in flight from its first byte in to its answer out.
  const auto busy = [&state] { return state.inFlight > 0 || state.slowClients.AnyArriving(); };
  // What was asked for before is drawn if the grace allows, and so is what
  // still comes on kept-alive connections meanwhile; then the queue latches
  // and what still waits is refused.
  while ((busy() || state.slowClients.AnyAnsweredSince(Clock::now() - kKeepAliveSettle)) &&
         Clock::now() < start + kDrawGrace) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  state.draws.Close();
  state.draws.Cancel();
  const Clock::time_point bound = std::max(Clock::now(), start + kDrawGrace) + kFinishBound;
  while (busy() && Clock::now() < bound) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // The loops may be stopped only with no connection waiting for a
  // drawing: each is resumed by its drawing, which ends, and none waits again.
  {
    std::lock_guard<std::mutex> lock(state.suspending);
    state.ending = true;
  }
  for (;;) {
    {
      std::lock_guard<std::mutex> lock(state.suspending);
      if (state.suspended == 0) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // A drawing that ended past the bound has resumed its connection, whose
  // answer is then a write away: it goes out before the loops stop.
  const Clock::time_point answered = Clock::now() + kFinishBound;
  while (state.inFlight > 0 && Clock::now() < answered) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  for (auto& loop : state.loops) loop->Stop();
  state.acceptor.reset();
  state.linger.Stop(bound);
  state.slowClients.Stop();
}
