#include "search/engine/search_state.h"

#include <algorithm>  // std::min, std::copy_n, std::find

namespace search::engine {
namespace {

// The bound fields with their members, names and limits, in transfer order.
struct Binding {
  Field field;
  std::string SearchState::*member;
  std::string_view name;
  size_t maxBytes;  // 0: not checked
};

constexpr Binding kBindings[] = {
    {Field::kDetailFirstLetter, &SearchState::DetailFirstLetter, "DetailFirstLetter", kLetterMaxBytes},
    {Field::kDetailSecondLetter, &SearchState::DetailSecondLetter, "DetailSecondLetter", kLetterMaxBytes},
    {Field::kPrefectureLetter, &SearchState::PrefectureLetter, "PrefectureLetter", kLetterMaxBytes},
    {Field::kWardLetter, &SearchState::WardLetter, "WardLetter", kLetterMaxBytes},
    {Field::kCityLetter, &SearchState::CityLetter, "CityLetter", kLetterMaxBytes},
    {Field::kRoughTownLetter, &SearchState::RoughTownLetter, "RoughTownLetter", kLetterMaxBytes},
    {Field::kNarrowingString, &SearchState::NarrowingString, "NarrowingString", 0},
    {Field::kResultText, &SearchState::ResultText, "ResultText", kResultMaxBytes},
};

}  // namespace

void SetTime(std::array<char, 15>& field, const std::string& timeOfDay) {
  field.fill('\0');
  size_t n = std::min(timeOfDay.size(), field.size() - 1);
  std::copy_n(timeOfDay.begin(), n, field.begin());
}

std::string TimeText(const std::array<char, 15>& field) {
  return std::string(field.data(), std::find(field.begin(), field.end(), '\0'));
}

std::string_view FieldName(Field field) {
  for (const Binding& b : kBindings)
    if (b.field == field) return b.name;
  return {};
}

void ShowState(const SearchState& state, DialogSide& dialog) {
  for (const Binding& b : kBindings) dialog.SetFieldText(b.field, state.*b.member);
}

bool ReadBackState(SearchState& state, DialogSide& dialog) {
  for (const Binding& b : kBindings) {
    state.*b.member = dialog.FieldText(b.field);
    if (b.maxBytes != 0 && (state.*b.member).size() > b.maxBytes) {
      dialog.ReportTooLong(b.field, b.maxBytes);
      return false;
    }
  }
  return true;
}

void NormaliseBlankLetters(SearchState& state) {
  for (std::string* letter : {&state.DetailFirstLetter, &state.DetailSecondLetter, &state.PrefectureLetter,
                              &state.WardLetter, &state.CityLetter, &state.RoughTownLetter}) {
    if (*letter == " ") letter->clear();
  }
}

void SetStatus(DialogSide& dialog, const std::string& text) { dialog.SetStatusCaption(text); }

void SetPageLabel(DialogSide& dialog, const std::string& text) { dialog.SetPageCaption(text); }

}  // namespace search::engine
