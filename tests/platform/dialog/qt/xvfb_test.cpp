// What a user sees and does at a real X display: the keypad dialog's own
// program (qt_look_program) under Xvfb, with and without a window manager
// (openbox), driven by keys the X server delivers (xdotool). The
// screenshots, title bar included where a window manager draws one, go to
// the build directory beside the offscreen ones. Each case says why it
// skips where a tool is missing; scripts/setup.sh installs them all.
//
// Nothing here waits for a time to pass: a key goes out once the program
// says its window is active and drawn and the server gives that window the
// keyboard, and the next one once the program has answered the last. A
// loaded machine makes the cases slower, never wrong; the waits' bound only
// turns a step that never comes into a failure.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>   // std::printf
#include <cstdlib>  // std::getenv, free
#include <cstring>  // std::strlen
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <xcb/xcb.h>

#include "platform/dialog/qt/x_display.h"

namespace {

// Failures only: a step that does not come within this is a fault.
constexpr int kWaitMs = 20000;

std::string Here() {
  std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  return self.substr(0, self.rfind('/'));
}

std::string ShotDir() {
  const char* dir = std::getenv("YUBIN_BINARY_DIR");
  return dir != nullptr && *dir != '\0' ? dir : Here();
}

bool Installed(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path != nullptr ? path : "");
  for (std::string dir; std::getline(dirs, dir, ':');)
    if (!dir.empty() && access((dir + "/" + program).c_str(), X_OK) == 0) return true;
  return false;
}

// A program that ended early must fail the case, not end the test
// program (and leave its servers running) when a command is sent to it.
const bool kIgnoreBrokenPipes = [] {
  signal(SIGPIPE, SIG_IGN);
  return true;
}();

// A child process with its standard input and output on pipes (when asked)
// and extra environment entries; ended with SIGTERM when it goes.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& env, bool piped, int passFd = -1) {
    int in[2] = {-1, -1}, out[2] = {-1, -1};
    if (piped && (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)) return;
    pid_ = fork();
    if (pid_ == 0) {
      signal(SIGPIPE, SIG_DFL);
      if (piped) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
      }
      // A piped child's messages come with its output; others are dropped.
      int quiet = open("/dev/null", O_WRONLY);
      dup2(piped ? out[1] : quiet, STDERR_FILENO);
      if (!piped) dup2(quiet, STDOUT_FILENO);
      if (passFd >= 0) dup2(passFd, 3);
      for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      execvp(args[0], args.data());
      _exit(127);
    }
    if (piped) {
      close(in[0]);
      close(out[1]);
      toChild_ = in[1];
      fromChild_ = out[0];
    }
  }
  ~Child() {
    if (toChild_ >= 0) close(toChild_);
    if (fromChild_ >= 0) close(fromChild_);
    if (pid_ > 0 && !ended_) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool Started() const { return pid_ > 0; }

  void Send(const std::string& line) {
    std::string text = line + "\n";
    EXPECT_EQ(write(toChild_, text.data(), text.size()), static_cast<ssize_t>(text.size())) << line;
  }

  // The next line of output, or nothing when none comes in time.
  std::optional<std::string> ReadLine(int waitMs = kWaitMs) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
      if (std::size_t end = buffer_.find('\n'); end != std::string::npos) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        lines_.push_back(line);
        return line;
      }
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      pollfd ready{fromChild_, POLLIN, 0};
      if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) != 1) return std::nullopt;
      char chunk[512];
      ssize_t n = read(fromChild_, chunk, sizeof chunk);
      if (n <= 0) return std::nullopt;
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }

  // Reads until a line starting with `prefix`; that line, or empty.
  std::string WaitFor(const std::string& prefix) {
    while (std::optional<std::string> line = ReadLine())
      if (line->rfind(prefix, 0) == 0) return *line;
    ADD_FAILURE() << "no line \"" << prefix << "...\" came; lines so far:\n" << Lines();
    return {};
  }

  std::string Lines() const {
    std::string all;
    for (const std::string& l : lines_) all += l + "\n";
    return all;
  }
  const std::vector<std::string>& LinesRead() const { return lines_; }

  // Waits for the child to end by itself; its exit status.
  int Wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    ended_ = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int toChild_ = -1;
  int fromChild_ = -1;
  bool ended_ = false;
  std::string buffer_;
  std::vector<std::string> lines_;
};

