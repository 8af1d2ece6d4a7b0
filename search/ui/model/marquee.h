// The title-bar marquee: at each timer tick, the next window onto one of
// the twenty messages, behind the fixed prefix. Picks a message at random
// (the generator in force, seeded from the clock in force at every pick),
// lets it grow to 99 bytes, then slides it along until 46 bytes are left.
// The window moves by bytes; what it shows is the whole characters inside
// it, so a title never starts on a trail byte or ends on a lead byte.
// Returns the title; setting it on the active window is the dialog's job.
// The main dialog holds one Marquee for the program's life.
#pragma once

#include <cstddef>
#include <string>

namespace search::ui {

class Marquee {
 public:
  // One tick: the prefix followed by the marquee text, CP932. Positions are
  // bytes; a two-byte character that a window edge splits is left out.
  std::string MarqueeTick();

  // The part of the message shown at the last tick.
  const std::string& Text() const { return text_; }

  // The message being shown, 0 to 19.
  int MessageIndex() const { return messageIndex_; }

  // True when the next tick picks a new message.
  bool PickNext() const { return pickNext_ != 0; }

 private:
  void Pick();

  int pickNext_ = 1;
  int messageIndex_ = 0;
  std::size_t windowStart_ = 0;
  std::size_t windowEnd_ = 0;  // ticks of the current message so far
  std::string text_;
};

}  // namespace search::ui
