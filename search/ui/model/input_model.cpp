#include "search/ui/model/input_model.h"

namespace search::ui {

using engine::Field;

InputModel::InputModel(engine::SearchState& state) : state_(state) {}

void InputModel::ResetTarget() {
  mode_ = InputMode::kLeft;
  left_ = LeftTarget::kPrefectureLetter;
  right_ = RightTarget::kDetailFirstLetter;
}

std::string& InputModel::TargetField() {
  if (mode_ == InputMode::kRight) {
    switch (right_) {
      case RightTarget::kDetailFirstLetter: return state_.DetailFirstLetter;
      case RightTarget::kDetailSecondLetter: return state_.DetailSecondLetter;
      case RightTarget::kNarrowingString: return state_.NarrowingString;
    }
  }
  switch (left_) {
    case LeftTarget::kPrefectureLetter: return state_.PrefectureLetter;
    case LeftTarget::kCityLetter: return state_.CityLetter;
    case LeftTarget::kWardLetter: return state_.WardLetter;
    case LeftTarget::kRoughTownLetter: return state_.RoughTownLetter;
  }
  return state_.PrefectureLetter;
}

InputModel::Refresh InputModel::EnterKey(char key) {
  if (mode_ == InputMode::kRight && right_ == RightTarget::kNarrowingString) {
    state_.NarrowingString += key;
    return Refresh::kStateAndSelectors;
  }
  TargetField() = std::string(1, key);
  if (mode_ == InputMode::kRight) {
    right_ =
        right_ == RightTarget::kDetailFirstLetter ? RightTarget::kDetailSecondLetter : RightTarget::kNarrowingString;
    return Refresh::kStateAndSelectors;
  }
  // A place has a ward or a rough town, never both: storing one empties
  // the other.
  switch (left_) {
    case LeftTarget::kPrefectureLetter: left_ = LeftTarget::kCityLetter; break;
    case LeftTarget::kCityLetter: left_ = LeftTarget::kWardLetter; break;
    case LeftTarget::kWardLetter:
      left_ = LeftTarget::kRoughTownLetter;
      state_.RoughTownLetter.clear();
      break;
    case LeftTarget::kRoughTownLetter:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kDetailFirstLetter;
      state_.WardLetter.clear();
      break;
  }
  return Refresh::kStateAndSelectors;
}

InputModel::Refresh InputModel::Skip() {
  if (mode_ == InputMode::kRight) {
    // The narrowing string is the last field: skipping there keeps both
    // targets. Left mode then goes on where the user left it, as its
    // selector shows, rather than taking keys into no field at all.
    if (right_ == RightTarget::kDetailFirstLetter)
      right_ = RightTarget::kDetailSecondLetter;
    else if (right_ == RightTarget::kDetailSecondLetter)
      right_ = RightTarget::kNarrowingString;
    return Refresh::kStateAndSelectors;
  }
  switch (left_) {
    case LeftTarget::kPrefectureLetter: left_ = LeftTarget::kCityLetter; break;
    case LeftTarget::kCityLetter: left_ = LeftTarget::kWardLetter; break;
    case LeftTarget::kWardLetter: left_ = LeftTarget::kRoughTownLetter; break;
    case LeftTarget::kRoughTownLetter:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kDetailFirstLetter;
      break;
  }
  return Refresh::kStateAndSelectors;
}

InputModel::Refresh InputModel::Back() {
  if (mode_ == InputMode::kRight) {
    switch (right_) {
      case RightTarget::kDetailFirstLetter:
        // Back from the town goes to the rough town, even after a ward.
        mode_ = InputMode::kLeft;
        left_ = LeftTarget::kRoughTownLetter;
        break;
      case RightTarget::kDetailSecondLetter: right_ = RightTarget::kDetailFirstLetter; break;
      case RightTarget::kNarrowingString: right_ = RightTarget::kDetailSecondLetter; break;
    }
    return Refresh::kStateAndSelectors;
  }
  switch (left_) {
    case LeftTarget::kPrefectureLetter: break;
    case LeftTarget::kCityLetter: left_ = LeftTarget::kPrefectureLetter; break;
    case LeftTarget::kWardLetter: left_ = LeftTarget::kCityLetter; break;
    case LeftTarget::kRoughTownLetter: left_ = LeftTarget::kWardLetter; break;
  }
  return Refresh::kStateAndSelectors;
}

InputModel::Refresh InputModel::DeleteLastCharacter() {
  if (!state_.NarrowingString.empty()) state_.NarrowingString.pop_back();
  return Refresh::kStateAndSelectors;
}

InputModel::Refresh InputModel::ClearSelection() {
  state_.PrefectureLetter.clear();
  state_.WardLetter.clear();
  state_.CityLetter.clear();
  state_.RoughTownLetter.clear();
  state_.DetailFirstLetter.clear();
  state_.DetailSecondLetter.clear();
  state_.NarrowingString.clear();
  ResetTarget();
  return Refresh::kStateAndSelectors;
}

InputModel::Refresh InputModel::FocusField(Field field) {
  switch (field) {
    case Field::kPrefectureLetter:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kPrefectureLetter;
      break;
    case Field::kCityLetter:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kCityLetter;
      break;
    case Field::kWardLetter:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kWardLetter;
      state_.RoughTownLetter.clear();
      break;
    case Field::kRoughTownLetter:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kRoughTownLetter;
      state_.WardLetter.clear();
      break;
    case Field::kDetailFirstLetter:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kDetailFirstLetter;
      break;
    case Field::kDetailSecondLetter:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kDetailSecondLetter;
      break;
    case Field::kNarrowingString:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kNarrowingString;
      break;
    case Field::kResultText: return Refresh::kSelectors;
  }
  return Refresh::kStateAndSelectors;
}

InputModel::Refresh InputModel::ClickSelector(Selector selector) {
  switch (selector) {
    case Selector::kLeftMode: mode_ = InputMode::kLeft; break;
    case Selector::kRightMode: mode_ = InputMode::kRight; break;
    case Selector::kPrefecture:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kPrefectureLetter;
      break;
    case Selector::kCity:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kCityLetter;
      break;
    case Selector::kWard:
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kWardLetter;
      state_.RoughTownLetter.clear();
      return Refresh::kStateAndSelectors;
    case Selector::kRoughTown:
      // A click on a selector says "my next key goes here", as it does for
      // the other three left-hand selectors and for focusing the rough
      // town's edit box: so left mode, and the next key becomes the rough
      // town's letter (and then moves on to the town by itself).
      mode_ = InputMode::kLeft;
      left_ = LeftTarget::kRoughTownLetter;
      state_.WardLetter.clear();
      return Refresh::kStateAndSelectors;
    case Selector::kDetailFirst:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kDetailFirstLetter;
      break;
    case Selector::kDetailSecond:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kDetailSecondLetter;
      break;
    case Selector::kNarrowing:
      mode_ = InputMode::kRight;
      right_ = RightTarget::kNarrowingString;
      break;
  }
  return Refresh::kSelectors;
}

SelectorChecks InputModel::Checks() const {
  SelectorChecks checks{};
  checks.mode = mode_ == InputMode::kLeft ? Selector::kLeftMode : Selector::kRightMode;
  switch (left_) {
    case LeftTarget::kPrefectureLetter: checks.left = Selector::kPrefecture; break;
    case LeftTarget::kCityLetter: checks.left = Selector::kCity; break;
    case LeftTarget::kWardLetter: checks.left = Selector::kWard; break;
    case LeftTarget::kRoughTownLetter: checks.left = Selector::kRoughTown; break;
  }
  switch (right_) {
    case RightTarget::kDetailFirstLetter: checks.right = Selector::kDetailFirst; break;
    case RightTarget::kDetailSecondLetter: checks.right = Selector::kDetailSecond; break;
    case RightTarget::kNarrowingString: checks.right = Selector::kNarrowing; break;
  }
  return checks;
}

}  // namespace search::ui