// Whether `holds` comes true within the wait, tried every 20 ms.
bool Within(const std::function<bool()>& holds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (!holds()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    usleep(20000);
  }
  return true;
}

// An Xvfb server on a display of its choosing, optionally with openbox,
// and the test's own connection to it, for asking what it shows.
class XServer {
 public:
  explicit XServer(bool windowManager, const std::string& authFile = "") {
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) return;  // the server gets the writing end as its fd 3
    std::vector<std::string> argv = {"Xvfb", "-displayfd", "3", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"};
    if (!authFile.empty()) argv.insert(argv.end(), {"-auth", authFile});
    server_ = std::make_unique<Child>(argv, std::vector<std::string>{}, false, ready[1]);
    close(ready[1]);
    // The server writes its display number once it takes clients. The
    // pipe stays open while the server runs: it may write the line in
    // pieces, and a closed pipe would end it.
    ready_ = ready[0];
    std::string number;
    pollfd p{ready_, POLLIN, 0};
    char c = 0;
    while (number.find('\n') == std::string::npos && poll(&p, 1, kWaitMs) == 1 && read(ready_, &c, 1) == 1) number += c;
    if (number.find('\n') != std::string::npos)
      display_ = ":" + number.substr(0, number.find('\n'));
    else
      why_ = "Xvfb gave no display number";
    // And takes clients (unless it wants a cookie): the programs would
    // otherwise find no display.
    if (authFile.empty() && !display_.empty()) {
      if (!Within([this] { return platform::dialog::qt::XDisplayReachable(display_); })) {
        why_ = "the server at " + display_ + " takes no client";
        display_.clear();
        return;
      }
      x_ = xcb_connect(display_.c_str(), nullptr);
      if (xcb_connection_has_error(x_) != 0) {
        why_ = "the test cannot connect to " + display_;
        display_.clear();
        return;
      }
      root_ = xcb_setup_roots_iterator(xcb_get_setup(x_)).data->root;
    }
    if (windowManager && !display_.empty()) {
      wm_ = std::make_unique<Child>(std::vector<std::string>{"openbox"}, Env(), false);
      // A window mapped before the manager runs may never be activated;
      // one mapped while it is still starting, after it has announced
      // itself, waits unmanaged until some later event wakes it. So the
      // manager is running once it has answered a request.
      if (!Within([this] { return Property32(root_, "_NET_SUPPORTING_WM_CHECK") != 0; }) || !WindowManagerAnswers()) {
        why_ = "openbox did not start at " + display_;
        display_.clear();
      }
    }
  }

  ~XServer() {
    platform::dialog::qt::ReleaseXDisplayCheck();
    if (x_ != nullptr) xcb_disconnect(x_);
    wm_.reset();
    server_.reset();
    if (ready_ >= 0) close(ready_);
  }
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool Running() const { return !display_.empty(); }
  bool Managed() const { return wm_ != nullptr; }
  const std::string& Why() const { return why_; }
  std::vector<std::string> Env() const { return {"DISPLAY=" + display_}; }

  // Whether `window` gets the keys: the server's input focus is on it and
  // a window manager calls it the active window.
  bool HasKeyboard(xcb_window_t window) {
    xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(x_, xcb_get_input_focus(x_), nullptr);
    bool focused = focus != nullptr && focus->focus == window;
    free(focus);
    return focused && (!Managed() || Property32(root_, "_NET_ACTIVE_WINDOW") == window);
  }

