#include "platform/dialog/terminal/terminal_screen.h"

#define NCURSES_WIDECHAR 1
#include <curses.h>
#include <term.h>  // setupterm, tigetstr

#include <fcntl.h>      // fcntl
#include <poll.h>       // poll
#include <signal.h>     // sigaction
#include <sys/ioctl.h>  // TIOCGWINSZ
#include <sys/mman.h>   // memfd_create
#include <termios.h>    // tcgetattr, tcsetattr
#include <unistd.h>     // read, write, dup, dup2, close

#include <array>
#include <cerrno>
#include <cstdio>   // fdopen, fflush
#include <cstdlib>  // std::getenv, std::atexit
#include <cstring>  // std::strlen, std::memcpy
#include <string>
#include <utility>
#include <vector>

#include "platform/text/utf8.h"

namespace platform::dialog::terminal {
namespace {

// ---- Giving the terminal back, from any path out of the process ----
//
// Signal handlers may only do what is async-signal-safe, so everything the
// way back needs is prepared while the screen is taken: the bytes that
// leave the screen mode, the terminal modes found at the start, and the
// descriptors the program's output was moved away from.

constexpr std::size_t kLeaveMax = 512;

struct Guard {
  volatile sig_atomic_t armed = 0;
  int outFd = -1;
  termios modes{};
  bool haveModes = false;
  char leave[kLeaveMax] = {};
  std::size_t leaveLength = 0;
  // Standard output and error while they are kept: the terminal's own
  // descriptors (saved) and where the writes go meanwhile (kept).
  int savedFd[3] = {-1, -1, -1};
  int keptFd[3] = {-1, -1, -1};
};

Guard gGuard;

// Every signal whose default action ends the process (SIGKILL aside, which
// cannot be caught), the real-time ones included: whichever ends the
// program gives the terminal back first.
constexpr std::array<int, 22> kEndingSignals = {
    SIGHUP,  SIGINT,  SIGQUIT, SIGILL,    SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1, SIGSEGV, SIGUSR2,
    SIGPIPE, SIGALRM, SIGTERM, SIGSTKFLT, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGPWR,  SIGSYS};
struct sigaction gPrevious[NSIG];
// The signals whose handling was ours to take: those the program left at
// their default. One it ignores (SIGPIPE, SIGXFSZ) or handles itself ends
// nothing, so it is left alone.
bool gTaken[NSIG];

template <typename Each>
void ForEachEndingSignal(Each each) {
  for (int signal : kEndingSignals) each(signal);
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) each(signal);
}

void TakeEndingSignals(void (*handler)(int)) {
  struct sigaction action {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = handler;
  ForEachEndingSignal([&](int signal) {
    struct sigaction current {};
    gTaken[signal] = ::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL &&
                     (current.sa_flags & SA_SIGINFO) == 0 && ::sigaction(signal, &action, &gPrevious[signal]) == 0;
  });
}

void ReturnEndingSignals() {
  ForEachEndingSignal([](int signal) {
    if (gTaken[signal]) ::sigaction(signal, &gPrevious[signal], nullptr);
    gTaken[signal] = false;
  });
}

struct sigaction gPreviousResize;
int gWakeWrite = -1;

void WriteAll(int fd, const char* bytes, std::size_t length) {
  while (length > 0) {
    ssize_t n = ::write(fd, bytes, length);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    bytes += n;
    length -= static_cast<std::size_t>(n);
  }
}

// Writes what was kept in `kept` to `fd` and empties it.
void Replay(int kept, int fd) {
  if (::lseek(kept, 0, SEEK_SET) < 0) return;
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(kept, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    WriteAll(fd, buffer, static_cast<std::size_t>(n));
  }
  if (::ftruncate(kept, 0) == 0) ::lseek(kept, 0, SEEK_SET);
}

// Standard output and error back on the terminal, with what was written
// meanwhile. Async-signal-safe.
void ReleaseOutput() {
  for (int fd : {1, 2}) {
    if (gGuard.savedFd[fd] < 0) continue;
    ::dup2(gGuard.savedFd[fd], fd);
    Replay(gGuard.keptFd[fd], fd);
  }
}

// Async-signal-safe: the terminal as it was found.
void GiveBack() {
  if (!gGuard.armed) return;
  gGuard.armed = 0;
  WriteAll(gGuard.outFd, gGuard.leave, gGuard.leaveLength);
  if (gGuard.haveModes) ::tcsetattr(gGuard.outFd, TCSADRAIN, &gGuard.modes);
  ReleaseOutput();
}

void OnEndingSignal(int signal) {
  GiveBack();
  // Whatever the program had for the signal (the default: the process
  // ends) takes it now.
  ::sigaction(signal, &gPrevious[signal], nullptr);
  ::raise(signal);
}

// The library reads the rest of a mouse report it has begun ("ESC [ <" or
// "ESC [ M", which a user also types as Alt+[ and < or M) with blocking
// reads: an unfinished one would stop the program until bytes come, and
// take the keys typed next as its own. The reports' starts are taken out
// of its key table, and Next reads them, each byte within the escape time.
void ReadMouseReportsHere() {
  for (const char* start : {"\033[<", "\033[M"}) define_key(start, 0);
}

// The time a byte of a sequence may take after the one before it.
constexpr int kEscapeMs = 100;

// The next byte or key that is there, or one that comes within the
// escape time when `wait`; ERR when none.
int ReadByte(int fd, bool wait) {
  int b = wgetch(stdscr);
  if (b != ERR || !wait) return b;
  pollfd ready{fd, POLLIN, 0};
  if (::poll(&ready, 1, kEscapeMs) <= 0) return ERR;
  return wgetch(stdscr);
}

// The next character (OK) or key (KEY_CODE_YES), as wget_wch gives them,
// or ERR when none is there (or, with `wait`, none comes within the escape
// time). The UTF-8 is decoded here, the later bytes of a character waited
// for within the escape time: the library drops a character whose bytes
// come in two reads (a slow line). Bytes that form no character are
// dropped; one that may start a character is read again as such.
int ReadCharacter(int fd, wint_t& code, bool wait) {
  for (;;) {
    int b = ReadByte(fd, wait);
    if (b == ERR) return ERR;
    if (b >= KEY_MIN) {
      code = static_cast<wint_t>(b);
      return KEY_CODE_YES;
    }
    std::size_t length = text::Utf8Length(static_cast<unsigned char>(b));
    if (length == 0) continue;
    std::string bytes(1, static_cast<char>(b));
    while (bytes.size() < length) {
      int next = ReadByte(fd, true);
      if (next == ERR) break;
      if (next >= KEY_MIN) {
        ungetch(next);
        break;
      }
      bytes += static_cast<char>(next);
      if (!text::StartsUtf8Character(bytes)) {
        // A byte that may start a character is read again as such.
        if (text::Utf8Length(static_cast<unsigned char>(next)) > 0) ungetch(next);
        break;
      }
    }
    if (bytes.size() != length || !text::StartsUtf8Character(bytes)) continue;
    char32_t c = text::DecodeUtf8At(bytes, 0).code;
    code = static_cast<wint_t>(c);
    return OK;
  }
}

void OnResize(int) {
  int saved = errno;
  if (gWakeWrite >= 0) {
    char byte = 'r';
    [[maybe_unused]] ssize_t n = ::write(gWakeWrite, &byte, 1);
  }
  errno = saved;
}

void GiveBackAtExit() { GiveBack(); }

void Append(std::string& out, const char* capability) {
  const char* value = tigetstr(const_cast<char*>(capability));
  if (value != nullptr && value != reinterpret_cast<const char*>(-1)) out += value;
}

// Keeps standard output and error (where they are this terminal) away from
// the screen while it is taken.
void KeepOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  for (int fd : {1, 2}) {
    if (!::isatty(fd)) continue;
    if (gGuard.keptFd[fd] < 0) gGuard.keptFd[fd] = ::memfd_create("terminal output", MFD_CLOEXEC);
    if (gGuard.keptFd[fd] < 0) continue;
    if (gGuard.savedFd[fd] < 0) gGuard.savedFd[fd] = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
    if (gGuard.savedFd[fd] < 0) continue;
    ::dup2(gGuard.keptFd[fd], fd);
  }
}

void ForgetOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  ReleaseOutput();
  for (int fd : {1, 2}) {
    if (gGuard.savedFd[fd] >= 0) ::close(gGuard.savedFd[fd]);
    if (gGuard.keptFd[fd] >= 0) ::close(gGuard.keptFd[fd]);
    gGuard.savedFd[fd] = -1;
    gGuard.keptFd[fd] = -1;
  }
}

