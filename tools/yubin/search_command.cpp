#include "tools/yubin/search_command.h"

#include <iostream>
#include <map>

#include "platform/text/cp932.h"
#include "platform/text/kana.h"
#include "search/engine/dialog_side.h"
#include "search/engine/search_session.h"
#include "tools/yubin/commands.h"

namespace yubin {

const char kSearchUsage[] =
    "usage: yubin search [--pref KANA] [--city KANA] [--ward KANA] [--rough KANA]\n"
    "                    [--town READING] [--narrow TEXT] [--final] [--pages]\n"
    "Searches the kana town index named by Tolvane.ini in the current directory.\n"
    "  --pref   first letter of the prefecture     --city  first letter of the city or county\n"
    "  --ward   first letter of the ward           --rough first letter of the rough town\n"
    "  --town   the detailed town's reading, or as much of it as you know. Its first\n"
    "           two letters choose the index file, as the keypad's two keys do (a\n"
    "           voiced kana is two letters: が is ｶ and ﾞ); a longer reading also\n"
    "           becomes the narrowing text, unless --narrow is given\n"
    "  --narrow text the town's reading must contain\n"
    "  --final  final narrowing only               --pages print all four result pages\n"
    "Kana are hiragana or katakana in UTF-8, looked up as the index spells them:\n"
    "half-width, small kana full-size (じょう is ｼﾞﾖｳ). The index often writes\n"
    "numbers in readings as digits: 南一条 is みなみ1じょう.\n"
    "Message boxes go to stderr, one line each: [caption] text. Exit status 0\n"
    "when the shown page holds records, 1 when it holds none, 2 for a usage error,\n"
    "3 when the search could not be completed (a file that cannot be read or\n"
    "written; stderr says which and why).\n";

namespace {

using search::engine::SearchSession;
using search::engine::SearchState;

// A dialog without a window: keeps the fields and captions, and writes
// every message box to the error stream as it is shown.
class ConsoleDialog : public search::engine::DialogSide {
 public:
  explicit ConsoleDialog(std::ostream& err) : err_(err) {}

  void SetFieldText(search::engine::Field field, const std::string& text) override { fields_[field] = text; }
  std::string FieldText(search::engine::Field field) override { return fields_[field]; }
  void ReportTooLong(search::engine::Field field, size_t maxBytes) override {
    err_ << "[yubin] " << search::engine::FieldName(field) << " holds more than " << maxBytes << " bytes\n";
  }
  void SetStatusCaption(const std::string& text) override { status_ = text; }
  void SetPageCaption(const std::string& text) override { pageLabel_ = text; }
  void MessageBox(const std::string& caption, const std::string& text) override {
    err_ << '[' << OneLine(caption) << "] " << OneLine(text) << '\n';
  }

  const std::string& Status() const { return status_; }
  const std::string& PageLabel() const { return pageLabel_; }

  // UTF-8, with each line end made a blank so that a box stays one line.
  static std::string OneLine(const std::string& cp932) {
    std::string text = platform::text::ToUtf8(cp932);
    std::string line;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
      line += (text[i] == '\r' || text[i] == '\n') ? ' ' : text[i];
    }
    return line;
  }

 private:
  std::ostream& err_;
  std::map<search::engine::Field, std::string> fields_;
  std::string status_;
  std::string pageLabel_;
};

// A result page in UTF-8 with LF line ends. A page cut inside a line gets
// a final line end, so that what follows starts a line of its own.
std::string PageForTerminal(const std::string& cp932) {
  std::string text = platform::text::ToUtf8(cp932);
  std::string out;
  out.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out;
}

bool IsKeypadByte(unsigned char b) {
  return b == 0xA6 || (b >= 0xB1 && b <= 0xDF) || (b >= '0' && b <= '9') || b == '+' || b == '-' || b == ' ';
}

struct Options {
  std::string letters[6];  // prefecture, city, ward, rough town, town first, town second
  std::string town;        // the reading given with --town
  std::string narrowing;
  bool narrowingGiven = false;
  bool final = false;
  bool pages = false;
};

int Usage(std::ostream& err, const std::string& problem) {
  err << "yubin search: " << problem << '\n' << kSearchUsage;
  return 2;
}

}  // namespace

