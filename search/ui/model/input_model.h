// The kana keypad's input model: which query field of the SearchState the
// next key goes to, and how that target moves after each key, skip, back,
// clear, focus change and selector click. Writes the query fields and
// nothing else; it shows nothing and knows no control: the main dialog
// forwards each event as one call, then shows what the call's Refresh asks
// for, the selectors from Checks().
#pragma once

#include "search/engine/dialog_side.h"
#include "search/engine/search_state.h"

namespace search::ui {

// Which side of the query the keypad writes.
enum class InputMode { kLeft, kRight };

// The field a key goes to in left mode. There is always one: no operation
// leaves the left side without a target (a skip on the narrowing string
// keeps it), so one left-hand selector is always checked.
enum class LeftTarget { kPrefectureLetter, kCityLetter, kWardLetter, kRoughTownLetter };

// The field a key goes to in right mode.
enum class RightTarget { kDetailFirstLetter, kDetailSecondLetter, kNarrowingString };

// The nine radio buttons that show the input target: the two mode
// selectors (one group), the four left-hand selectors (one group) and the
// three right-hand ones (one group).
enum class Selector {
  kLeftMode,
  kRightMode,
  kPrefecture,
  kCity,
  kWard,
  kRoughTown,
  kDetailFirst,
  kDetailSecond,
  kNarrowing,
};

// The checked selector of each of the three groups.
struct SelectorChecks {
  Selector mode;
  Selector left;
  Selector right;
  bool operator==(const SelectorChecks&) const = default;
};

class InputModel {
 public:
  // What the dialog shows after an operation. The selectors are always
  // shown from Checks(); kStateAndSelectors asks for ShowState first.
  enum class Refresh { kSelectors, kStateAndSelectors };

  // Works on `state`, which must outlive the model. Starts in the initial
  // target: left mode, prefecture on the left, detailed first letter on the
  // right.
  explicit InputModel(engine::SearchState& state);

  // Back to the initial target; no field changes (dialog initialisation).
  void ResetTarget();

  // A keypad key passing the byte `key`: stored into the current target (a
  // letter replaced, the narrowing string appended to), then the target
  // moves on.
  Refresh EnterKey(char key);
  // "スキップ": the target moves on, nothing is stored.
  Refresh Skip();
  // "前入力へ": the target moves one step back, nothing is stored.
  Refresh Back();
  // "文字列ー１文字": the narrowing string loses its last byte.
  Refresh DeleteLastCharacter();
  // "選択ボタンのクリア": the seven query fields emptied, the initial target.
  // The result box and the pages keep their text.
  Refresh ClearSelection();
  // A query field's edit box got the keyboard focus: that field becomes the
  // target. The result box is no query field and changes nothing.
  Refresh FocusField(engine::Field field);
  // A selector was clicked (the platform has checked it in its group).
  Refresh ClickSelector(Selector selector);

  InputMode Mode() const { return mode_; }
  LeftTarget Left() const { return left_; }
  RightTarget Right() const { return right_; }

  // The selectors to check: the mode and both targets.
  SelectorChecks Checks() const;

 private:
  // The field of the current target.
  std::string& TargetField();

  engine::SearchState& state_;
  InputMode mode_ = InputMode::kLeft;
  LeftTarget left_ = LeftTarget::kPrefectureLetter;
  RightTarget right_ = RightTarget::kDetailFirstLetter;
};

}  // namespace search::ui
