// Searches an index file of any bytes through the search engine, as the
// search button does: "Result_Tmp" is a byte copy of it; every page shown
// is the page a model cut worked out here gives of the display form of
// exactly the records that fit (every non-empty line is a record; its first
// five comma-separated fields count): cuts at each multiple of the page
// size, or a byte before where a two-byte character would be split; pages
// past the fourth are not shown, and each of them costs exactly one
// warning; the search counts as complete. The input's first byte, when
// above 0x7F, is the narrowing text; the rest is the index file. Inputs
// run to over four pages (scripts/fuzz.sh gives this fuzzer a -max_len of
// its own).
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files/file.h"
#include "search/engine/dialog_side.h"
#include "search/engine/search_session.h"
#include "search/engine/search_state.h"
#include "search/engine/settings_file.h"

namespace {

namespace engine = search::engine;

class SilentDialog : public engine::DialogSide {
 public:
  void SetFieldText(engine::Field field, const std::string& text) override { fields_[field] = text; }
  std::string FieldText(engine::Field field) override { return fields_[field]; }
  void ReportTooLong(engine::Field, size_t) override {}
  void SetStatusCaption(const std::string&) override {}
  void SetPageCaption(const std::string&) override {}
  void MessageBox(const std::string&, const std::string&) override { ++boxes; }
  int boxes = 0;

 private:
  std::map<engine::Field, std::string> fields_;
};

// The display text of the records that fit, worked out here apart from the
// engine: prefecture, city, code and town on one line, the kanji below.
std::string ExpectedText(std::string_view file, std::string_view narrowing) {
  std::string text;
  for (size_t start = 0; start < file.size();) {
    size_t end = file.find('\n', start);
    if (end == std::string_view::npos) end = file.size();
    std::string_view line = file.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    std::vector<std::string_view> f;
    for (size_t from = 0; f.size() < 5;) {
      size_t comma = line.find(',', from);
      f.push_back(line.substr(from, comma == std::string_view::npos ? std::string_view::npos : comma - from));
      if (comma == std::string_view::npos) break;
      from = comma + 1;
    }
    f.resize(5);
    if (f[0].find(narrowing) == std::string_view::npos) continue;
    text.append(f[1]).append(" (^O^) ").append(f[3]).append(" (^O^)=>>> ").append(f[2]);
    text.append(" <<=(^O^) ").append(f[0]).append("\r\n(").append(f[4]).append(")\r\n");
  }
  return text;
}

// The pages of a display text: cut at every multiple of the page size, or
// a byte before it where the cut would fall inside a two-byte character;
// one page more than whole pages fit (the last may be empty), and one page
// for a text shorter than a page.
std::vector<std::string> Pages(const std::string& text) {
  constexpr size_t kPage = engine::kPageBytes;
  size_t count = text.size() < kPage ? 1 : text.size() / kPage + 1;
  std::vector<std::string> pages;
  size_t from = 0;
  size_t at = 0;  // a character boundary, walked from the start
  for (size_t k = 1; k <= count; ++k) {
    size_t cut = text.size();
    if (k < count) {
      while (at < k * kPage) at += fuzz::Cp932CharAt(text, at);
      cut = at == k * kPage ? at : k * kPage - 1;
    }
    pages.push_back(text.substr(from, cut - from));
    from = cut;
  }
  return pages;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  // The data directory "Zip_Code\" and the city directory ｻ.
  FUZZ_CHECK(engine::WriteSettings("Zip_Code\\"));
  FUZZ_CHECK(platform::files::MakeDirectory("Zip_Code") == 0);
  FUZZ_CHECK(platform::files::MakeDirectory("Zip_Code\\N_\xBB") == 0);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string narrowing = data[0] >= 0x80 ? std::string(1, static_cast<char>(data[0])) : "";
  std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
  fuzz::WriteFile("Zip_Code/N_\uFF7B/\uFF90\uFF85.Idx", file);  // ﾐﾅ

  SilentDialog dialog;
  engine::SearchSession session(dialog);
  session.InitialiseDialog();
  engine::SearchState& state = session.State();
  state.CityLetter = "\xBB";          // ｻ
  state.DetailFirstLetter = "\xD0";   // ﾐ
  state.DetailSecondLetter = "\xC5";  // ﾅ
  state.NarrowingString = narrowing;
  session.ShowState();
  session.StartSearch();

  FUZZ_CHECK(session.IncompleteReason().empty());
  std::string text = ExpectedText(file, narrowing);
  if (text.empty()) {
    // Nothing fits, and the rest file ｲｶ that a re-search reads is missing.
    for (size_t k = 1; k <= 4; ++k) FUZZ_CHECK(state.PageText[k].empty());
    return 0;
  }
  FUZZ_CHECK(fuzz::ReadFile("Result_Tmp") == file);
  std::vector<std::string> pages = Pages(text);
  for (size_t k = 1; k <= 4; ++k) FUZZ_CHECK(state.PageText[k] == (k <= pages.size() ? pages[k - 1] : ""));
  FUZZ_CHECK(dialog.boxes == (pages.size() > 4 ? static_cast<int>(pages.size()) - 4 : 0));
  FUZZ_CHECK(state.ResultText == state.PageText[1]);
  return 0;
}
