#include "serve/HttpDaemon.h"

#include <microhttpd.h>
#include <netdb.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <utility>

#include "model/AboutText.h"
#include "render/PngRenderer.h"
#include "serve/Acceptor.h"
#include "serve/AccessLog.h"
#include "serve/DrawQueue.h"
#include "serve/HeaderRules.h"
#include "serve/Linger.h"
#include "serve/ListenSocket.h"
#include "serve/PictureCache.h"
#include "serve/SlowClients.h"

namespace {

using Clock = std::chrono::steady_clock;

// Room for the longest link's path (kPathMax) and the headers a browser
// sends; more is answered by the library with 414 or 431. No more room
// than that: the library clears all of it for every request.
constexpr size_t kConnectionMemory = 32 * 1024;
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
// Room past --connections for those shut to make way but not yet let go by
// the library, which refuses any more itself.
constexpr unsigned kShutMargin = 2;
const std::string kServerName = std::string(kServerProduct) + "/" + kAppVersion;

// One request from its header to its answer.
struct Exchange {
  bool routed = false;
  Route route;
  bool drawn = false;  // set by the drawing thread before it resumes the connection
  bool ok = false;
  Bytes bytes;         // the picture, or why there is none
};

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
  std::unique_ptr<Acceptor> acceptor;
  MHD_Daemon* daemon = nullptr;  // stopped by Stop, in its order
  std::atomic<bool> stopping{false};  // every answer from now on closes its connection
  std::atomic<int> inFlight{0};
  // Suspending and the count of the suspended, under one lock, so that
  // once `ending` is set no connection is suspended again.
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

void OnConnection(void* cls, MHD_Connection* connection, void** socket, MHD_ConnectionNotificationCode code) {
  State& state = *static_cast<State*>(cls);
  if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
    std::unique_ptr<Linger::Held> held(static_cast<Linger::Held*>(std::exchange(*socket, nullptr)));
    const bool shut = state.slowClients.Closed(connection);
    return state.linger.Closed(std::move(held), shut);
  }
  const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  if (!info) return;
  state.slowClients.Opened(connection, info->connect_fd);
  *socket = state.linger.Opened(info->connect_fd).release();
}

std::string ClientOf(MHD_Connection* connection) {
  const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
  char host[NI_MAXHOST] = "-";
  if (info && info->client_addr) {
    const socklen_t length =
        info->client_addr->sa_family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    getnameinfo(info->client_addr, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST);
  }
  return host;
}

void FreeBytes(void* held) { delete static_cast<Bytes*>(held); }

using Response = std::unique_ptr<MHD_Response, void (*)(MHD_Response*)>;

// The reply's bytes are shared with the library until it has sent them.
Response MakeResponse(const Reply& reply) {
  if (!reply.body) return {MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT), MHD_destroy_response};
  auto held = std::make_unique<Bytes>(reply.body);
  Response response(MHD_create_response_from_buffer_with_free_callback_cls(
                        reply.body->size(), const_cast<char*>(reply.body->data()), FreeBytes, held.get()),
                    MHD_destroy_response);
  if (response) held.release();
  return response;
}

MHD_Result Send(State& state, MHD_Connection* connection, const char* url, const char* method,
                const char* version, const Reply& reply) {
  const Response response = MakeResponse(reply);
  if (!response) return MHD_NO;
  for (const auto& [name, value] : reply.headers) MHD_add_response_header(response.get(), name.c_str(), value.c_str());
  // Whatever the type says is what a browser takes any answer for.
  MHD_add_response_header(response.get(), "X-Content-Type-Options", "nosniff");
  // The page offers image links where it finds itself served by us.
  MHD_add_response_header(response.get(), MHD_HTTP_HEADER_SERVER, kServerName.c_str());
  // A stopping server tells every client to go, so that none sends it another request.
  if (state.stopping) MHD_add_response_header(response.get(), MHD_HTTP_HEADER_CONNECTION, "close");
  const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(reply.status), response.get());
  const bool head = std::strcmp(method, "HEAD") == 0;
  state.log.Add(AccessLine(ClientOf(connection), method, url, version, reply.status,
                             reply.body && !head ? static_cast<long long>(reply.body->size()) : 0));
  return queued;
}

