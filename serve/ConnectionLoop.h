#pragma once
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "serve/Answer.h"
#include "serve/RequestHead.h"
#include "serve/UniqueFd.h"

class ConnectionLoop;

// One HTTP/1.1 connection, owned by the loop that reads and writes it.
struct Connection {
  UniqueFd fd;
  std::string client;  // the peer's address, as the log writes it
  ConnectionLoop* loop = nullptr;
  std::string in;          // read and not yet taken by a request
  size_t scanned = 0;      // of `in`, the bytes known to end no head
  bool waiting = true;     // for a request: false from its head to its answer's end
  bool inFlight = false;   // from a request's first byte read to its answer's end
  bool answering = false;  // an answer is on its way out
  bool stalled = false;    // and waits for room in the socket
  bool ends = false;       // the answer on its way ends the connection
  bool peerDone = false;   // the client has sent its end
  std::string head;        // the answer's status line and headers, then its body
  size_t headSent = 0;
  Bytes body;
  size_t bodySent = 0;
  std::chrono::steady_clock::time_point progress;  // when a stalled answer last moved
};

// Connections on one thread and one epoll set: each request's head read
// whole (never past kHeadMax), handed on, and its answer written as the
// socket takes it. Requests on a connection are answered in turn; one not
// yet answered (its picture being drawn) holds the next, and its
// connection stays until that answer has been given, whatever the client
// does meanwhile: a Post always finds the connection it was meant for.
class ConnectionLoop {
 public:
  using Clock = std::chrono::steady_clock;
  struct Events {
    // The head of a request on `connection`, whole or refused: answer it
    // with Answer, now or from a task given to Post.
    std::function<void(Connection&, const RequestHead&)> request;
    // A request's first bytes have come (inFlight set); its answer has
    // gone out (inFlight cleared).
    std::function<void(Connection&)> arriving;
    std::function<void(Connection&)> answered;
    // The connection is done with: its socket is the callee's to close.
    std::function<void(Connection&)> closed;
  };

  ConnectionLoop(Events events, int timeout) : events_(std::move(events)), timeout_(timeout) {}
  ~ConnectionLoop() { Stop(); }
  ConnectionLoop(const ConnectionLoop&) = delete;
  ConnectionLoop& operator=(const ConnectionLoop&) = delete;

  // False with the system's reason.
  bool Start(std::string& error);
  // Closes every connection (those with an answer on its way first get a
  // last write) after the tasks posted so far have run.
  void Stop();

  // From any thread: a new connection, and a task to run on the loop's
  // thread for one of its connections.
  void Add(std::unique_ptr<Connection> connection);
  void Post(Connection* connection, std::function<void(Connection&)> task);

  // On the loop's thread: the answer to the request read last. `head` is
  // the answer's status line and headers, as AnswerHead writes them; the
  // body is left out where `bodiless` (HEAD, 304).
  void Answer(Connection& connection, std::string head, Bytes body, bool bodiless, bool ends);

 private:
  struct Task {
    Connection* connection;
    std::function<void(Connection&)> run;  // empty: `added` is new
    std::unique_ptr<Connection> added;
  };
  void Run();
  void RunTasks();
  // Reads, hands on and writes until the connection waits for its client,
  // its socket or a drawing.
  void Drive(Connection& connection);
  // Each false when the connection was closed.
  bool Read(Connection& connection);
  bool Write(Connection& connection);
  // True when a request's head was handed on.
  bool Next(Connection& connection);
  void Close(Connection& connection);
  void Expire();

  Events events_;
  std::chrono::seconds timeout_;
  UniqueFd epoll_;
  UniqueFd wake_;
  std::mutex mutex_;
  std::vector<Task> tasks_;
  bool stopping_ = false;
  std::unordered_map<Connection*, std::unique_ptr<Connection>> connections_;
  size_t writing_ = 0;  // connections whose answer waits for room in the socket
  std::thread thread_;
};