  // Whether the window manager answers a request made now: it asks for
  // the frame a new window of the test's would get, which the manager
  // writes on that window. The answer comes once the manager has handled
  // every event before the request, so what it drew for them is on the
  // screen. The request goes again every 200 ms, since a manager that is
  // still starting may read it and leave it until the next event.
  bool WindowManagerAnswers() {
    xcb_atom_t extents = Atom("_NET_FRAME_EXTENTS");
    xcb_window_t probe = xcb_generate_id(x_);
    uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(x_, XCB_COPY_FROM_PARENT, probe, root_, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    xcb_client_message_event_t request{};
    request.response_type = XCB_CLIENT_MESSAGE;
    request.format = 32;
    request.window = probe;
    request.type = Atom("_NET_REQUEST_FRAME_EXTENTS");
    bool answered = false;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!answered && std::chrono::steady_clock::now() < deadline) {
      xcb_send_event(x_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                     reinterpret_cast<const char*>(&request));
      xcb_flush(x_);
      auto again = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
      for (auto now = std::chrono::steady_clock::now(); !answered && now < again;
           now = std::chrono::steady_clock::now()) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x_)) {
          auto* change = reinterpret_cast<xcb_property_notify_event_t*>(event);
          answered |= (event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && change->window == probe &&
                      change->atom == extents;
          free(event);
        }
        pollfd p{xcb_get_file_descriptor(x_), POLLIN, 0};
        if (!answered)
          poll(&p, 1, static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(again - now).count()) + 1);
      }
    }
    xcb_destroy_window(x_, probe);
    xcb_flush(x_);
    return answered;
  }

 private:
  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* atom =
        xcb_intern_atom_reply(x_, xcb_intern_atom(x_, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t value = atom != nullptr ? atom->atom : xcb_atom_t{XCB_ATOM_NONE};
    free(atom);
    return value;
  }
  // The first 32-bit value of a window's property; 0 where it is unset.
  uint32_t Property32(xcb_window_t window, const char* name) {
    xcb_get_property_reply_t* property = xcb_get_property_reply(
        x_, xcb_get_property(x_, 0, window, Atom(name), XCB_GET_PROPERTY_TYPE_ANY, 0, 1), nullptr);
    uint32_t value = 0;
    if (property != nullptr && property->format == 32 && xcb_get_property_value_length(property) >= 4)
      value = *static_cast<uint32_t*>(xcb_get_property_value(property));
    free(property);
    return value;
  }

  std::unique_ptr<Child> server_;
  std::unique_ptr<Child> wm_;
  std::string display_;
  std::string why_;
  int ready_ = -1;
  xcb_connection_t* x_ = nullptr;
  xcb_window_t root_ = XCB_NONE;
};

std::unique_ptr<Child> StartLook(const XServer& x, bool framed, std::vector<std::string> env = {}) {
  for (const std::string& e : x.Env()) env.push_back(e);
  env.push_back("QT_QPA_PLATFORM=xcb");
  std::vector<std::string> argv = {Here() + "/qt_look_program"};
  if (framed) argv.push_back("--framed");
  return std::make_unique<Child>(argv, env, true);
}

struct Shown {
  int clientWidth = 0, clientHeight = 0, windowHeight = 0, frameHeight = 0;
};

Shown ReadShown(Child& look) {
  std::istringstream words(look.WaitFor("shown "));
  std::string tag;
  int windowWidth = 0, frameWidth = 0;
  Shown s;
  words >> tag >> s.clientWidth >> s.clientHeight >> windowWidth >> s.windowHeight >> frameWidth >> s.frameHeight;
  return s;
}

// Waits until the program's window on top is active, drawn and without a
// menu, the server gives it the keys, and a window manager has drawn its
// frame.
void Ready(XServer& x, Child& look) {
  look.Send("ready");
  std::istringstream words(look.WaitFor("ready "));
  std::string tag;
  xcb_window_t window = XCB_NONE;
  words >> tag >> window;
  ASSERT_TRUE(Within([&] { return x.HasKeyboard(window); })) << "window " << window << " never got the keys";
  if (x.Managed()) {
    EXPECT_TRUE(x.WindowManagerAnswers()) << "the window manager stopped answering";
  }
}

