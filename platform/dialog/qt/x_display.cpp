#include "platform/dialog/qt/x_display.h"

#include <netdb.h>       // getaddrinfo
#include <poll.h>        // poll
#include <sys/socket.h>  // socket, connect
#include <sys/un.h>      // sockaddr_un
#include <unistd.h>      // close

#include <cerrno>
#include <cstddef>  // offsetof
#include <cstring>  // std::memcpy
#include <string>

namespace platform::dialog::qt {
namespace {

constexpr int kTcpWaitMs = 2000;

// A non-blocking connect that went through, or that a listening server
// will take (a full queue, or a TCP handshake finished within the wait).
bool Connects(int fd, const sockaddr* address, socklen_t length) {
  if (connect(fd, address, length) == 0) return true;
  if (errno == EAGAIN) return true;  // a local server with a full queue
  if (errno != EINPROGRESS) return false;
  pollfd p{fd, POLLOUT, 0};
  if (poll(&p, 1, kTcpWaitMs) != 1) return false;
  int error = 0;
  socklen_t size = sizeof error;
  return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
}

bool LocalSocketAnswers(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::size_t offset = abstract ? 1 : 0;  // the abstract name starts with a NUL
  if (offset + path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + (abstract ? 0 : 1));
  bool answers = Connects(fd, reinterpret_cast<const sockaddr*>(&address), length);
  close(fd);
  return answers;
}

bool TcpAnswers(const std::string& host, int port) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool answers = false;
  for (addrinfo* a = found; a != nullptr && !answers; a = a->ai_next) {
    int fd = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) continue;
    answers = Connects(fd, a->ai_addr, a->ai_addrlen);
    close(fd);
  }
  freeaddrinfo(found);
  return answers;
}

}  // namespace

bool XDisplayReachable(std::string_view display) {
  std::size_t colon = display.rfind(':');
  if (colon == std::string_view::npos) return false;
  std::string host(display.substr(0, colon));
  // A protocol may lead the host: "unix/host" or "tcp/host".
  bool local = false;
  if (std::size_t slash = host.find('/'); slash != std::string::npos) {
    local = host.compare(0, slash, "unix") == 0;
    host.erase(0, slash + 1);
  }
  std::string_view rest = display.substr(colon + 1);
  std::size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
  if (digits == 0 || digits > 5 || (digits < rest.size() && rest[digits] != '.')) return false;
  int number = std::stoi(std::string(rest.substr(0, digits)));
  if (local || host.empty() || host == "unix") {
    std::string path = "/tmp/.X11-unix/X" + std::to_string(number);
    return LocalSocketAnswers(path, true) || LocalSocketAnswers(path, false);
  }
  return TcpAnswers(host, 6000 + number);
}

}  // namespace platform::dialog::qt
