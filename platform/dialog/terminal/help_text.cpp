#include "platform/dialog/terminal/help_text.h"

#include <algorithm>
#include <cstdlib>  // std::strtoul

#include "platform/dialog/terminal/glyphs.h"
#include "platform/text/utf8.h"

namespace platform::dialog::terminal {
namespace {

using Kind = HelpBlock::Kind;

struct Point {
  char32_t code;
  std::size_t begin;  // bytes of the UTF-8 text
  std::size_t end;
  int width;
};

std::vector<Point> Points(std::string_view utf8) {
  std::vector<Point> points;
  for (std::size_t i = 0; i < utf8.size();) {
    text::Decoded d = text::DecodeUtf8At(utf8, i);
    points.push_back({d.code, i, i + d.length, CellWidth(d.code)});
    i += d.length;
  }
  return points;
}

int Width(std::string_view utf8) {
  int cells = 0;
  for (const Point& p : Points(utf8)) cells += p.width;
  return cells;
}

// Wraps `text` into lines of `width` cells; lines after the first start
// with `indent` blanks.
std::vector<std::string> Wrap(std::string_view text, int width, int indent) {
  std::vector<std::string> lines;
  std::vector<Point> points = Points(text);
  std::size_t start = 0;  // index into points
  while (start < points.size()) {
    int room = std::max(1, width - (lines.empty() ? 0 : indent));
    int used = 0;
    std::size_t at = start;
    std::size_t breakAt = start;
    while (at < points.size() && (used + points[at].width <= room || points[at].code == U' ' || at == start)) {
      used += points[at].width;
      ++at;
      if (at < points.size() && (points[at - 1].code == U' ' || points[at - 1].width == 2 || points[at].width == 2))
        breakAt = at;
    }
    std::size_t end = at == points.size() || breakAt == start ? at : breakAt;
    std::size_t last = end;
    while (last > start && points[last - 1].code == U' ') --last;
    std::string line(lines.empty() ? 0 : static_cast<std::size_t>(indent), ' ');
    if (last > start) line += std::string(text.substr(points[start].begin, points[last - 1].end - points[start].begin));
    lines.push_back(std::move(line));
    start = end;
    while (start < points.size() && points[start].code == U' ') ++start;
  }
  if (lines.empty()) lines.emplace_back();
  return lines;
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// A character reference ("amp", "#38", "#x26") as UTF-8; empty when it is
// not one this knows.
std::string Reference(std::string_view name) {
  if (!name.empty() && name[0] == '#') {
    bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
    std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty()) return {};
    char* end = nullptr;
    unsigned long code = std::strtoul(digits.c_str(), &end, hex ? 16 : 10);
    if (*end != '\0' || code == 0 || code > 0x10FFFF) return {};
    return Utf8Of(static_cast<char32_t>(code));
  }
  static const struct {
    const char* name;
    const char* text;
  } kNamed[] = {{"amp", "&"},    {"lt", "<"},    {"gt", ">"},    {"quot", "\""}, {"apos", "'"},
                {"nbsp", " "},   {"copy", "©"},  {"reg", "®"},   {"times", "×"}, {"divide", "÷"},
                {"hellip", "…"}, {"mdash", "—"}, {"ndash", "–"}, {"yen", "¥"},   {"middot", "·"},
                {"larr", "←"},   {"rarr", "→"},  {"uarr", "↑"},  {"darr", "↓"}};
  for (const auto& entry : kNamed)
    if (name == entry.name) return entry.text;
  return {};
}

class Builder {
 public:
  void Text(std::string_view text, bool pre) {
    for (char c : text) {
      bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
      if (pre) {
        if (c == '\n') {
          Flush(true);
        } else if (c != '\r') {
          current_ += c == '\t' ? ' ' : c;
        }
      } else if (space) {
        if (!current_.empty() && current_.back() != ' ') current_ += ' ';
      } else {
        current_ += c;
      }
    }
  }
  void Append(std::string_view text) { current_ += text; }

  // Ends the block being gathered; `keepEmpty`: an empty line of a <pre>.
  void Flush(bool keepEmpty = false) {
    while (!current_.empty() && current_.back() == ' ') current_.pop_back();
    std::size_t lead = 0;
    if (kind_ != Kind::kText || !keepEmpty) lead = current_.find_first_not_of(' ');
    if (lead == std::string::npos)
      current_.clear();
    else
      current_.erase(0, lead);
    if (!current_.empty() || (keepEmpty && kind_ == Kind::kText)) {
      HelpBlock block;
      block.kind = current_.empty() ? Kind::kBlank : kind_;
      block.text = std::move(current_);
      block.level = level_;
      block.marker = marker_;
      blocks_.push_back(std::move(block));
    }
    current_.clear();
    kind_ = Kind::kText;
    marker_.clear();
    level_ = 0;
  }
  void Blank() {
    Flush();
    if (!blocks_.empty() && blocks_.back().kind != Kind::kBlank) blocks_.push_back({Kind::kBlank, {}, 0, {}});
  }
  void Start(Kind kind, int level = 0, std::string marker = {}) {
    Flush();
    kind_ = kind;
    level_ = level;
    marker_ = std::move(marker);
  }
  void Rule() {
    Flush();
    blocks_.push_back({Kind::kRule, {}, 0, {}});
  }
  Kind Current() const { return kind_; }
  bool Empty() const { return current_.empty(); }

  std::vector<HelpBlock> Take() {
    Flush();
    while (!blocks_.empty() && blocks_.back().kind == Kind::kBlank) blocks_.pop_back();
    return std::move(blocks_);
  }

