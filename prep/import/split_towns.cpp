#include "prep/import/split_towns.h"

#include "platform/text/cp932.h"
#include "prep/import/postal_row.h"

namespace prep::import {

namespace {

constexpr size_t kCity = 4;  // field 5
constexpr size_t kTown = 5;  // field 6

// Opening minus closing full-width parentheses, character by character, so
// that a trail byte never passes for a lead byte.
int ParenthesisBalance(std::string_view cp932) {
  int balance = 0;
  for (size_t i = 0; i < cp932.size();) {
    auto b = static_cast<unsigned char>(cp932[i]);
    if (platform::text::Cp932CharLength(b) == 2 && i + 1 < cp932.size()) {
      auto t = static_cast<unsigned char>(cp932[i + 1]);
      if (b == 0x81 && t == 0x69) ++balance;  // （
      if (b == 0x81 && t == 0x6A) --balance;  // ）
      i += 2;
    } else {
      ++i;
    }
  }
  return balance;
}

}  // namespace

bool OpensParenthesis(std::string_view cp932) { return ParenthesisBalance(cp932) > 0; }

void SplitTownJoiner::Close(std::vector<Row>& ready) {
  if (rows_ > 1) {
    ++townsJoined_;
    rowsJoined_ += rows_;
  }
  ready.push_back(std::move(town_));
  pending_ = false;
}

void SplitTownJoiner::Add(Row row, std::vector<Row>& ready) {
  if (pending_) {
    bool continues = row.fields[kPostalCode] == town_.fields[kPostalCode] && row.fields[kCity] == town_.fields[kCity];
    if (continues) {
      town_.fields[kTownKanji] += row.fields[kTownKanji];
      // A reading that only repeats the first row's is not added again.
      if (row.fields[kTown] != firstReading_) town_.fields[kTown] += row.fields[kTown];
      ++rows_;
      if (!OpensParenthesis(town_.fields[kTownKanji])) Close(ready);
      return;
    }
    // The town never closed its parenthesis: it is kept as it stands.
    ++townsLeftOpen_;
    Close(ready);
  }
  if (OpensParenthesis(row.fields[kTownKanji])) {
    town_ = std::move(row);
    firstReading_ = town_.fields[kTown];
    rows_ = 1;
    pending_ = true;
    return;
  }
  ready.push_back(std::move(row));
}

void SplitTownJoiner::Finish(std::vector<Row>& ready) {
  if (!pending_) return;
  ++townsLeftOpen_;
  Close(ready);
}

}  // namespace prep::import