// The picture's turn with a drawing thread: the connection waits, suspended,
// and is resumed with the bytes or, when the queue is full, the server stops
// or the drawing fails, with why (a 503). A picture already being drawn for
// another request is waited for, not drawn again. False when the server is
// past suspending anything.
bool DrawLater(State& state, MHD_Connection* connection, Exchange& exchange) {
  {
    std::lock_guard<std::mutex> lock(state.suspending);
    if (state.ending) return false;
    MHD_suspend_connection(connection);
    ++state.suspended;
  }
  const auto resume = [&state, connection, &exchange](bool ok, const Bytes& bytes) {
    exchange.ok = ok;
    exchange.bytes = bytes;
    exchange.drawn = true;
    std::lock_guard<std::mutex> lock(state.suspending);
    MHD_resume_connection(connection);
    --state.suspended;
  };
  const std::string key = exchange.route.job.key;
  if (!state.cache.Join(key, resume)) return true;
  const auto drawn = [&state, key, etag = exchange.route.job.etag](bool ok, std::string& bytes) {
    state.cache.Finish(key, ok, std::move(bytes), etag);
  };
  if (!state.draws.Submit(exchange.route.job, drawn)) {
    state.cache.Finish(key, false,
                       state.stopping ? "the server is stopping" : "busy: too many pictures waiting to be drawn");
  }
  return true;
}

MHD_Result AddLine(void* lines, MHD_ValueKind, const char* name, size_t nameSize, const char* value,
                   size_t valueSize) {
  static_cast<HeaderLines*>(lines)->emplace_back(std::string_view(name, nameSize),
                                                 std::string_view(value ? value : "", value ? valueSize : 0));
  return MHD_YES;
}

// One answer, then the connection closes: what follows a refused header
// is never read as a request of its own.
Reply Refusal(int status, const std::string& reason) {
  Reply refused = TextReply(status, reason);
  refused.headers.push_back({MHD_HTTP_HEADER_CONNECTION, "close"});
  return refused;
}

bool HasBody(MHD_Connection* connection) {
  const char* length = MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
  return (length && std::strcmp(length, "0") != 0) ||
         MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_TRANSFER_ENCODING);
}

// The library calls this once the header is in, again once the request is
// whole (answering only then keeps the connection alive), and once more
// after a drawing resumes the connection.
MHD_Result Answer(void* cls, MHD_Connection* connection, const char* url, const char* method, const char* version,
                  const char*, size_t* uploadSize, void** request) {
  State& state = *static_cast<State*>(cls);
  auto* exchange = static_cast<Exchange*>(*request);
  const auto route = [&] {
    const auto value = [connection](const char* name) {
      return MHD_lookup_connection_value(connection, MHD_HEADER_KIND, name);
    };
    return RouteRequest(state.site, method, url, value(MHD_HTTP_HEADER_IF_NONE_MATCH), &state.cache,
                        {value(MHD_HTTP_HEADER_HOST), value("X-Forwarded-Host"), value("X-Forwarded-Proto")});
  };
  if (!exchange) {
    state.slowClients.Waiting(connection, false);
    exchange = new Exchange;
    *request = exchange;
    ++state.inFlight;
    HeaderLines lines;
    MHD_get_connection_values_n(connection, MHD_HEADER_KIND, AddLine, &lines);
    const Loose loose = LooseRequest(url, version, lines);
    if (!loose.status && !HasBody(connection)) return MHD_YES;
    // Refused before any body is read.
    exchange->routed = true;
    Reply refused = loose.status ? Refusal(loose.status, loose.reason) : route().reply;
    if (refused.status != 405 && !loose.status) refused = Refusal(400, "a request here has no body");
    return Send(state, connection, url, method, version, refused);
  }
  if (*uploadSize) {
    *uploadSize = 0;
    return MHD_YES;
  }
  if (!exchange->routed) {
    exchange->routed = true;
    exchange->route = route();
    const Route& routed = exchange->route;
    if (!routed.drawing) return Send(state, connection, url, method, version, routed.reply);
    if (DrawLater(state, connection, *exchange)) return MHD_YES;
    exchange->drawn = true;
    exchange->bytes = std::make_shared<const std::string>("the server is stopping");
  }
  if (!exchange->drawn) return MHD_YES;
  if (!exchange->ok) {
    Reply later = TextReply(503, *exchange->bytes);
    later.headers.push_back({"Retry-After", "1"});
    return Send(state, connection, url, method, version, later);
  }
  return Send(state, connection, url, method, version, PictureReply(exchange->route.job, exchange->bytes));
}

