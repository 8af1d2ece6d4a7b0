#include "platform/dialog/qt/x_display.h"

#include <fcntl.h>     // open, O_CLOEXEC
#include <poll.h>      // poll
#include <signal.h>    // kill
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // fork, pipe2, dup2, _exit

#include <cerrno>
#include <cstdlib>  // free
#include <string>

#include <xcb/xcb.h>

namespace platform::dialog::qt {

bool XDisplayReachable(std::string_view display, int waitMs) {
  std::string name(display);
  // An address the client library cannot read needs no attempt.
  char* host = nullptr;
  int number = 0;
  if (name.empty() || xcb_parse_display(name.c_str(), &host, &number, nullptr) == 0) return false;
  free(host);

  int channel[2];
  if (pipe2(channel, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(channel[0]);
    close(channel[1]);
    return false;
  }
  if (child == 0) {
    // The client library writes a refusing server's reason to standard
    // error; the platform's own message says what matters.
    int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    char accepted = xcb_connection_has_error(connection) == 0 ? 1 : 0;
    ssize_t written = write(channel[1], &accepted, 1);
    _exit(written == 1 ? 0 : 1);
  }
  close(channel[1]);
  pollfd ready{channel[0], POLLIN, 0};
  int polled;
  do {
    polled = poll(&ready, 1, waitMs);
  } while (polled < 0 && errno == EINTR);
  char accepted = 0;
  if (polled != 1 || read(channel[0], &accepted, 1) != 1) accepted = 0;
  close(channel[0]);
  kill(child, SIGKILL);
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
  return accepted == 1;
}

}  // namespace platform::dialog::qt
