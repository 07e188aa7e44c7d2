#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "model/GraphLink.h"
#include "model/GraphModel.h"
#include "render/PngRenderer.h"
#include "serve/HttpDaemon.h"

namespace {

using Clock = std::chrono::steady_clock;

// A client's socket, closed with it.
class Client {
 public:
  explicit Client(int port) : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    timeval wait{20, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~Client() { close(fd_); }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool Send(const std::string& text) {
    return connected_ && send(fd_, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
  }
  // One whole answer on a kept-alive connection, or what came before the
  // server closed.
  std::string ReadAnswer() {
    for (;;) {
      const size_t end = unread_.find("\r\n\r\n");
      const size_t length = unread_.find("Content-Length: ");
      if (end != std::string::npos && length != std::string::npos && length < end) {
        const size_t whole = end + 4 + std::stoul(unread_.substr(length + 16));
        if (unread_.size() >= whole) {
          std::string answer = unread_.substr(0, whole);
          unread_.erase(0, whole);
          return answer;
        }
      }
      char buffer[4096];
      const ssize_t n = recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) return std::exchange(unread_, {});
      unread_.append(buffer, static_cast<size_t>(n));
    }
  }
  // Everything until the server closes (or the wait runs out).
  std::string ReadAll() {
    std::string got;
    char buffer[65536];
    ssize_t n;
    while ((n = recv(fd_, buffer, sizeof buffer, 0)) > 0) got.append(buffer, static_cast<size_t>(n));
    return got;
  }

 private:
  int fd_;
  bool connected_ = false;
  std::string unread_;
};

// "200", "503", ... of an answer, and whether its body is as long as it says.
std::string Status(const std::string& answer) { return answer.size() > 12 ? answer.substr(9, 3) : "none"; }
bool Whole(const std::string& answer) {
  const size_t end = answer.find("\r\n\r\n");
  const size_t length = answer.find("Content-Length: ");
  if (end == std::string::npos || length == std::string::npos) return false;
  return answer.size() - end - 4 == std::stoul(answer.substr(length + 16));
}

std::string LargePicture(int n) {
  GraphSettings s = StartSettings();
  s.imageWidth = 1000;
  s.imageHeight = 1000;
  GraphData d;
  d.count = n + 2;
  for (int i = 0; i < d.count; ++i) d.values[i] = i * n;
  d.maxValue = d.values[d.count - 1];
  return "GET /" + LinkFragment(s, d) + ".png HTTP/1.1\r\nHost: x\r\n\r\n";
}

int PortOf(const std::string& address) { return std::stoi(address.substr(address.rfind(':') + 1)); }

// Pictures being drawn and waiting, a client asking again and again on a
// kept-alive connection and one trickling a header, when the server stops:
// every request it read gets a whole answer (drawn, or 503 once the grace is
// over), the asking client is told to go, and the stop ends within its
// bounds whatever the clients do.
TEST(StopTest, AStopWithRequestsInFlightEndsWithinItsBound) {
  StartPngRenderer();
  ServeOptions options;
  options.port = 0;
  options.jobs = 1;
  Site site;
  HttpDaemon daemon(options, site);
  std::string error;
  ASSERT_TRUE(daemon.Start(error)) << error;
  const int port = PortOf(daemon.Address());

  constexpr int kPictures = 16;
  std::vector<std::string> answers(kPictures);
  std::vector<Clock::time_point> answeredAt(kPictures);  // read once the clients are joined
  std::atomic<int> sent{0};
  std::vector<std::thread> clients;
  for (int i = 0; i < kPictures; ++i) {
    clients.emplace_back([&, i] {
      Client client(port);
      if (!client.Send(LargePicture(i))) return;
      ++sent;
      answers[i] = client.ReadAnswer();
      answeredAt[i] = Clock::now();
      answers[i] += client.ReadAll();
    });
  }
  Client healthz(port);
  ASSERT_TRUE(healthz.Send("GET /healthz HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"));
  ASSERT_EQ(Status(healthz.ReadAll()), "200");
  std::atomic<bool> trickling{true};
  std::string lastAsked;  // read once the asker is joined
  std::atomic<bool> answeredAgain{false};
  std::thread asker([&] {
    Client again(port);
    const Clock::time_point begun = Clock::now();
    while (again.Send("GET /healthz HTTP/1.1\r\nHost: x\r\n\r\n") && Clock::now() - begun < std::chrono::seconds(10)) {
      lastAsked = again.ReadAnswer();
      answeredAgain = true;
      if (lastAsked.find("Connection: close\r\n") != std::string::npos) break;
    }
  });
  std::thread trickler([&] {
    Client slow(port);
    for (const char* part = "GET /healthz HTTP/1.1\r\nX-Slow: "; trickling && slow.Send(part); part = "x") {
      ++sent;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const Clock::time_point asked = Clock::now();
  while ((sent < kPictures + 1 || !answeredAgain) && Clock::now() - asked < std::chrono::seconds(10)) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(sent >= kPictures + 1 && answeredAgain) << "the requests were not sent";

  const Clock::time_point start = Clock::now();
  daemon.Stop();
  const auto took = Clock::now() - start;
  trickling = false;
  trickler.join();
  asker.join();
  for (std::thread& client : clients) client.join();
  StopPngRenderer();

  // 3 s of grace for the drawing, 1 s for the answers going out, and a
  // sanitizer's slow drawing of one picture begun within the grace.
  EXPECT_LT(took, std::chrono::milliseconds(7000));
  EXPECT_EQ(Status(lastAsked), "200");
  EXPECT_NE(lastAsked.find("Connection: close\r\n"), std::string::npos);
  for (int i = 0; i < kPictures; ++i) {
    SCOPED_TRACE("picture " + std::to_string(i));
    const std::string status = Status(answers[i]);
    EXPECT_TRUE(status == "200" || status == "503") << status;
    EXPECT_TRUE(Whole(answers[i]));
    // One drawn, or refused as it would have waited too long, before the
    // stop keeps its connection; every answer of the stop closes it.
    if (answeredAt[i] > start) {
      EXPECT_NE(answers[i].find("Connection: close\r\n"), std::string::npos);
    }
  }
}

}  // namespace