std::optional<std::string> KeypadBytes(std::string_view utf8) {
  std::optional<std::string> half = platform::text::ToHalfWidth(utf8);
  if (!half) return std::nullopt;
  std::string bytes = platform::text::ToFullSizeKana(*half);
  for (char c : bytes)
    if (!IsKeypadByte(static_cast<unsigned char>(c))) return std::nullopt;
  return bytes;
}

int RunSearchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  static const std::map<std::string, int> letterOptions = {{"--pref", 0},  {"--city", 1}, {"--ward", 2},
                                                           {"--rough", 3}, {"--town", 4}, {"--narrow", 6}};
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (size_t eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name = name.substr(0, eq);
    }
    if (name == "--help" || name == "-h") {
      out << kSearchUsage;
      return 0;
    }
    if (name == "--final" || name == "--pages") {
      if (value) return Usage(err, name + " takes no value");
      (name == "--final" ? options.final : options.pages) = true;
      continue;
    }
    auto option = letterOptions.find(name);
    if (option == letterOptions.end()) return Usage(err, "unknown argument " + args[i]);
    if (!value) {
      if (i + 1 == args.size()) return Usage(err, name + " needs a value");
      value = args[++i];
    }
    std::optional<std::string> bytes = KeypadBytes(*value);
    if (!bytes) return Usage(err, name + " " + *value + ": not a keypad letter");
    int slot = option->second;
    if (slot == 6) {
      options.narrowing = *bytes;
      options.narrowingGiven = true;
    } else if (slot == 4) {
      options.town = *bytes;
    } else {
      if (bytes->size() > 1) return Usage(err, name + " " + *value + ": one letter");
      options.letters[slot] = *bytes;
    }
  }

  // The town letters are the reading's first two bytes, as the keypad's two
  // keys would enter them: a voiced kana is its letter and its mark. The
  // file they name holds every town whose reading starts so; the whole
  // reading, as a narrowing text, keeps those whose reading contains it.
  options.letters[4] = options.town.substr(0, 1);
  options.letters[5] = options.town.size() > 1 ? options.town.substr(1, 1) : std::string();
  if (options.town.size() > 2 && !options.narrowingGiven) options.narrowing = options.town;

  ConsoleDialog dialog(err);
  SearchSession session(dialog);
  session.InitialiseDialog();
  SearchState& state = session.State();
  state.PrefectureLetter = options.letters[0];
  state.CityLetter = options.letters[1];
  state.WardLetter = options.letters[2];
  state.RoughTownLetter = options.letters[3];
  state.DetailFirstLetter = options.letters[4];
  state.DetailSecondLetter = options.letters[5];
  state.NarrowingString = options.narrowing;
  session.ShowState();
  if (options.final)
    session.FinalNarrowing();
  else
    session.StartSearch();

  out << "status: " << ConsoleDialog::OneLine(dialog.Status()) << '\n';
  out << "page: " << ConsoleDialog::OneLine(dialog.PageLabel()) << '\n';
  if (options.pages) {
    for (size_t k = 1; k <= 4; ++k) out << "=== page " << k << " ===\n" << PageForTerminal(state.PageText[k]);
  } else {
    out << PageForTerminal(state.ResultText);
  }
  out.flush();
  if (!session.IncompleteReason().empty()) {
    err << "yubin search: " << session.IncompleteReason() << "; the search could not be completed\n";
    return 3;
  }
  return state.ResultText.empty() ? 1 : 0;
}

int RunSearch(const std::vector<std::string>& args) { return RunSearchCommand(args, std::cout, std::cerr); }

}  // namespace yubin
