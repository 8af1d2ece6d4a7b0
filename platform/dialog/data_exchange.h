// Moves a dialog's members to its controls and back, in the order the calls
// are made. Reading back checks lengths: the first field that is too long
// gets the platform's standard message naming the limit and the focus, keeps
// its member unchanged, and ends the exchange (later calls do nothing).
// Showing with a limit also limits what can be typed into the edit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform::dialog {

class Dialog;

inline constexpr std::size_t kNoLimit = 0;

class DataExchange {
 public:
  DataExchange(Dialog& dialog, bool save) : dialog_(dialog), save_(save) {}

  bool Saving() const { return save_; }
  bool Failed() const { return failed_; }

  // An edit's or a caption's text; `maxBytes` (kNoLimit: none) is checked
  // when reading back. Lengths count CP932 bytes.
  DataExchange& Text(int id, std::string& value, std::size_t maxBytes = kNoLimit);
  // A check box: 0 or 1.
  DataExchange& Check(int id, int& value);
  // A radio group given by its first button: the 0-based index of the checked
  // button, -1 for none.
  DataExchange& Radio(int firstId, int& index);

 private:
  Dialog& dialog_;
  bool save_;
  bool failed_ = false;
};

// The platform's standard message for a text over `maxBytes` (CP932).
std::string TooLongMessage(std::size_t maxBytes);

}  // namespace platform::dialog