struct Look {
  attr_t attr = A_NORMAL;
  short pair = 0;
};

}  // namespace

struct TerminalScreen::Session {
  SCREEN* screen = nullptr;
  FILE* in = nullptr;
  FILE* out = nullptr;
  int wake[2] = {-1, -1};
  std::array<Look, static_cast<std::size_t>(Ink::kCount)> looks{};
  bool mouse = false;
};

TerminalScreen::TerminalScreen(const Setup& setup) : setup_(setup), session_(std::make_unique<Session>()) {}

namespace {

// The terminal type to start: the one set up, else $TERM; empty with
// `problem` saying why when it is unset, "dumb", unknown here, or cannot
// place the cursor.
std::string DrawableTerminalType(const TerminalScreen::Setup& setup, std::string& problem) {
  std::string type = setup.type;
  if (type.empty()) {
    const char* env = std::getenv("TERM");
    type = env != nullptr ? env : "";
  }
  if (type.empty() || type == "dumb") {
    problem = "the terminal type is not set or is \"dumb\" (TERM), so the screen cannot be drawn";
    return "";
  }
  int error = 0;
  if (setupterm(type.c_str(), setup.outFd, &error) != OK) {
    problem = "the terminal type \"" + type + "\" (TERM) is not known to this system";
    return "";
  }
  const char* cursorAddress = tigetstr(const_cast<char*>("cup"));
  bool addressable = cursorAddress != nullptr && cursorAddress != reinterpret_cast<const char*>(-1);
  del_curterm(cur_term);
  if (!addressable) {
    problem = "the terminal \"" + type + "\" (TERM) cannot place the cursor, so the screen cannot be drawn";
    return "";
  }
  return type;
}

// Takes the wake-up pipe, the ending signals, the resize signal and the
// exit hook for the program's own terminal: ours before the library
// starts, so that it keeps its own away.
void TakeProgramTerminal(int (&wake)[2]) {
  if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) == 0) gWakeWrite = wake[1];
  TakeEndingSignals(OnEndingSignal);
  struct sigaction resize {};
  sigemptyset(&resize.sa_mask);
  resize.sa_handler = OnResize;
  resize.sa_flags = SA_RESTART;
  ::sigaction(SIGWINCH, &resize, &gPreviousResize);
  static bool atExit = false;
  if (!atExit) atExit = std::atexit(GiveBackAtExit) == 0;
}

