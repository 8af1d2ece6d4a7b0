#include "platform/dialog/qt/x_display.h"

#include <fcntl.h>     // open, fcntl, O_CLOEXEC
#include <poll.h>      // poll
#include <signal.h>    // kill
#include <sys/wait.h>  // waitpid
#include <unistd.h>    // fork, pipe2, dup2, close_range, _exit

#include <cerrno>
#include <cstdlib>  // free
#include <string>

#include <xcb/xcb.h>

namespace platform::dialog::qt {
namespace {

// The child that checked last and holds its connection, and the pipe that
// keeps it waiting; none when -1.
pid_t gHolder = -1;
int gHold = -1;

void Reap(pid_t child) {
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

void ReleaseXDisplayCheck() {
  if (gHolder < 0) return;
  // The child reads the end of the pipe and lets go of the server.
  close(gHold);
  Reap(gHolder);
  gHolder = -1;
  gHold = -1;
}

bool XDisplayReachable(std::string_view display, int waitMs) {
  ReleaseXDisplayCheck();
  std::string name(display);
  // An address the client library cannot read needs no attempt.
  char* host = nullptr;
  int number = 0;
  if (name.empty() || xcb_parse_display(name.c_str(), &host, &number, nullptr) == 0) return false;
  free(host);

  int answer[2], hold[2];
  if (pipe2(answer, O_CLOEXEC) != 0) return false;
  if (pipe2(hold, O_CLOEXEC) != 0) {
    close(answer[0]);
    close(answer[1]);
    return false;
  }
  pid_t child = fork();
  if (child == 0) {
    // The child keeps only its two pipes: while it holds the connection it
    // must not hold the parent's other files (or sockets) open too.
    int answerFd = fcntl(answer[1], F_DUPFD, 100);
    int holdFd = fcntl(hold[0], F_DUPFD, 100);
    if (answerFd < 0 || holdFd < 0 || dup2(answerFd, 3) != 3 || dup2(holdFd, 4) != 4) _exit(1);
    close_range(5, ~0U, 0);
    answer[1] = 3;
    hold[0] = 4;
    // The client library writes a refusing server's reason to standard
    // error; the platform's own message says what matters.
    int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (quiet >= 0) dup2(quiet, STDERR_FILENO);
    xcb_connection_t* connection = xcb_connect(name.c_str(), nullptr);
    char accepted = xcb_connection_has_error(connection) == 0 ? 1 : 0;
    if (write(answer[1], &accepted, 1) != 1) _exit(1);
    // A taken connection stays until the parent lets go (or ends).
    char none;
    if (accepted == 1)
      while (read(hold[0], &none, 1) < 0 && errno == EINTR) {
      }
    _exit(0);
  }
  close(answer[1]);
  close(hold[0]);
  if (child < 0) {
    close(answer[0]);
    close(hold[1]);
    return false;
  }
  pollfd ready{answer[0], POLLIN, 0};
  int polled;
  do {
    polled = poll(&ready, 1, waitMs);
  } while (polled < 0 && errno == EINTR);
  char accepted = 0;
  if (polled != 1 || read(answer[0], &accepted, 1) != 1) accepted = 0;
  close(answer[0]);
  if (accepted == 1) {
    gHolder = child;
    gHold = hold[1];
    return true;
  }
  close(hold[1]);
  kill(child, SIGKILL);
  Reap(child);
  return false;
}

}  // namespace platform::dialog::qt
