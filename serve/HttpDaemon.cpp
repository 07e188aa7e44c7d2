#include "serve/HttpDaemon.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "serve/AccessLog.h"
#include "serve/DrawQueue.h"
#include "serve/PictureCache.h"

namespace {

using Clock = std::chrono::steady_clock;

// Room for a whole link's path and the headers a browser sends; more is
// answered by the library with 414 or 431.
constexpr size_t kConnectionMemory = 64 * 1024;
// Drawn at once beyond one picture: the exporter's batch holds as much.
constexpr uint64_t kDrawnPixels = uint64_t{128} << 20;
constexpr auto kFinishBound = std::chrono::seconds(5);

// One request from its header to its answer.
struct Exchange {
  bool routed = false;
  Route route;
  bool drawn = false;  // set by the drawing thread before it resumes the connection
  bool ok = false;
  Bytes bytes;
};

struct Watch {
  int fd;
  Clock::time_point deadline;
  bool waiting;  // for a request's header
};

}  // namespace

struct HttpDaemon::State {
  const ServeOptions& options;
  const Site& site;
  PictureCache cache;
  DrawQueue draws;
  MHD_Daemon* daemon = nullptr;
  int listenFd = -1;
  int port = 0;
  std::atomic<int> inFlight{0};
  std::atomic<int> suspended{0};

  std::mutex watchMutex;
  std::condition_variable watchChanged;
  std::map<MHD_Connection*, Watch> watches;
  bool stopping = false;
  std::thread watchdog;

  State(const ServeOptions& o, const Site& s, int threads)
      : options(o),
        site(s),
        cache(static_cast<uint64_t>(o.cacheMiB) << 20),
        draws(threads, o.queue, std::max<uint64_t>(kDrawnPixels, static_cast<uint64_t>(o.maxPixels))) {}
};

namespace {

using State = HttpDaemon::State;

int Cores() { return std::max(1, static_cast<int>(std::thread::hardware_concurrency())); }

// A client that sends its request a byte at a time still has only
// `timeout` seconds for all of it: its socket is shut, and the library,
// seeing it end, lets it go. The connection's record goes (under the same
// lock) before the library closes the descriptor, so no other connection's
// socket is ever shut.
void RunWatchdog(State& state) {
  std::unique_lock<std::mutex> lock(state.watchMutex);
  while (!state.stopping) {
    state.watchChanged.wait_for(lock, std::chrono::milliseconds(250));
    const Clock::time_point now = Clock::now();
    for (auto& [connection, watch] : state.watches) {
      if (watch.waiting && now > watch.deadline) {
        shutdown(watch.fd, SHUT_RDWR);
        watch.waiting = false;
      }
    }
  }
}

void Awaiting(State& state, MHD_Connection* connection, bool waiting) {
  std::lock_guard<std::mutex> lock(state.watchMutex);
  const auto found = state.watches.find(connection);
  if (found == state.watches.end()) return;
  found->second.waiting = waiting;
  found->second.deadline = Clock::now() + std::chrono::seconds(state.options.timeout);
}

void OnConnection(void* cls, MHD_Connection* connection, void**, MHD_ConnectionNotificationCode code) {
  State& state = *static_cast<State*>(cls);
  std::lock_guard<std::mutex> lock(state.watchMutex);
  if (code == MHD_CONNECTION_NOTIFY_CLOSED) {
    state.watches.erase(connection);
    return;
  }
  const MHD_ConnectionInfo* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CONNECTION_FD);
  if (!info) return;
  state.watches[connection] = {info->connect_fd, Clock::now() + std::chrono::seconds(state.options.timeout), true};
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

MHD_Result Send(MHD_Connection* connection, const char* url, const char* method, const char* version,
                const Reply& reply) {
  MHD_Response* response = nullptr;
  if (reply.body) {
    auto* held = new Bytes(reply.body);
    response = MHD_create_response_from_buffer_with_free_callback_cls(
        reply.body->size(), const_cast<char*>(reply.body->data()), FreeBytes, held);
    if (!response) delete held;
  } else {
    response = MHD_create_response_from_buffer(0, nullptr, MHD_RESPMEM_PERSISTENT);
  }
  if (!response) return MHD_NO;
  for (const auto& [name, value] : reply.headers) MHD_add_response_header(response, name.c_str(), value.c_str());
  // Whatever the type says is what a browser takes any answer for.
  MHD_add_response_header(response, "X-Content-Type-Options", "nosniff");
  const MHD_Result queued = MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
  MHD_destroy_response(response);
  const bool head = std::strcmp(method, "HEAD") == 0;
  WriteAccessLine(AccessLine(ClientOf(connection), method, url, version, reply.status,
                             reply.body && !head ? static_cast<long long>(reply.body->size()) : 0));
  return queued;
}

// The picture's turn with a drawing thread: the connection waits, suspended,
// and is resumed with the bytes or, when the queue is full or the server
// stops, with a 503.
void DrawLater(State& state, MHD_Connection* connection, Exchange& exchange) {
  MHD_suspend_connection(connection);
  ++state.suspended;
  const auto done = [&state, connection, &exchange](bool ok, std::string& bytes) {
    exchange.ok = ok;
    if (ok) exchange.bytes = std::make_shared<const std::string>(std::move(bytes));
    exchange.drawn = true;
    MHD_resume_connection(connection);
    --state.suspended;
  };
  if (!state.draws.Submit(exchange.route.job, done)) {
    std::string none;
    done(false, none);
  }
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
    return RouteRequest(state.site, method, url,
                        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_IF_NONE_MATCH),
                        &state.cache);
  };
  if (!exchange) {
    Awaiting(state, connection, false);
    exchange = new Exchange;
    *request = exchange;
    ++state.inFlight;
    if (!HasBody(connection)) return MHD_YES;
    // Refused before its body is read; the library then closes the connection.
    exchange->routed = true;
    Reply refused = route().reply;
    if (refused.status != 405) refused = TextReply(400, "a request here has no body");
    return Send(connection, url, method, version, refused);
  }
  if (*uploadSize) {
    *uploadSize = 0;
    return MHD_YES;
  }
  if (!exchange->routed) {
    exchange->routed = true;
    exchange->route = route();
    const Route& routed = exchange->route;
    if (!routed.drawing) return Send(connection, url, method, version, routed.reply);
    DrawLater(state, connection, *exchange);
    return MHD_YES;
  }
  if (!exchange->drawn) return MHD_YES;
  if (!exchange->ok) {
    Reply busy = TextReply(503, "busy: too many pictures waiting to be drawn");
    busy.headers.push_back({"Retry-After", "1"});
    return Send(connection, url, method, version, busy);
  }
  state.cache.Keep(exchange->route.job.key, exchange->bytes);
  return Send(connection, url, method, version, PictureReply(exchange->route.job, exchange->bytes));
}