void Completed(void* cls, MHD_Connection* connection, void** request, MHD_RequestTerminationCode) {
  State& state = *static_cast<State*>(cls);
  state.slowClients.Waiting(connection, true);
  if (!*request) return;
  delete static_cast<Exchange*>(*request);
  *request = nullptr;
  --state.inFlight;
}

// The library takes the path as the request line spells it: RouteRequest
// undoes the escapes itself and refuses what it cannot read.
size_t KeepEscapes(void*, MHD_Connection*, char* uri) { return std::strlen(uri); }

// A connection past --connections makes way by shutting the one idle
// longest; where none is idle it is refused at once, never left waiting in
// the kernel's queue.
void Take(State& state, int fd, const sockaddr* address, socklen_t length) {
  // A lingering socket goes first: it has had its answer.
  const bool full = state.slowClients.Count() + state.linger.Count() >= static_cast<size_t>(state.options.connections);
  if (full && !state.linger.ShedOldest() && !state.slowClients.ShedIdle()) {
    close(fd);
    return;
  }
  MHD_add_connection(state.daemon, fd, address, length);
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
  state.daemon = MHD_start_daemon(
      MHD_USE_EPOLL_INTERNAL_THREAD | MHD_USE_NO_LISTEN_SOCKET | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC |
          MHD_USE_TURBO,
      0, nullptr, nullptr, Answer, &state, MHD_OPTION_THREAD_POOL_SIZE, static_cast<unsigned>(Cores()),
      MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(o.connections) * kShutMargin,
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<unsigned>(o.perAddress), MHD_OPTION_CONNECTION_TIMEOUT,
      static_cast<unsigned>(o.timeout), MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
      MHD_OPTION_UNESCAPE_CALLBACK, KeepEscapes, nullptr, MHD_OPTION_NOTIFY_COMPLETED, Completed, &state,
      MHD_OPTION_NOTIFY_CONNECTION, OnConnection, &state, MHD_OPTION_END);
  if (!state.daemon) {
    error = "cannot start the HTTP server";
    return false;
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
  if (!state.daemon) return;
  const Clock::time_point start = Clock::now();
  // Our own socket is drained and closed, so that a client is refused at
  // once rather than reset later; a service manager's keeps its queue for
  // the next server. Only then is any client told to go: one told before
  // would come straight back into the queue about to be closed, and be reset.
  if (state.acceptor) state.acceptor->Stop(!state.listener.inherited());
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
  // The library may be stopped only with no connection suspended: each is
  // resumed by its drawing, which ends, and none is suspended again.
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
  // answer is then a write away: it goes out before the library stops.
  const Clock::time_point answered = Clock::now() + kFinishBound;
  while (state.inFlight > 0 && Clock::now() < answered) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  MHD_stop_daemon(state.daemon);
  state.daemon = nullptr;
  state.linger.Stop(bound);
  state.slowClients.Stop();
}
