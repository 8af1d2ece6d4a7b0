// The marquee's texts: the title prefix and the twenty messages, CP932,
// each message in a zero-padded slot of 300 bytes. Holds the texts only;
// which one runs through the title when is the Marquee's business.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace search::ui {

inline constexpr std::size_t kMarqueeMessageCount = 20;
inline constexpr std::size_t kMarqueeSlotBytes = 300;

using MarqueeSlot = std::array<char, kMarqueeSlotBytes>;

// The twenty messages; a text fills its slot up to 299 bytes and a NUL.
const std::array<MarqueeSlot, kMarqueeMessageCount>& MarqueeMessages();

// A slot's text, up to its first NUL.
std::string SlotText(const MarqueeSlot& slot);

// The title's fixed beginning: the credit line and eight blanks, 56 bytes.
const std::string& MarqueePrefix();

}  // namespace search::ui
