#include "platform/dialog/headless/script_reader.h"

#include <optional>
#include <utility>

#include "platform/text/cp932.h"

namespace platform::dialog::headless {
namespace {

using Kind = HeadlessBackend::Event::Kind;

// The commands that take one number, and what the number is.
struct NumberCommand {
  std::string_view name;
  Kind kind;
  std::string_view number;
};

constexpr NumberCommand kNumberCommands[] = {
    {"click", Kind::kClick, "the control ID"},   {"choose", Kind::kChoose, "the control ID"},
    {"focus", Kind::kFocus, "the control ID"},   {"syscommand", Kind::kSysCommand, "the command"},
    {"menu", Kind::kMenuCommand, "the command"}, {"wait", Kind::kWait, "milliseconds"},
    {"answer", Kind::kAnswer, "the button ID"},  {"print", Kind::kPrint, "the control ID"},
};

struct BareCommand {
  std::string_view name;
  Kind kind;
  MoveKey key = MoveKey::kTab;  // for a key that moves the focus
};

constexpr BareCommand kBareCommands[] = {
    {"enter", Kind::kEnter},
    {"escape", Kind::kEscape},
    {"tab", Kind::kTab},
    {"backtab", Kind::kKey, MoveKey::kBackTab},
    {"left", Kind::kKey, MoveKey::kLeft},
    {"right", Kind::kKey, MoveKey::kRight},
    {"up", Kind::kKey, MoveKey::kUp},
    {"down", Kind::kKey, MoveKey::kDown},
    {"close", Kind::kCloseBox},
    {"title", Kind::kTitle},
    {"clipboard", Kind::kClipboard},
};

// A whole number of 0 or more, decimal or with 0x hexadecimal.
std::optional<int> Number(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  long long value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return std::nullopt;
    value = value * base + digit;
    if (value > 0x7FFFFFFF) return std::nullopt;
  }
  return static_cast<int>(value);
}

// The text of a type line with its escapes resolved, or the fault.
bool Unescape(std::string_view text, std::string& out, std::string& fault) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      out += text[i];
      continue;
    }
    if (++i == text.size()) {
      fault = "the text ends in a lone backslash (write \\\\ for one)";
      return false;
    }
    switch (text[i]) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      default:
        fault = std::string("unknown escape \\") + text[i] + " in the text (\\r, \\n, \\t and \\\\ are known)";
        return false;
    }
  }
  return true;
}

// Reads one line (without its line end) into `event`; false with `fault`
// when it cannot be read. A line without an event leaves `event` unset.
bool ReadLine(std::string_view line, std::optional<HeadlessBackend::Event>& event, std::string& fault) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string_view::npos || line[start] == '#') return true;
  line.remove_prefix(start);
  size_t space = line.find(' ');
  std::string_view command = line.substr(0, space);
  std::string_view rest = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
  // Blanks at the end count for nothing, except in a typed text.
  auto trimmed = [](std::string_view s) {
    size_t end = s.find_last_not_of(" \t");
    return end == std::string_view::npos ? std::string_view() : s.substr(0, end + 1);
  };

  for (const NumberCommand& c : kNumberCommands) {
    if (command != c.name) continue;
    std::optional<int> value = Number(trimmed(rest));
    if (!value) {
      fault = "'" + std::string(c.name) + "' takes one number: " + std::string(c.number);
      return false;
    }
    event = HeadlessBackend::Event{c.kind, *value, {}, {}};
    return true;
  }
  for (const BareCommand& c : kBareCommands) {
    if (command != c.name) continue;
    if (!trimmed(rest).empty()) {
      fault = "'" + std::string(c.name) + "' takes nothing after it";
      return false;
    }
    event = HeadlessBackend::Event{c.kind, static_cast<int>(c.key), {}, {}};
    return true;
  }
  if (command == "type") {
    // type ID TEXT: the text is all after the one blank that follows the ID.
    size_t gap = rest.find(' ');
    std::optional<int> id = Number(rest.substr(0, gap));
    if (!id) {
      fault = "'type' takes a control ID and then the text";
      return false;
    }
    std::string utf8;
    if (gap != std::string_view::npos && !Unescape(rest.substr(gap + 1), utf8, fault)) return false;
    std::optional<std::string> cp932 = text::ToCp932Strict(utf8);
    if (!cp932) {
      fault = "the text has no CP932 form";
      return false;
    }
    event = HeadlessBackend::Event{Kind::kType, *id, std::move(*cp932), {}};
    return true;
  }
  fault = "unknown command '" + std::string(command) + "'";
  return false;
}

}  // namespace

Script ReadScript(std::string_view utf8) {
  Script script;
  int number = 0;
  while (!utf8.empty()) {
    size_t end = utf8.find('\n');
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
    ++number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::optional<HeadlessBackend::Event> event;
    std::string fault;
    if (!ReadLine(line, event, fault)) {
      script.faults.push_back({number, std::move(fault)});
    } else if (event) {
      event->line = number;
      script.events.push_back(std::move(*event));
    }
  }
  return script;
}

}  // namespace platform::dialog::headless