// One key from the server's keyboard, to whatever has the focus; then the
// program's answer, the first line that starts with `answer`. Without
// one, the caller waits for the state the key makes.
std::string Press(XServer& x, Child& look, const std::string& key, const std::string& answer) {
  Child xdotool({"xdotool", "key", key}, x.Env(), false);
  EXPECT_EQ(xdotool.Wait(), 0) << key;
  return answer.empty() ? "" : look.WaitFor(answer);
}

// A key that leaves the window where it is: done once the program writes
// that it handled it, by the key's name as the program writes it.
void Key(XServer& x, Child& look, const std::string& key, const std::string& name) {
  Press(x, look, key, "key " + name);
}

#define REQUIRE_TOOLS(...)               \
  for (const char* tool : {__VA_ARGS__}) \
    if (!Installed(tool)) GTEST_SKIP() << tool << " is not installed (scripts/setup.sh installs it)"

// The main window at 665 x 480 and legible, with a message box and the
// system menu, as a user sees them on a desktop and on a bare server.
TEST(Xvfb, TheMainWindowSizedDialogAsAUserSeesIt) {
  REQUIRE_TOOLS("Xvfb", "xdotool");
  for (bool wm : {false, true}) {
    if (wm && !Installed("openbox")) {
      std::printf("openbox is not installed: only the bare server is looked at\n");
      continue;
    }
    SCOPED_TRACE(wm ? "with a window manager" : "without a window manager");
    XServer x(wm);
    ASSERT_TRUE(x.Running()) << x.Why();
    std::unique_ptr<Child> look = StartLook(x, wm);
    Shown shown = ReadShown(*look);
    EXPECT_NEAR(shown.clientWidth, 665, 665 * 5 / 100);
    EXPECT_NEAR(shown.clientHeight, 480, 480 * 5 / 100);
    if (wm)
      EXPECT_GT(shown.frameHeight, shown.windowHeight + 10) << "no title bar";
    else
      EXPECT_EQ(shown.frameHeight, shown.windowHeight);

    std::string suffix = wm ? "_wm.png" : ".png";
    for (const char* command : {"text 1221 ﾎｯｶｲﾄﾞｳ ｻｯﾎﾟﾛｼ ﾁｭｳｵｳｸ 060-0001 札幌市中央区北一条西", "text 1057 ﾎ",
                                "text 1058 ｻ", "text 1053 ｷ", "focus 1045"})
      look->Send(command);
    Ready(x, *look);
    look->Send("shot " + ShotDir() + "/xvfb_keypad" + suffix);
    look->WaitFor("shot ");

    look->Send("box ok");
    Ready(x, *look);
    look->Send("shot " + ShotDir() + "/xvfb_message_box" + suffix);
    look->WaitFor("shot ");
    EXPECT_EQ(Press(x, *look, "Escape", "box "), "box ok 1");

    Ready(x, *look);
    look->Send("sysmenu");
    look->Send("shot " + ShotDir() + "/xvfb_system_menu" + suffix);
    look->WaitFor("shot ");
    Press(x, *look, "Escape", "");  // the menu closes
    Ready(x, *look);
    look->Send("quit");
    EXPECT_EQ(look->WaitFor("result "), "result 2");
  }
}

