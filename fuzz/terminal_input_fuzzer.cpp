// Feeds any bytes to the terminal backend's input decoder, on a pseudo-
// terminal of type xterm-256color, as a user's terminal would send them.
//
// The input's first byte picks a key sequence (or a click) of the table
// below and the second a point to split it at: the first part is sent,
// and the rest follows from another thread while the decoder waits for it
// (well within the escape time); the sequence must decode to its one
// input, as whole.
// The rest of the input is sent at once and decoded to the end: no call
// hangs, every byte is taken from the terminal, no more inputs come out
// than bytes went in, and a key sent afterwards reads as itself (nothing
// was held over). Where the rest holds no Escape and is valid UTF-8, each
// character decodes as a small model says: the keys of Tab, Enter,
// Backspace, Ctrl+C and Ctrl+L, other control characters nothing, any
// other character itself.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>  // openpty
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <clocale>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/dialog/terminal/terminal_screen.h"

namespace {

using platform::dialog::terminal::Input;
using platform::dialog::terminal::Key;
using platform::dialog::terminal::TerminalScreen;

struct Terminal {
  int master = -1;
  int slave = -1;
  std::unique_ptr<TerminalScreen> screen;
};

Terminal& Term() {
  static Terminal terminal;
  return terminal;
}

// Bytes the decoder's side of the terminal has not read yet.
int Pending() {
  int pending = 0;
  FUZZ_CHECK(::ioctl(Term().slave, FIONREAD, &pending) == 0);
  return pending;
}

void WriteAll(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(Term().master, bytes.data(), bytes.size());
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    FUZZ_CHECK(n > 0);
    bytes.remove_prefix(static_cast<size_t>(n));
  }
}

// Sends bytes and returns once the decoder's side can read them all (the
// terminal hands input on a moment after it was written).
void Send(std::string_view bytes) {
  int before = Pending();
  WriteAll(bytes);
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (Pending() < before + static_cast<int>(bytes.size())) {
    FUZZ_CHECK(std::chrono::steady_clock::now() < until);
    std::this_thread::yield();
  }
}

// What the backend wrote to the terminal goes nowhere.
void DropOutput() {
  char buffer[4096];
  while (::read(Term().master, buffer, sizeof buffer) > 0) {
  }
}

// Decodes until nothing is left: the decoder has no input and the terminal
// holds no byte for it.
void DecodeAll(std::vector<Input>& inputs, size_t limit) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    std::optional<Input> input = Term().screen->Next();
    if (input) {
      inputs.push_back(*input);
      FUZZ_CHECK(inputs.size() <= limit);
      continue;
    }
    if (Pending() == 0) return;
    FUZZ_CHECK(std::chrono::steady_clock::now() < until);
  }
}

bool Same(const Input& a, const Input& b) {
  return a.kind == b.kind && a.code == b.code && a.key == b.key && a.alt == b.alt && a.mouse == b.mouse &&
         a.row == b.row && a.col == b.col;
}

Input KeyInput(Key key, bool alt = false) {
  Input input;
  input.key = key;
  input.alt = alt;
  return input;
}

Input CharInput(char32_t code, bool alt = false) {
  Input input;
  input.kind = Input::Kind::kChar;
  input.code = code;
  input.alt = alt;
  return input;
}

Input MouseInput(Input::Mouse mouse, int row, int col) {
  Input input;
  input.kind = Input::Kind::kMouse;
  input.mouse = mouse;
  input.row = row;
  input.col = col;
  return input;
}

struct Sequence {
  std::string_view bytes;
  Input input;
};

// Sequences that terminals send, each with the one input it stands for.
const std::vector<Sequence>& Sequences() {
  static const std::vector<Sequence> table = {
      {"\x1b", KeyInput(Key::kEscape)},
      {"\x1b[A", KeyInput(Key::kUp)},
      {"\x1bOA", KeyInput(Key::kUp)},
      {"\x1b[B", KeyInput(Key::kDown)},
      {"\x1bOB", KeyInput(Key::kDown)},
      {"\x1b[C", KeyInput(Key::kRight)},
      {"\x1bOD", KeyInput(Key::kLeft)},
      {"\x1b[H", KeyInput(Key::kHome)},
      {"\x1bOF", KeyInput(Key::kEnd)},
      {"\x1b[5~", KeyInput(Key::kPageUp)},
      {"\x1b[6~", KeyInput(Key::kPageDown)},
      {"\x1b[3~", KeyInput(Key::kDelete)},
      {"\x1b[Z", KeyInput(Key::kBackTab)},
      {"\x1bOP", KeyInput(Key::kF1)},
      {"\x1b[21~", KeyInput(Key::kF10)},
      {"\x1b[1;3S", KeyInput(Key::kAltF4)},
      {"\x1b\x1bOS", KeyInput(Key::kAltF4, true)},
      {"\x1b"
       "a",
       CharInput('a', true)},
      {"\x1b\xE3\x81\x82", CharInput(U'\u3042', true)},
      {"\xE3\x81\x82", CharInput(U'\u3042')},
      {"\x1b[<0;5;3M\x1b[<0;5;3m", MouseInput(Input::Mouse::kPress, 2, 4)},  // a click
      {"\x1b[<64;12;7M", MouseInput(Input::Mouse::kWheelUp, 6, 11)},
      {"\x1b[<65;1;1M", MouseInput(Input::Mouse::kWheelDown, 0, 0)},
  };
  return table;
}