// A stream of its own on a copy of `fd`, or nullptr; a copy that gets no
// stream is closed again.
FILE* StreamOnCopy(int fd, const char* mode) {
  int copy = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) return nullptr;
  FILE* stream = ::fdopen(copy, mode);
  if (stream == nullptr) ::close(copy);
  return stream;
}

// The input modes, keys and mouse of the library's screen in force. True
// when the terminal reports the mouse.
bool SetUpScreen() {
  raw();
  noecho();
  nonl();
  intrflush(stdscr, FALSE);
  keypad(stdscr, TRUE);
  // Arrow keys in either of the forms terminals send (some ignore the
  // keypad mode asked for), so that none reads as Alt with a letter.
  for (const char* form : {"\033[", "\033O"}) {
    const std::pair<char, int> arrows[] = {{'A', KEY_UP},   {'B', KEY_DOWN}, {'C', KEY_RIGHT},
                                           {'D', KEY_LEFT}, {'H', KEY_HOME}, {'F', KEY_END}};
    for (auto [letter, key] : arrows) define_key((std::string(form) + letter).c_str(), key);
  }
  nodelay(stdscr, TRUE);
  // Escape alone, told from the start of a key's sequence by a pause: long
  // enough that a sequence split on a slow line (SSH) is still one key.
  set_escdelay(kEscapeMs);
  curs_set(0);
  leaveok(stdscr, FALSE);
  bool mouse =
      mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON4_PRESSED | BUTTON5_PRESSED | BUTTON_SHIFT, nullptr) != 0;
  mouseinterval(0);
  ReadMouseReportsHere();
  return mouse;
}

