// Where the keyboard focus goes and what a key does to a dialog's
// controls, decided from the template and the controls' state alone,
// before anything is drawn. Every backend turns its own input into a
// MoveKey or a click, asks these rules, and carries out what they decide:
// so Tab, the arrow keys and automatic buttons behave alike everywhere.
//
//  - A control takes the focus when it has an ID, is enabled and visible,
//    and is a push button, radio button, check box or edit. A blank key of
//    a keypad is disabled, so it never does.
//  - Tab and Shift+Tab go to the next (previous) control with kTabStop
//    that takes the focus, in template order from the focused control,
//    round the end; with no focus, to the first (last) one.
//  - The arrow keys on a radio button go to the next (Down, Right) or
//    previous (Up, Left) member of its group that takes the focus, round
//    the end, and click it when it is automatic. On a push button they go
//    to the nearest push button in that direction, measured in dialog
//    units (a keypad is a grid). On anything else the control keeps them.
//  - A click on an automatic radio button checks it and clears the rest
//    of its group; one on an automatic check box flips it.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "platform/dialog/template.h"

namespace platform::dialog {

class Dialog;

// What the rules read of one control: its template and the state the
// program and the user gave it. Backends that keep the state themselves
// keep it in this record.
struct ControlState {
  const ControlTemplate* tmpl = nullptr;
  int check = 0;
  bool enabled = true;
  bool visible = true;

  // The state the template gives: enabled and visible unless its style
  // says otherwise, unchecked.
  static ControlState FromTemplate(const ControlTemplate& t);
  // Sets the check of a radio button or check box (any non-zero is 1);
  // other kinds have none.
  void SetCheck(int state);
};

// The keys that move the focus.
enum class MoveKey { kTab, kBackTab, kLeft, kRight, kUp, kDown };

// What a MoveKey does.
struct FocusMove {
  bool taken = false;       // false: the focused control keeps the key (an edit's caret)
  int target = kNoId;       // the control the focus goes to; kNoId: it stays
  bool selectText = false;  // reached by a tab stop: an edit's text is selected
  bool click = false;       // the target is clicked on arrival (an automatic radio button)
};

// A check that a click sets.
struct CheckChange {
  int id = kNoId;
  int check = 0;
};

class WindowRules {
 public:
  // The state of the index-th control of the template.
  using StateAt = std::function<ControlState(std::size_t index)>;

  WindowRules(const DialogTemplate& tmpl, StateAt state);

  bool TakesFocus(int id) const;
  // The first control that Tab would stop at, or kNoId.
  int FirstTabStop() const;
  // Where Tab (Shift+Tab with `backwards`) goes from `focus`; kNoId when
  // no control is a tab stop. The focused control itself when it is the only one.
  int NextTabStop(int focus, bool backwards) const;
  // What `key` does with the focus on `focus`.
  FocusMove Move(int focus, MoveKey key) const;
  // The checks that a click on control `id` sets, when it is automatic.
  std::vector<CheckChange> ChecksOnClick(int id) const;

 private:
  int IndexOf(int id) const;
  bool TakesFocusAt(std::size_t index) const;
  int RadioNeighbour(int from, bool forward) const;
  int ButtonNeighbour(int from, MoveKey direction) const;

  const DialogTemplate& tmpl_;
  StateAt state_;
};

// The push button a window shows as the default one: the dialog's while
// it is attached (DialogEvents::DefaultButton), after its run the
// template's kDefault button, or kNoId.
int ShownDefaultButton(const DialogTemplate& tmpl, const Dialog* attached);

}  // namespace platform::dialog
