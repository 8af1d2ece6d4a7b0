#include "search/ui/model/regex_search.h"

#include "platform/files/file.h"
#include "platform/files/text_reader.h"
#include "platform/process.h"
#include "platform/text/cp932.h"
#include "search/ui/model/outside_text.h"

namespace search::ui {
namespace {

bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The text with every lead byte that lacks its trail byte dropped.
std::string WholeCharacters(std::string_view text) {
  std::string whole;
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char b = static_cast<unsigned char>(text[i]);
    if (platform::text::Cp932CharLength(b) == 1) {
      whole += text[i];
    } else if (i + 1 < text.size() && IsTrailByte(static_cast<unsigned char>(text[i + 1]))) {
      whole.append(text.substr(i, 2));
      ++i;
    }
  }
  return whole;
}

std::string_view FileOperand(SearchKind kind) {
  switch (kind) {
    case SearchKind::kOffices: return " Jigyosyo.csv";
    case SearchKind::kGeneral: return " Ken_all.csv";
    case SearchKind::kAll: break;
  }
  return " *.csv";
}

}  // namespace

bool RemoveEnterBytes(std::string& text) {
  std::size_t kept = 0;
  for (char c : text)
    if (c != '\b' && c != '\n' && c != '\f' && c != '\r') text[kept++] = c;
  bool found = kept != text.size();
  text.resize(kept);
  return found;
}

std::string GrepPattern(std::string_view searchString) {
  std::string words;
  // Set right at the start and after an " and ": spaces there are skipped.
  bool afterSeparator = true;
  // A space is never a trail byte, so the walk may go byte by byte.
  for (char c : WholeCharacters(searchString)) {
    if (c != ' ') {
      words += c;
      afterSeparator = false;
    } else if (!afterSeparator) {
      words += " and ";
      afterSeparator = true;
    }
  }
  return "\"" + platform::EscapeForQuotes(words) + "\"";
}

std::string GrepCommandText(std::string_view searchString, SearchKind kind) {
  return " -G -V0 -Evesk -Ores_s " + GrepPattern(searchString) + std::string(FileOperand(kind));
}

std::optional<std::string> ReadGrepOutput(std::string_view path) {
  platform::files::File file = platform::files::Open(path, platform::files::kRead | platform::files::kRegularFile);
  if (!file.IsOpen()) return std::nullopt;
  platform::files::TextReader reader(file);
  std::string text;
  long characters = 0;
  while (characters < kResultMaxCharacters) {
    int c = reader.Next();
    // A read error ends the text as the end of the file does.
    if (c < 0) break;
    ++characters;
    if (c == '\n')
      text += "\r\n";
    else if (c != '\0')
      text += static_cast<char>(c);
  }
  file.Close();
  if (characters < kResultMaxCharacters) return text;
  static const std::string notice =
      platform::text::Cp932("\r\n＊＊＊ 検索結果が多すぎますので、切り捨てます。＊＊＊\r\n\r\n");
  return notice + text;
}

GrepSearchOutcome RunGrepSearch(std::string_view commandText) {
  static const std::string program = "qgrep.exe";
  static const std::string output = "res_s";
  // The grep program's exit status for a search it could not do.
  constexpr int kGrepFailed = 2;
  // A missing file is the usual case; any other failure shows when qgrep
  // cannot write its file either.
  platform::files::Remove(output);
  platform::ChildEnd end = platform::StartAndWaitForErrors(program, {program, std::string(commandText)});
  GrepSearchOutcome outcome;
  if (end.status == kGrepFailed) {
    outcome.failure = BoxLine(end.errorOutput);
    if (outcome.failure.empty())
      outcome.failure = platform::text::Cp932("qgrep は検索できませんでした。（終了コード 2）");
    return outcome;
  }
  outcome.result = ReadGrepOutput(output);
  return outcome;
}

}  // namespace search::ui