 private:
  std::vector<HelpBlock> blocks_;
  std::string current_;
  Kind kind_ = Kind::kText;
  int level_ = 0;
  std::string marker_;
};

std::vector<HelpBlock> PlainBlocks(std::string_view text) {
  std::vector<HelpBlock> blocks;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string line(text.substr(start, end - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    for (char& c : line)
      if (c == '\t') c = ' ';
    blocks.push_back({line.empty() ? Kind::kBlank : Kind::kText, line, 0, {}});
    start = end + 1;
  }
  while (!blocks.empty() && blocks.back().kind == Kind::kBlank) blocks.pop_back();
  return blocks;
}

}  // namespace

std::vector<HelpBlock> HelpBlocks(std::string_view text) {
  std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  if (text[first] != '<') return PlainBlocks(text);

  Builder out;
  struct List {
    bool ordered;
    int count;
  };
  std::vector<List> lists;
  bool pre = false;
  bool firstCell = true;
  std::string skipUntil;  // the closing tag of an element whose content is not text
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '&' && skipUntil.empty()) {
      std::size_t semi = text.find(';', i);
      if (semi != std::string_view::npos && semi - i <= 10) {
        std::string resolved = Reference(text.substr(i + 1, semi - i - 1));
        if (!resolved.empty()) {
          if (resolved == " " && !pre)
            out.Append(" ");
          else
            out.Append(resolved);
          i = semi + 1;
          continue;
        }
      }
      out.Append("&");
      ++i;
      continue;
    }
    if (text[i] != '<') {
      std::size_t next = text.find_first_of("<&", i);
      if (next == std::string_view::npos) next = text.size();
      if (skipUntil.empty()) out.Text(text.substr(i, next - i), pre);
      i = next;
      continue;
    }
    if (text.substr(i, 4) == "<!--") {
      std::size_t end = text.find("-->", i + 4);
      i = end == std::string_view::npos ? text.size() : end + 3;
      continue;
    }
    std::size_t close = text.find('>', i);
    if (close == std::string_view::npos) break;
    std::string_view tag = text.substr(i + 1, close - i - 1);
    i = close + 1;
    bool ending = !tag.empty() && tag[0] == '/';
    if (ending) tag.remove_prefix(1);
    std::size_t nameEnd = tag.find_first_of(" \t\r\n/");
    std::string name = Lower(tag.substr(0, nameEnd));
    if (!skipUntil.empty()) {
      if (ending && name == skipUntil) skipUntil.clear();
      continue;
    }
    if (!ending && (name == "head" || name == "script" || name == "style" || name == "title")) {
      skipUntil = name;
      continue;
    }
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') {
      out.Blank();
      if (!ending)
        out.Start(Kind::kHeading, name[1] - '0');
      else
        out.Blank();
    } else if (name == "p") {
      out.Blank();
    } else if (name == "br") {
      Kind kind = out.Current();
      out.Flush();
      if (kind == Kind::kItem || kind == Kind::kRow) out.Start(kind);
    } else if (name == "div" || name == "blockquote" || name == "dt" || name == "dd" || name == "center" ||
               name == "section" || name == "address") {
      out.Flush();
    } else if (name == "ul" || name == "ol") {
      out.Flush();
      if (!ending) {
        lists.push_back({name == "ol", 0});
      } else {
        if (!lists.empty()) lists.pop_back();
        if (lists.empty()) out.Blank();
      }
    } else if (name == "li") {
      if (ending) {
        out.Flush();
      } else {
        std::string marker = "・";
        if (!lists.empty() && lists.back().ordered) marker = std::to_string(++lists.back().count) + ".";
        out.Start(Kind::kItem, 0, marker);
      }
    } else if (name == "table") {
      out.Blank();
    } else if (name == "tr") {
      if (ending) {
        out.Flush();
      } else {
        out.Start(Kind::kRow);
        firstCell = true;
      }
    } else if ((name == "td" || name == "th") && !ending) {
      if (out.Current() != Kind::kRow) out.Start(Kind::kRow);
      if (!firstCell) out.Append(" │ ");
      firstCell = false;
    } else if (name == "hr") {
      out.Rule();
    } else if (name == "pre") {
      out.Flush();
      pre = !ending;
    }
  }
  return out.Take();
}

std::vector<HelpLine> LayOutHelp(const std::vector<HelpBlock>& blocks, int width) {
  std::vector<HelpLine> lines;
  width = std::max(4, width);
  for (const HelpBlock& block : blocks) {
    switch (block.kind) {
      case Kind::kBlank: lines.push_back({}); break;
      case Kind::kRule:
        lines.push_back({std::string(), false});
        for (int i = 0; i < width; ++i) lines.back().text += "─";
        break;
      case Kind::kHeading:
        for (std::string& line : Wrap(block.text, width, 0)) lines.push_back({std::move(line), true});
        break;
      case Kind::kItem: {
        std::string marked = "  " + block.marker + " " + block.text;
        int indent = 2 + Width(block.marker) + 1;
        for (std::string& line : Wrap(marked, width, indent)) lines.push_back({std::move(line), false});
        break;
      }
      case Kind::kRow:
        for (std::string& line : Wrap(block.text, width, 2)) lines.push_back({std::move(line), false});
        break;
      case Kind::kText:
        for (std::string& line : Wrap(block.text, width, 0)) lines.push_back({std::move(line), false});
        break;
    }
  }
  return lines;
}

}  // namespace platform::dialog::terminal