// The code points of strict UTF-8 text, or nothing.
std::optional<std::vector<char32_t>> CodePoints(std::string_view s) {
  std::vector<char32_t> codes;
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t length = b < 0x80                 ? 1
                    : b >= 0xC2 && b <= 0xDF ? 2
                    : b >= 0xE0 && b <= 0xEF ? 3
                    : b >= 0xF0 && b <= 0xF4 ? 4
                                             : 0;
    if (length == 0 || i + length > s.size()) return std::nullopt;
    char32_t code = length == 1 ? b : b & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
      auto c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) return std::nullopt;
      code = code << 6 | (c & 0x3F);
    }
    static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
    codes.push_back(code);
    i += length;
  }
  return codes;
}

// What a character typed alone stands for.
std::optional<Input> Model(char32_t code) {
  switch (code) {
    case 9: return KeyInput(Key::kTab);
    case 10:
    case 13: return KeyInput(Key::kEnter);
    case 8:
    case 127: return KeyInput(Key::kBackspace);
    case 3: return KeyInput(Key::kInterrupt);
    case 12: return KeyInput(Key::kRedraw);
    default: break;
  }
  if (code < 0x20) return std::nullopt;
  return CharInput(code);
}

// Half the decoder's escape time (100 ms): a second part sent later may
// rightly read apart from the first.
constexpr int kLate = 50;

// The longest rest of an input that the terminal's buffer takes at once.
constexpr size_t kMaxStream = 1024;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::setlocale(LC_CTYPE, "C.UTF-8");
  Terminal& t = Term();
  winsize size{};
  size.ws_row = 24;
  size.ws_col = 80;
  if (::openpty(&t.master, &t.slave, nullptr, nullptr, &size) != 0) fuzz::Fail("openpty", __FILE__, __LINE__);
  ::fcntl(t.master, F_SETFL, ::fcntl(t.master, F_GETFL) | O_NONBLOCK);
  TerminalScreen::Setup setup;
  setup.inFd = t.slave;
  setup.outFd = t.slave;
  setup.type = "xterm-256color";
  setup.programTerminal = false;
  std::string problem;
  t.screen = TerminalScreen::Open(setup, problem);
  if (!t.screen) {
    std::fprintf(stderr, "the terminal backend cannot start: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  DropOutput();

  // One known sequence, split. The left button is released first: the
  // input before may have left it down, and a press then reads as a drag.
  std::vector<Input> inputs;
  Send("\x1b[<0;1;1m");
  DecodeAll(inputs, 1);
  inputs.clear();
  const Sequence& sequence = Sequences()[data[0] % Sequences().size()];
  size_t cut = sequence.bytes.size() < 2 ? 0 : 1 + data[1] % (sequence.bytes.size() - 1);
  if (cut == 0) {
    Send(sequence.bytes);
    DecodeAll(inputs, 2);
  } else {
    Send(sequence.bytes.substr(0, cut));
    auto sent = std::chrono::steady_clock::now();
    bool late = false;
    std::thread rest([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      // On a loaded machine the thread may wake past the escape time, and
      // the sequence is rightly two inputs then: such a run proves nothing.
      late = std::chrono::steady_clock::now() - sent > std::chrono::milliseconds(kLate);
      WriteAll(sequence.bytes.substr(cut));
    });
    // Decoding starts on the first part alone; the input is out once the
    // rest has come.
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (inputs.empty()) {
      FUZZ_CHECK(std::chrono::steady_clock::now() < until);
      Term().screen->Wait(10);
      if (std::optional<Input> input = Term().screen->Next()) inputs.push_back(*input);
    }
    rest.join();
    DecodeAll(inputs, late ? sequence.bytes.size() : 2);
    if (late) {
      // The rest may reach the decoder's side of the terminal only after
      // this: what it decodes to belongs to this run, not to the next part's.
      for (auto drained = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
           std::chrono::steady_clock::now() < drained;) {
        Term().screen->Wait(10);
        while (Term().screen->Next()) {
        }
      }
      inputs.assign(1, sequence.input);
    }
  }
  FUZZ_CHECK(inputs.size() == 1 && Same(inputs[0], sequence.input));

  // Any bytes, at once.
  std::string_view stream(reinterpret_cast<const char*>(data) + 2, std::min(size - 2, kMaxStream));
  inputs.clear();
  Send(stream);
  DecodeAll(inputs, stream.size());
  if (std::optional<std::vector<char32_t>> codes = CodePoints(stream);
      codes && stream.find('\x1b') == std::string_view::npos) {
    std::vector<Input> expected;
    for (char32_t code : *codes)
      if (std::optional<Input> input = Model(code)) expected.push_back(*input);
    FUZZ_CHECK(inputs.size() == expected.size());
    for (size_t i = 0; i < inputs.size(); ++i) FUZZ_CHECK(Same(inputs[i], expected[i]));
  }

  // Nothing was held over.
  inputs.clear();
  Send("q");
  DecodeAll(inputs, 1);
  FUZZ_CHECK(inputs.size() == 1 && Same(inputs[0], CharInput('q')));
  return 0;
}
