// What the address dialog shows and does, without the dialog: the postal
// data loaded once from the current directory (KEN_ALL.CSV and
// JIGYOSYO.CSV, the files the regular-expression search reads), the
// candidates of the last search and which one is chosen. Texts are CP932.
// The lookup itself is search/address.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/address/address_table.h"

namespace search::ui {

class AddressSearch {
 public:
  // Loads the data at the first call; later calls return at once. False,
  // with `error` (CP932, naming the file), when a file cannot be read.
  bool Load(std::string& error);

  // Looks the written address up; the first candidate becomes the chosen one.
  void Search(std::string_view cp932);

  // Moves the choice by `step` candidates, staying within the list.
  void Choose(int step);

  // One line per candidate ("→" before the chosen one), CR LF between,
  // or a line saying that nothing was found.
  std::string ResultText() const;
  // The chosen candidate's line, or empty.
  std::string ChosenText() const;
  // The chosen candidate's code, or empty.
  std::string ChosenCode() const;

 private:
  std::unique_ptr<address::AddressTable> table_;
  std::vector<address::Candidate> candidates_;
  size_t chosen_ = 0;
  bool searched_ = false;

  std::string Line(const address::Candidate& candidate) const;
};

}  // namespace search::ui