void Completed(void* cls, MHD_Connection* connection, void** request, MHD_RequestTerminationCode) {
  State& state = *static_cast<State*>(cls);
  Awaiting(state, connection, true);
  if (!*request) return;
  delete static_cast<Exchange*>(*request);
  *request = nullptr;
  --state.inFlight;
}

// The library takes the path as the request line spells it: RouteRequest
// undoes the escapes itself and refuses what it cannot read.
size_t KeepEscapes(void*, MHD_Connection*, char* uri) { return std::strlen(uri); }

bool Listen(State& state, std::string& error) {
  const ServeOptions& o = state.options;
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_PASSIVE;
  addrinfo* found = nullptr;
  const std::string port = std::to_string(o.port);
  const std::string where = "cannot listen on " + o.host + ":" + port + ": ";
  if (const int failed = getaddrinfo(o.host.c_str(), port.c_str(), &hints, &found)) {
    error = where + gai_strerror(failed);
    return false;
  }
  const int fd = socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, found->ai_protocol);
  const int on = 1;
  const bool ok = fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) == 0 &&
                  bind(fd, found->ai_addr, found->ai_addrlen) == 0 && listen(fd, SOMAXCONN) == 0;
  freeaddrinfo(found);
  if (!ok) {
    error = where + std::strerror(errno);
    if (fd >= 0) close(fd);
    return false;
  }
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
  state.port = ntohs(bound.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6&>(bound).sin6_port
                                                 : reinterpret_cast<sockaddr_in&>(bound).sin_port);
  state.listenFd = fd;
  return true;
}

}  // namespace

HttpDaemon::HttpDaemon(const ServeOptions& options, const Site& site)
    : state_(std::make_unique<State>(options, site, options.jobs > 0 ? options.jobs : Cores())) {}

HttpDaemon::~HttpDaemon() { Stop(); }

bool HttpDaemon::Start(std::string& error) {
  State& state = *state_;
  if (!Listen(state, error)) return false;
  const ServeOptions& o = state.options;
  state.daemon = MHD_start_daemon(
      MHD_USE_EPOLL_INTERNAL_THREAD | MHD_ALLOW_SUSPEND_RESUME | MHD_USE_ITC | MHD_USE_TURBO, 0, nullptr,
      nullptr, Answer, &state, MHD_OPTION_LISTEN_SOCKET, state.listenFd, MHD_OPTION_THREAD_POOL_SIZE,
      static_cast<unsigned>(Cores()), MHD_OPTION_CONNECTION_LIMIT, static_cast<unsigned>(o.connections),
      MHD_OPTION_PER_IP_CONNECTION_LIMIT, static_cast<unsigned>(o.perAddress), MHD_OPTION_CONNECTION_TIMEOUT,
      static_cast<unsigned>(o.timeout), MHD_OPTION_CONNECTION_MEMORY_LIMIT, kConnectionMemory,
      MHD_OPTION_UNESCAPE_CALLBACK, KeepEscapes, nullptr, MHD_OPTION_NOTIFY_COMPLETED, Completed, &state,
      MHD_OPTION_NOTIFY_CONNECTION, OnConnection, &state, MHD_OPTION_END);
  if (!state.daemon) {
    error = "cannot start the HTTP server";
    close(state.listenFd);
    state.listenFd = -1;
    return false;
  }
  state.watchdog = std::thread([&state] { RunWatchdog(state); });
  return true;
}

std::string HttpDaemon::Address() const {
  const std::string& host = state_->options.host;
  const bool v6 = host.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(state_->port) + "/";
}

void HttpDaemon::Stop() {
  State& state = *state_;
  if (!state.daemon) return;
  MHD_quiesce_daemon(state.daemon);
  state.draws.Cancel();
  // Each suspended connection is resumed by its drawing: only then may the
  // library let it go.
  while (state.suspended > 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const Clock::time_point bound = Clock::now() + kFinishBound;
  while (state.inFlight > 0 && Clock::now() < bound) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  MHD_stop_daemon(state.daemon);
  state.daemon = nullptr;
  close(state.listenFd);
  {
    std::lock_guard<std::mutex> lock(state.watchMutex);
    state.stopping = true;
  }
  state.watchChanged.notify_all();
  state.watchdog.join();
}