// How each ink looks: colours where the terminal has them, else attributes
// alone.
void ChooseLooks(std::array<Look, static_cast<std::size_t>(Ink::kCount)>& looks) {
  auto look = [&](Ink ink, attr_t attr, short pair = 0) { looks[static_cast<std::size_t>(ink)] = Look{attr, pair}; };
  look(Ink::kPlain, A_NORMAL);
  look(Ink::kDim, A_DIM);
  look(Ink::kStrong, A_BOLD);
  look(Ink::kFocus, A_REVERSE);
  look(Ink::kSelected, A_REVERSE);
  look(Ink::kShadow, A_DIM);
  look(Ink::kFieldDim, A_UNDERLINE | A_DIM);
  look(Ink::kReadOnly, A_UNDERLINE);
  if (has_colors() && start_color() == OK && COLORS >= 8) {
    use_default_colors();
    init_pair(1, COLOR_BLACK, COLOR_WHITE);   // fields and the menu bar
    init_pair(2, COLOR_WHITE, COLOR_BLUE);    // the title line
    init_pair(3, COLOR_BLACK, COLOR_YELLOW);  // the note
    look(Ink::kField, A_NORMAL, 1);
    look(Ink::kMenuBar, A_NORMAL, 1);
    look(Ink::kTitleBar, A_BOLD, 2);
    look(Ink::kNote, A_NORMAL, 3);
  } else {
    look(Ink::kField, A_UNDERLINE | A_BOLD);
    look(Ink::kMenuBar, A_UNDERLINE);
    look(Ink::kTitleBar, A_REVERSE | A_BOLD);
    look(Ink::kNote, A_REVERSE);
  }
  look(Ink::kMenuChosen, A_REVERSE);
}

// Prepares the way back for the program's own terminal (the bytes that
// leave the screen mode, the modes found at the start) and keeps the
// program's output away from the screen's descriptor `screenFd` from here
// on.
void ArmGuard(int screenFd, bool mouse, const termios* found) {
  std::string leave;
  Append(leave, "sgr0");
  if (mouse) leave += "\033[?1006l\033[?1002l\033[?1000l";
  Append(leave, "rmkx");
  Append(leave, "cnorm");
  Append(leave, "rmcup");
  gGuard.outFd = screenFd;
  gGuard.haveModes = found != nullptr;
  if (found != nullptr) gGuard.modes = *found;
  gGuard.leaveLength = std::min(leave.size(), kLeaveMax);
  std::memcpy(gGuard.leave, leave.data(), gGuard.leaveLength);
  KeepOutput();
  gGuard.armed = 1;
}

}  // namespace

std::unique_ptr<TerminalScreen> TerminalScreen::Open(const Setup& setup, std::string& problem) {
  std::string type = DrawableTerminalType(setup, problem);
  if (type.empty()) return nullptr;

  std::unique_ptr<TerminalScreen> self(new TerminalScreen(setup));
  Session& s = *self->session_;
  termios found{};
  bool haveModes = ::tcgetattr(setup.outFd, &found) == 0;
  if (setup.programTerminal) TakeProgramTerminal(s.wake);

  s.in = StreamOnCopy(setup.inFd, "r");
  s.out = StreamOnCopy(setup.outFd, "w");
  if (s.in == nullptr || s.out == nullptr) {
    problem = "the terminal's input or output cannot be opened";
    return nullptr;
  }
  s.screen = newterm(type.c_str(), s.out, s.in);
  if (s.screen == nullptr) {
    problem = "the terminal \"" + type + "\" (TERM) cannot be started";
    return nullptr;
  }
  set_term(s.screen);
  s.mouse = SetUpScreen();
  ChooseLooks(s.looks);

  if (setup.programTerminal) ArmGuard(::fileno(s.out), s.mouse, haveModes ? &found : nullptr);
  return self;
}