// Keys from the X server: the menu bar by F10 and by Alt, the default
// button that follows the focus, a Yes/No box that Escape cannot answer,
// and no focus notification when a box gives the focus back.
TEST(Xvfb, KeysFromTheServerReachTheMenuBarTheDefaultButtonAndBoxes) {
  REQUIRE_TOOLS("Xvfb", "xdotool", "openbox");
  XServer x(true);
  ASSERT_TRUE(x.Running()) << x.Why();
  std::unique_ptr<Child> look = StartLook(x, true);
  ReadShown(*look);
  look->Send("focus 1057");
  EXPECT_EQ(look->WaitFor("focus "), "focus 1057");
  Ready(x, *look);
  Key(x, *look, "F10", "F10");
  Key(x, *look, "Right", "Right");
  EXPECT_EQ(Press(x, *look, "Return", "command "), "command 32773");
  Key(x, *look, "alt", "Alt");
  EXPECT_EQ(Press(x, *look, "Return", "command "), "command 32772");
  look->Send("focused");
  EXPECT_EQ(look->WaitFor("focused "), "focused 1057");

  look->Send("box yesno");
  Ready(x, *look);
  Key(x, *look, "Escape", "Esc");
  EXPECT_EQ(Press(x, *look, "n", "box "), "box yesno 7");
  look->Send("focused");
  EXPECT_EQ(look->WaitFor("focused "), "focused 1057");

  look->Send("focus 1045");
  Ready(x, *look);
  EXPECT_EQ(Press(x, *look, "Return", "click "), "click 1045");
  look->Send("quit");
  look->WaitFor("result ");
  // The focus was gained twice, and never again when the box closed.
  int gains = 0;
  for (const std::string& line : look->LinesRead())
    if (line.rfind("focus ", 0) == 0) ++gains;
  EXPECT_EQ(gains, 3) << look->Lines();  // the default focus, 1057, 1045
}

// A denser screen gives bigger dialog units: at 144 dots per inch the
// 9-point face is 18 pixels, and the dialog half as big again. (Qt's own
// scaling is off here, so that the font's dots per inch tell.)
TEST(Xvfb, ADenserScreenScalesTheDialog) {
  REQUIRE_TOOLS("Xvfb");
  XServer x(false);
  ASSERT_TRUE(x.Running()) << x.Why();
  std::unique_ptr<Child> look = StartLook(x, false, {"QT_ENABLE_HIGHDPI_SCALING=0", "QT_FONT_DPI=144"});
  Shown shown = ReadShown(*look);
  EXPECT_NEAR(shown.clientWidth, 665 * 3 / 2, 665 * 3 / 2 * 5 / 100);
  EXPECT_NEAR(shown.clientHeight, 480 * 3 / 2, 480 * 3 / 2 * 5 / 100);
  look->Send("quit");
  look->WaitFor("result ");
}

// A server that refuses the client (it wants a cookie the client does not
// have) is no display: the program says so and ends, never aborting.
TEST(Xvfb, AServerThatRefusesTheClientIsNoDisplay) {
  REQUIRE_TOOLS("Xvfb");
  // An authority file with one cookie, for display 0 of this host: the
  // server takes every cookie in it, whatever the display.
  std::string authFile = ShotDir() + "/xvfb_test_auth";
  {
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::string address(host), number = "0", name = "MIT-MAGIC-COOKIE-1", cookie(16, '\x5a');
    std::ofstream out(authFile, std::ios::binary | std::ios::trunc);
    auto field = [&out](const std::string& bytes) {
      out.put(static_cast<char>(bytes.size() >> 8)).put(static_cast<char>(bytes.size() & 0xFF)) << bytes;
    };
    out.put(1).put(0);  // FamilyLocal (256)
    field(address);
    field(number);
    field(name);
    field(cookie);
  }
  XServer x(false, authFile);
  ASSERT_TRUE(x.Running()) << x.Why();
  std::vector<std::string> env = x.Env();
  env.push_back("XAUTHORITY=/dev/null");
  env.push_back("QT_QPA_PLATFORM=xcb");
  Child demo({Here() + "/qt_demo_program"}, env, true);
  std::string all;
  while (std::optional<std::string> line = demo.ReadLine()) all += *line + "\n";
  EXPECT_EQ(demo.Wait(), 1) << all;
  EXPECT_NE(all.find("no window system is available"), std::string::npos) << all;
  std::filesystem::remove(authFile);
}

}  // namespace
