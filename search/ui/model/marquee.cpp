#include "search/ui/model/marquee.h"

#include <utility>  // std::move

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/text/cp932.h"
#include "search/ui/model/marquee_messages.h"

namespace search::ui {
namespace {

// The window grows to this many ticks (99 bytes) before it slides.
constexpr std::size_t kGrowTicks = 100;

// A message is done when fewer than this many bytes are left from the
// window's start: its last window shows 46 bytes.
constexpr std::size_t kMinimumRest = 47;

// The whole characters among `length` bytes of `text` from `start`: the
// window moves by bytes, but the title never shows half a character.
std::string Window(const std::string& text, std::size_t start, std::size_t length) {
  return std::string(platform::text::WholeCharacters(text, start, length));
}

}  // namespace

void Marquee::Pick() {
  // Seeded anew at every pick, so two picks within one second pick the
  // same message. The lowest five bits of a draw give 0 to 31; 20 to 31
  // name no message and are drawn again.
  platform::random::Seed(static_cast<unsigned>(platform::clock::Now()));
  int index = 0;
  do {
    index = platform::random::Draw() & 31;
  } while (index > static_cast<int>(kMarqueeMessageCount) - 1);
  messageIndex_ = index;
}

std::string Marquee::MarqueeTick() {
  if (pickNext_ != 0) Pick();
  const std::string message = SlotText(MarqueeMessages()[static_cast<std::size_t>(messageIndex_)]);
  std::string shown;
  if (windowEnd_ < kGrowTicks) {
    shown = Window(message, windowStart_, windowEnd_);
  } else {
    ++windowStart_;
    shown = Window(message, windowStart_, windowEnd_ - windowStart_);
  }
  ++windowEnd_;
  if (message.size() < windowStart_ + kMinimumRest) {
    pickNext_ = 1;
    windowStart_ = 0;
    windowEnd_ = 0;
  } else {
    pickNext_ = 0;
  }
  text_ = std::move(shown);
  return MarqueePrefix() + text_;
}

}  // namespace search::ui