TerminalScreen::~TerminalScreen() {
  Session& s = *session_;
  if (s.screen != nullptr) {
    set_term(s.screen);
    if (!suspended_) endwin();
    delscreen(s.screen);
  }
  if (setup_.programTerminal) {
    gGuard.armed = 0;
    ForgetOutput();
    ReturnEndingSignals();
    ::sigaction(SIGWINCH, &gPreviousResize, nullptr);
    gWakeWrite = -1;
  }
  if (s.in != nullptr) std::fclose(s.in);
  if (s.out != nullptr) std::fclose(s.out);
  for (int fd : s.wake)
    if (fd >= 0) ::close(fd);
}

void TerminalScreen::Suspend() {
  if (suspended_) return;
  set_term(session_->screen);
  endwin();
  suspended_ = true;
  if (setup_.programTerminal) {
    gGuard.armed = 0;
    std::fflush(stdout);
    std::fflush(stderr);
    ReleaseOutput();
  }
}

void TerminalScreen::Resume() {
  if (!suspended_) return;
  suspended_ = false;
  set_term(session_->screen);
  if (setup_.programTerminal) {
    KeepOutput();
    gGuard.armed = 1;
  }
  if (session_->mouse)
    mousemask(BUTTON1_PRESSED | BUTTON1_RELEASED | BUTTON4_PRESSED | BUTTON5_PRESSED | BUTTON_SHIFT, nullptr);
  ReadMouseReportsHere();
  RedrawAll();
}

CellSize TerminalScreen::Size() const {
  int rows = 0;
  int cols = 0;
  getmaxyx(stdscr, rows, cols);
  return {rows, cols};
}

void TerminalScreen::RedrawAll() { clearok(curscr, TRUE); }

void TerminalScreen::Present(const Canvas& canvas, int cursorRow, int cursorCol) {
  set_term(session_->screen);
  CellSize size = Size();
  int rows = std::min(size.rows, canvas.Rows());
  int cols = std::min(size.cols, canvas.Cols());
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c) {
      const Cell& cell = canvas.At(r, c);
      if (cell.tail) continue;
      const Look& look = session_->looks[static_cast<std::size_t>(cell.ink)];
      wchar_t text[2] = {static_cast<wchar_t>(cell.code), L'\0'};
      // A full-width character in the last column cannot be drawn.
      if (cell.wide && c + 1 >= cols) text[0] = L' ';
      cchar_t out;
      setcchar(&out, text, look.attr, look.pair, nullptr);
      mvwadd_wch(stdscr, r, c, &out);
    }
  }
  bool caret = cursorRow >= 0 && cursorRow < rows && cursorCol >= 0 && cursorCol < cols;
  curs_set(caret ? 1 : 0);
  if (caret) wmove(stdscr, cursorRow, cursorCol);
  wnoutrefresh(stdscr);
  doupdate();
}

void TerminalScreen::Wait(int timeoutMs) {
  pollfd fds[2] = {{setup_.inFd, POLLIN, 0}, {session_->wake[0], POLLIN, 0}};
  if (::poll(fds, session_->wake[0] >= 0 ? 2 : 1, timeoutMs) <= 0) return;
  if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    // The terminal is gone (the line hung up, and the program takes no
    // SIGHUP): no user can answer any more, so the program ends as a
    // hang-up ends it.
    GiveBack();
    ::signal(SIGHUP, SIG_DFL);
    ::raise(SIGHUP);
    ::_exit(129);
  }
}

