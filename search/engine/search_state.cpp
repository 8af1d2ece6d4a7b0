#include "search/engine/search_state.h"

#include <algorithm>  // std::min

#include "platform/text/cp932.h"

namespace search::engine {
namespace {

// The bound fields with their controls and limits, in transfer order.
struct Binding {
  std::string SearchState::*field;
  int controlId;
  size_t maxCharacters;  // 0: not checked
};

constexpr Binding kBindings[] = {
    {&SearchState::DetailFirstLetter, kDetailFirstLetterEdit, kLetterMaxCharacters},
    {&SearchState::DetailSecondLetter, kDetailSecondLetterEdit, kLetterMaxCharacters},
    {&SearchState::PrefectureLetter, kPrefectureLetterEdit, kLetterMaxCharacters},
    {&SearchState::WardLetter, kWardLetterEdit, kLetterMaxCharacters},
    {&SearchState::CityLetter, kCityLetterEdit, kLetterMaxCharacters},
    {&SearchState::RoughTownLetter, kRoughTownLetterEdit, kLetterMaxCharacters},
    {&SearchState::NarrowingString, kNarrowingEdit, 0},
    {&SearchState::ResultText, kResultEdit, kResultMaxCharacters},
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

size_t CharacterCount(const std::string& cp932) {
  size_t count = 0;
  for (size_t i = 0; i < cp932.size(); ++count)
    i += static_cast<size_t>(platform::text::Cp932CharLength(static_cast<unsigned char>(cp932[i])));
  return count;
}

void ShowState(const SearchState& state, DialogSide& dialog) {
  for (const Binding& b : kBindings) dialog.SetControlText(b.controlId, state.*b.field);
}

bool ReadBackState(SearchState& state, DialogSide& dialog) {
  for (const Binding& b : kBindings) {
    state.*b.field = dialog.ControlText(b.controlId);
    if (b.maxCharacters != 0 && CharacterCount(state.*b.field) > b.maxCharacters) {
      dialog.ReportTooLong(b.controlId, b.maxCharacters);
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
