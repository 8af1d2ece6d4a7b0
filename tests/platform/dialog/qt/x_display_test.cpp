#include "platform/dialog/qt/x_display.h"

#include <gtest/gtest.h>

#include <netinet/in.h>  // sockaddr_in
#include <sys/socket.h>
#include <poll.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>  // offsetof
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using platform::dialog::qt::XDisplayReachable;

// How long the check may wait: short where the server is to stay silent,
// so that those cases end soon, and where it answers, only a bound that
// turns a check that never comes back into a failure (a loaded machine
// may take longer than any short wait to fork and connect).
constexpr int kSilentMs = 300;
constexpr int kAnswerMs = 20000;

// What a fake server does with the one connection it takes.
enum class Answer {
  kAccept,   // the connection setup succeeds
  kRefuse,   // the setup fails, with a reason, as without authorisation
  kNothing,  // the connection is taken but never answered
};

// A display number of this test process's own: ctest runs the cases as
// processes side by side, and the abstract socket names are shared.
int LocalDisplayNumber() { return 4000 + static_cast<int>(getpid() % 20000); }

// A listening socket where the X server of a display would listen: the
// local one in the abstract namespace (nothing in the file system is
// touched), or TCP on the loopback address. It takes one connection and
// gives the answer asked for.
class FakeServer {
 public:
  FakeServer(bool tcp, Answer answer, int backlog = 4) {
    if (tcp) {
      fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      socklen_t size = sizeof address;
      listening_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(fd_, backlog) == 0 &&
                   getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) == 0;
      int port = ntohs(address.sin_port);
      display_ = "127.0.0.1:" + std::to_string(port - 6000);
    } else {
      number_ = LocalDisplayNumber();
      std::string path = "/tmp/.X11-unix/X" + std::to_string(number_);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::memcpy(address.sun_path + 1, path.data(), path.size());
      fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
      listening_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, backlog) == 0;
      display_ = ":" + std::to_string(number_);
    }
    if (listening_ && answer != Answer::kNothing) server_ = std::thread([this, answer] { Serve(answer); });
  }
  ~FakeServer() {
    shutdown(fd_, SHUT_RDWR);
    if (server_.joinable()) server_.join();
    for (int fd : clients_) close(fd);
    close(fd_);
  }

  bool Listening() const { return listening_; }
  // Whether the client taken has closed its connection, waiting at most
  // `waitMs` for it to.
  bool ClientLeft(int waitMs) {
    if (server_.joinable()) server_.join();
    if (clients_.empty()) return false;
    pollfd p{clients_[0], POLLIN, 0};
    char byte;
    return poll(&p, 1, waitMs) == 1 && read(clients_[0], &byte, 1) == 0;
  }
  const std::string& Display() const { return display_; }
  int Fd() const { return fd_; }

 private:
  void Serve(Answer answer) {
    int client = accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    clients_.push_back(client);
    // The client's setup request: 12 bytes, then its authorisation.
    char request[512];
    if (read(client, request, sizeof request) <= 0) return;
    std::vector<std::uint8_t> reply;
    if (answer == Answer::kAccept) {
      // Success, protocol 11.0, and the fixed part of the setup with no
      // vendor, screens or formats (8 four-byte units).
      reply = {1, 0, 11, 0, 0, 0, 8, 0};
      reply.resize(8 + 32, 0);
    } else {
      const char reason[] = "No protocol specified";  // 21 bytes, padded to 24
      reply = {0, sizeof reason - 1, 11, 0, 0, 0, 6, 0};
      reply.insert(reply.end(), reason, reason + sizeof reason - 1);
      reply.resize(8 + 24, 0);
    }
    (void)!write(client, reply.data(), reply.size());
  }

  int fd_ = -1;
  int number_ = 0;
  bool listening_ = false;
  std::string display_;
  std::thread server_;
  std::vector<int> clients_;
};

TEST(XDisplay, AServerThatAcceptsTheConnectionIsADisplay) {
  for (bool tcp : {false, true}) {
    FakeServer server(tcp, Answer::kAccept);
    ASSERT_TRUE(server.Listening());
    EXPECT_TRUE(XDisplayReachable(server.Display(), kAnswerMs)) << server.Display();
  }
  // The address forms of a local display.
  const std::string n = std::to_string(LocalDisplayNumber());
  for (const std::string& display : {":" + n + ".0", "unix:" + n, "unix/anything:" + n}) {
    FakeServer server(false, Answer::kAccept);
    EXPECT_TRUE(XDisplayReachable(display, kAnswerMs)) << display;
  }
}

// A server whose last client leaves resets itself and turns clients away
// for a moment: the check keeps its connection until the program has its
// own.
TEST(XDisplay, TheCheckHoldsItsConnectionUntilReleased) {
  FakeServer server(false, Answer::kAccept);
  ASSERT_TRUE(XDisplayReachable(server.Display(), kAnswerMs));
  EXPECT_FALSE(server.ClientLeft(50));
  platform::dialog::qt::ReleaseXDisplayCheck();
  EXPECT_TRUE(server.ClientLeft(kAnswerMs));
}

TEST(XDisplay, ARefusingSilentFullOrGoneServerIsNoDisplay) {
  {
    FakeServer refusing(false, Answer::kRefuse);
    EXPECT_FALSE(XDisplayReachable(refusing.Display(), kSilentMs));
  }
  {
    FakeServer silent(false, Answer::kNothing);
    EXPECT_FALSE(XDisplayReachable(silent.Display(), kSilentMs));
  }
  {
    // A queue of one, filled by a connection nobody takes.
    FakeServer full(false, Answer::kNothing, 0);
    sockaddr_un address{};
    socklen_t length = sizeof address;
    ASSERT_EQ(getsockname(full.Fd(), reinterpret_cast<sockaddr*>(&address), &length), 0);
    int filler = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ASSERT_EQ(connect(filler, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_FALSE(XDisplayReachable(full.Display(), kSilentMs));
    close(filler);
  }
  // The session has ended: its DISPLAY is left behind.
  EXPECT_FALSE(XDisplayReachable(":" + std::to_string(LocalDisplayNumber()), kSilentMs));
}

TEST(XDisplay, MalformedAddressesAreNoDisplay) {
  for (const char* display : {"", "nocolon", ":", ":x", ":1x", "host:"})
    EXPECT_FALSE(XDisplayReachable(display, kSilentMs)) << display;
}

}  // namespace