std::optional<Input> TerminalScreen::Next() {
  set_term(session_->screen);
  if (session_->wake[0] >= 0) {
    char bytes[64];
    bool resized = false;
    while (::read(session_->wake[0], bytes, sizeof bytes) > 0) resized = true;
    if (resized) {
      winsize ws{};
      if (::ioctl(::fileno(session_->out), TIOCGWINSZ, &ws) == 0 && ws.ws_row > 0 && ws.ws_col > 0)
        resize_term(ws.ws_row, ws.ws_col);
      RedrawAll();
      Input input;
      input.kind = Input::Kind::kResize;
      return input;
    }
  }
  if (!queued_.empty()) {
    Input input = queued_.front();
    queued_.pop_front();
    return input;
  }
  int fd = ::fileno(session_->in);
  for (;;) {
    wint_t code = 0;
    int status = ReadCharacter(fd, code, false);
    if (status == ERR) return std::nullopt;
    bool alt = false;
    if (status == OK && code == 27) {
      // Escape alone, or the prefix the terminal sends for Alt.
      wint_t next = 0;
      int after = ReadCharacter(fd, next, false);
      if (after == ERR) {
        Input input;
        input.key = Key::kEscape;
        return input;
      }
      if (after == OK && next == '[') {
        // "ESC [" left over by the library: a mouse report, or Alt+[.
        bool handled = false;
        std::optional<Input> mouse = ReadMouseReport(handled);
        if (mouse) return mouse;
        if (handled) continue;
      }
      alt = true;
      status = after;
      code = next;
    }
    if (std::optional<Input> input = Translate(status, static_cast<unsigned int>(code), alt)) return input;
  }
}

std::optional<Input> TerminalScreen::ReadMouseReport(bool& handled) {
  int fd = ::fileno(session_->in);
  wint_t code = 0;
  int status = ReadCharacter(fd, code, true);
  if (status != OK || (code != '<' && code != 'M')) {
    // Alt+[: what came next is read again.
    if (status == OK) unget_wch(static_cast<wchar_t>(code));
    if (status == KEY_CODE_YES) ungetch(static_cast<int>(code));
    handled = false;
    return std::nullopt;
  }
  handled = true;
  int button = 0;
  int col = 0;
  int row = 0;
  bool release = false;
  if (code == 'M') {
    // The old form: button, column and row as bytes from 32 on.
    int values[3] = {};
    for (int& value : values) {
      if (ReadCharacter(fd, code, true) != OK || code < 32 || code > 255) return std::nullopt;
      value = static_cast<int>(code) - 32;
    }
    button = values[0];
    col = values[1];
    row = values[2];
    release = (button & 3) == 3;
    button = release ? 0 : button;
  } else {
    // The SGR form: "button;column;row" and M for a press, m for a release.
    int values[3] = {};
    int field = 0;
    int digits = 0;
    for (;;) {
      status = ReadCharacter(fd, code, true);
      if (status != OK) return std::nullopt;
      if (code >= '0' && code <= '9' && digits < 5) {
        values[field] = values[field] * 10 + static_cast<int>(code - '0');
        ++digits;
      } else if (code == ';' && field < 2 && digits > 0) {
        ++field;
        digits = 0;
      } else if ((code == 'M' || code == 'm') && field == 2 && digits > 0) {
        break;
      } else {
        // No report: the byte that broke it is read again as typed.
        unget_wch(static_cast<wchar_t>(code));
        return std::nullopt;
      }
    }
    button = values[0];
    col = values[1];
    row = values[2];
    release = code == 'm';
  }
  Input input;
  input.kind = Input::Kind::kMouse;
  input.row = row - 1;
  input.col = col - 1;
  if (input.row < 0 || input.col < 0) return std::nullopt;
  // Shift (4) turns the wheel sideways; Alt and Ctrl (8, 16) do not
  // matter; motion (32) is no click.
  input.shift = (button & 4) != 0;
  button &= ~(4 | 8 | 16);
  if (button == 0) {
    // A release whose press was never reported is the click.
    bool press = !release;
    bool lone = release && !pressed_;
    pressed_ = press;
    if (!press && !lone) return std::nullopt;
    input.mouse = Input::Mouse::kPress;
  } else if (button == 64 && !release) {
    input.mouse = Input::Mouse::kWheelUp;
  } else if (button == 65 && !release) {
    input.mouse = Input::Mouse::kWheelDown;
  } else {
    return std::nullopt;
  }
  return input;
}

