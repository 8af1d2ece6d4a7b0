#include "platform/dialog/qt/x_display.h"

#include <gtest/gtest.h>

#include <netinet/in.h>  // sockaddr_in
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstddef>  // offsetof
#include <cstring>
#include <string>

namespace {

using platform::dialog::qt::XDisplayReachable;

// A listening socket in the abstract namespace where the local X server of
// display `number` would listen; nothing in the file system is touched.
class FakeLocalServer {
 public:
  explicit FakeLocalServer(int number) {
    std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, path.data(), path.size());
    fd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + path.size());
    listening_ = fd_ >= 0 && bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && listen(fd_, 4) == 0;
  }
  ~FakeLocalServer() {
    if (fd_ >= 0) close(fd_);
  }
  bool Listening() const { return listening_; }

 private:
  int fd_ = -1;
  bool listening_ = false;
};

TEST(XDisplay, ALocalServerAnswersAtItsSocket) {
  {
    FakeLocalServer server(4712);
    ASSERT_TRUE(server.Listening());
    EXPECT_TRUE(XDisplayReachable(":4712"));
    EXPECT_TRUE(XDisplayReachable(":4712.0"));
    EXPECT_TRUE(XDisplayReachable("unix:4712"));
    EXPECT_TRUE(XDisplayReachable("unix/anything:4712"));
  }
  // The session has ended: its DISPLAY is left behind.
  EXPECT_FALSE(XDisplayReachable(":4712"));
}

TEST(XDisplay, ARemoteOrForwardedServerAnswersAtItsTcpPort) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(fd, 4), 0);
  socklen_t size = sizeof address;
  ASSERT_EQ(getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size), 0);
  int port = ntohs(address.sin_port);
  ASSERT_GT(port, 6000);  // ephemeral ports lie far above the X ports
  std::string display = "127.0.0.1:" + std::to_string(port - 6000);
  EXPECT_TRUE(XDisplayReachable(display));
  close(fd);
  EXPECT_FALSE(XDisplayReachable(display));
}

TEST(XDisplay, MalformedAddressesAreNoDisplay) {
  for (const char* display : {"", "nocolon", ":", ":x", ":1x", "host:", ":123456"})
    EXPECT_FALSE(XDisplayReachable(display)) << display;
}

}  // namespace
