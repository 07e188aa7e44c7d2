#pragma once
#include <memory>
#include <string>

#include "serve/Answer.h"
#include "serve/ServeOptions.h"

// The server: connection loops read requests and send answers, never
// waiting for a drawing; pictures are drawn on DrawQueue's threads while
// their connections wait. Connections are bounded in number, per address,
// in the bytes of a request's head and in idle time; a watchdog gives a
// client `timeout` seconds to send a whole request, however slowly it sends.
class HttpDaemon {
 public:
  HttpDaemon(const ServeOptions& options, const Site& site);
  ~HttpDaemon();
  HttpDaemon(const HttpDaemon&) = delete;
  HttpDaemon& operator=(const HttpDaemon&) = delete;

  // Listens and starts answering; false with the reason.
  bool Start(std::string& error);
  // "http://HOST:PORT/", the port the one listened on.
  std::string Address() const;
  // Takes no more connections, lets the requests in flight finish (those
  // still waiting to be drawn get 503), then stops.
  void Stop();

  struct State;

 private:
  std::unique_ptr<State> state_;
};