std::optional<Input> TerminalScreen::Translate(int status, unsigned int code, bool alt) {
  Input input;
  input.alt = alt;
  if (status == KEY_CODE_YES) {
    switch (static_cast<int>(code)) {
      case KEY_BTAB: input.key = Key::kBackTab; return input;
      case KEY_ENTER: input.key = Key::kEnter; return input;
      case KEY_UP: input.key = Key::kUp; return input;
      case KEY_DOWN: input.key = Key::kDown; return input;
      case KEY_LEFT: input.key = Key::kLeft; return input;
      case KEY_RIGHT: input.key = Key::kRight; return input;
      case KEY_HOME: input.key = Key::kHome; return input;
      case KEY_END: input.key = Key::kEnd; return input;
      case KEY_PPAGE: input.key = Key::kPageUp; return input;
      case KEY_NPAGE: input.key = Key::kPageDown; return input;
      case KEY_BACKSPACE: input.key = Key::kBackspace; return input;
      case KEY_DC: input.key = Key::kDelete; return input;
      case KEY_RESIZE: input.kind = Input::Kind::kResize; return input;
      case KEY_MOUSE: {
        // Reports that arrive together (a double click, a slow line) come
        // as one KEY_MOUSE, and getmouse hands out their events newest
        // first until none is left: each one counts, oldest first, so that
        // no click of a quick pair is lost.
        std::vector<MEVENT> events;
        MEVENT event{};
        while (events.size() < kMaxMouseEvents && getmouse(&event) == OK) events.push_back(event);
        for (auto it = events.rbegin(); it != events.rend(); ++it) {
          input.kind = Input::Kind::kMouse;
          input.row = it->y;
          input.col = it->x;
          input.shift = (it->bstate & BUTTON_SHIFT) != 0;
          // A release whose press was never reported is the click.
          bool press = (it->bstate & BUTTON1_PRESSED) != 0;
          bool lone = (it->bstate & BUTTON1_RELEASED) != 0 && !pressed_;
          pressed_ = press;
          if (press || lone)
            input.mouse = Input::Mouse::kPress;
          else if (it->bstate & BUTTON4_PRESSED)
            input.mouse = Input::Mouse::kWheelUp;
          else if (it->bstate & BUTTON5_PRESSED)
            input.mouse = Input::Mouse::kWheelDown;
          else
            continue;
          queued_.push_back(input);
        }
        if (queued_.empty()) return std::nullopt;
        input = queued_.front();
        queued_.pop_front();
        return input;
      }
      default:
        if (static_cast<int>(code) == KEY_F(1))
          input.key = Key::kF1;
        else if (static_cast<int>(code) == KEY_F(10))
          input.key = Key::kF10;
        // Alt+F4: the terminal's code for F4 with Alt (F52 in the
        // terminal database), or Escape before F4.
        else if (static_cast<int>(code) == KEY_F(52) || (alt && static_cast<int>(code) == KEY_F(4)))
          input.key = Key::kAltF4;
        else
          return std::nullopt;
        return input;
    }
  }
  switch (code) {
    case 9: input.key = Key::kTab; return input;
    case 10:
    case 13: input.key = Key::kEnter; return input;
    case 8:
    case 127: input.key = Key::kBackspace; return input;
    case 3: input.key = Key::kInterrupt; return input;
    case 12: input.key = Key::kRedraw; return input;
    case 27: input.key = Key::kEscape; return input;
    default: break;
  }
  if (code < 0x20) return std::nullopt;
  input.kind = Input::Kind::kChar;
  input.code = static_cast<char32_t>(code);
  return input;
}

void TerminalScreen::Interrupt() {
  GiveBack();
  if (!setup_.programTerminal) {
    set_term(session_->screen);
    endwin();
  }
  ::signal(SIGINT, SIG_DFL);
  ::raise(SIGINT);
  ::_exit(130);
}

}  // namespace platform::dialog::terminal
