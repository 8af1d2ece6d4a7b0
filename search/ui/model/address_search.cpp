#include "search/ui/model/address_search.h"

#include "platform/text/cp932.h"
#include "search/address/data_file.h"

namespace search::ui {
namespace {

using address::MatchKind;

// The file of one of these names in the current directory, as it stands.
// `error` says why the first could not be read.
bool ReadEither(std::initializer_list<const char*> names, std::string& bytes, std::string& error) {
  std::string why;
  for (const char* name : names) {
    if (address::ReadDataFile(name, bytes, why)) return true;
    if (error.empty()) error = why;
  }
  return false;
}

}  // namespace

bool AddressSearch::Load(std::string& error) {
  if (table_) return true;
  auto table = std::make_unique<address::AddressTable>();
  std::string bytes, why;
  address::LoadReport report;
  if (!ReadEither({"KEN_ALL.CSV", "ken_all.csv"}, bytes, why) || !table->AddAreas(bytes, report, why)) {
    error = platform::text::Cp932("住所データ KEN_ALL.CSV を読めません。\r\n") +
            platform::text::ToCp932Strict(why).value_or("");
    return false;
  }
  // Without the offices' file the areas are still found.
  if (ReadEither({"JIGYOSYO.CSV", "jigyosyo.csv"}, bytes, why)) table->AddOffices(bytes, report, why);
  table_ = std::move(table);
  return true;
}

void AddressSearch::Search(std::string_view cp932) {
  candidates_ = table_ ? table_->LookupCp932(cp932) : std::vector<address::Candidate>{};
  chosen_ = 0;
  searched_ = true;
}

void AddressSearch::Choose(int step) {
  if (candidates_.empty()) return;
  long chosen = static_cast<long>(chosen_) + step;
  if (chosen < 0) chosen = 0;
  if (chosen >= static_cast<long>(candidates_.size())) chosen = static_cast<long>(candidates_.size()) - 1;
  chosen_ = static_cast<size_t>(chosen);
}

std::string AddressSearch::Line(const address::Candidate& c) const {
  static const std::string kExact = platform::text::Cp932("一致");
  static const std::string kTown = platform::text::Cp932("町域まで（番地で分かれます）");
  static const std::string kCity = platform::text::Cp932("市区町村のみ");
  static const std::string kOffice = platform::text::Cp932("事業所");
  const std::string& kind = !c.office.empty()             ? kOffice
                            : c.kind == MatchKind::kExact ? kExact
                            : c.kind == MatchKind::kTown  ? kTown
                                                          : kCity;
  std::string line = c.code.substr(0, 3) + "-" + c.code.substr(3) + "  " + c.prefecture + c.city + c.town;
  if (!c.office.empty()) line += " " + c.office;
  return line + "  " + kind;
}

std::string AddressSearch::ResultText() const {
  if (!searched_) return {};
  if (candidates_.empty()) return platform::text::Cp932("該当する郵便番号が見つかりません。");
  static const std::string kMark = platform::text::Cp932("→ ");
  std::string text;
  for (size_t i = 0; i < candidates_.size(); ++i) {
    if (i > 0) text += "\r\n";
    text += i == chosen_ ? kMark : "   ";
    text += Line(candidates_[i]);
  }
  return text;
}

std::string AddressSearch::ChosenText() const {
  return candidates_.empty() ? std::string() : Line(candidates_[chosen_]);
}

std::string AddressSearch::ChosenCode() const {
  return candidates_.empty() ? std::string() : candidates_[chosen_].code;
}

}  // namespace search::ui
