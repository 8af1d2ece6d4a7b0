#include "search/ui/model/marquee.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/random.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "search/ui/model/marquee_messages.h"

namespace search::ui {
namespace {

using platform::text::Cp932;

std::string Message(int index) { return SlotText(MarqueeMessages()[static_cast<size_t>(index)]); }

// The first message whose length fits `fits`.
template <typename Fits>
int FindMessage(Fits fits) {
  for (int i = 0; i < static_cast<int>(kMarqueeMessageCount); ++i)
    if (fits(Message(i).size())) return i;
  ADD_FAILURE() << "no message of the length wanted";
  return 0;
}

// The whole characters among bytes [start, end) of a message, found by
// walking its characters from its first byte.
std::string WholeWindow(const std::string& message, size_t start, size_t end) {
  end = std::min(end, message.size());
  size_t at = 0;
  while (at < start) at += platform::text::Cp932CharLength(static_cast<unsigned char>(message[at]));
  size_t first = at;
  size_t last = at;
  while (at < end) {
    at += platform::text::Cp932CharLength(static_cast<unsigned char>(message[at]));
    if (at <= end) last = at;
  }
  return first < last ? message.substr(first, last - first) : std::string();
}

size_t TrailingBlanks(const std::string& text) {
  size_t last = text.find_last_not_of(' ');
  return last == std::string::npos ? text.size() : text.size() - last - 1;
}

TEST(MarqueeMessages, TwentyMessagesAndThePrefixKeepTheirLengths) {
  int withTab = 0;
  int endingInBlanks = 0;
  for (int i = 0; i < static_cast<int>(kMarqueeMessageCount); ++i) {
    const MarqueeSlot& slot = MarqueeMessages()[static_cast<size_t>(i)];
    std::string text = Message(i);
    EXPECT_GE(text.size(), 47u) << i << ": a shorter message would never be shown";
    EXPECT_LE(text.size(), 202u) << i;
    EXPECT_TRUE(std::all_of(slot.begin() + static_cast<long>(text.size()), slot.end(), [](char c) { return c == 0; }))
        << i << ": the slot is zero-padded";
    EXPECT_TRUE(platform::text::ToUtf8Strict(text)) << i << ": every byte forms a CP932 character";
    if (text.find('\t') != std::string::npos) ++withTab;
    size_t blanks = TrailingBlanks(text);
    if (blanks >= 6 && blanks <= 12) ++endingInBlanks;
  }
  EXPECT_EQ(withTab, 1);
  EXPECT_GT(endingInBlanks, static_cast<int>(kMarqueeMessageCount) / 2);

  const std::string& prefix = MarqueePrefix();
  ASSERT_EQ(prefix.size(), 56u);
  EXPECT_EQ(TrailingBlanks(prefix), 8u) << "a 48-byte credit line and eight blanks";
  EXPECT_NE(prefix.find(Cp932("yubin プロジェクト")), std::string::npos);
  EXPECT_NE(prefix.find(Cp932("郵便番号検索ソフト")), std::string::npos);
}

// Each case fixes the clock and the generator.
class MarqueeTest : public ::testing::Test {
 protected:
  platform::clock::FakeClock clock_;
  platform::random::FakeGenerator generator_;
  platform::ScopedOverride<platform::clock::Clock*> clockInForce_{platform::clock::ClockInForce(), &clock_};
  platform::ScopedOverride<platform::random::Generator*> generatorInForce_{platform::random::GeneratorInForce(),
                                                                           &generator_};
  Marquee marquee_;
};

TEST_F(MarqueeTest, AMessageGrowsThenSlidesUntil46BytesAreLeft) {
  const int longOne = FindMessage([](size_t length) { return length >= 100; });
  const int shortOne = FindMessage([](size_t length) { return length >= 47 && length < 100; });
  for (int index : {longOne, shortOne}) {
    SCOPED_TRACE(index);
    const std::string message = Message(index);
    const size_t length = message.size();
    generator_.SetDefaultDraws({index});
    const size_t seedsBefore = generator_.seeds.size();
    std::vector<std::string> titles;
    do {
      titles.push_back(marquee_.MarqueeTick());
      ASSERT_LT(titles.size(), 400u);
    } while (!marquee_.PickNext());

    ASSERT_EQ(titles.size(), 100 + (length - 46));
    EXPECT_EQ(generator_.seeds.size(), seedsBefore + 1) << "one pick for the whole message";
    // The window moves by bytes and shows the whole characters in it.
    for (size_t k = 0; k < 100; ++k) EXPECT_EQ(titles[k], MarqueePrefix() + WholeWindow(message, 0, k)) << k;
    for (size_t j = 1; j <= length - 46; ++j)
      EXPECT_EQ(titles[99 + j], MarqueePrefix() + WholeWindow(message, j, j + 99)) << j;
    EXPECT_EQ(marquee_.Text(), WholeWindow(message, length - 46, length));
  }
}

// A long run on the runtime's generator, a second passing every 13 ticks
// (75 ms each): every message reaches the title, and no title holds half a
// character (each converts whole, and begins where a character of its
// message begins).
TEST(MarqueeRun, EveryMessageIsShownAndNoTitleHoldsHalfACharacter) {
  platform::clock::FakeClock clock;
  platform::ScopedOverride<platform::clock::Clock*> clockInForce(platform::clock::ClockInForce(), &clock);
  platform::ScopedOverride<platform::random::Generator*> runtime(platform::random::GeneratorInForce(), nullptr);
  Marquee marquee;
  std::vector<bool> shown(kMarqueeMessageCount, false);
  int halves = 0;
  for (int tick = 0; tick < 300000 && std::count(shown.begin(), shown.end(), false) > 0; ++tick) {
    if (tick % 13 == 0) clock.Advance(1);
    std::string title = marquee.MarqueeTick();
    const std::string& text = marquee.Text();
    if (text.empty()) continue;
    shown[static_cast<size_t>(marquee.MessageIndex())] = true;
    const std::string message = Message(marquee.MessageIndex());
    size_t at = 0;
    while (at < message.size() && message.compare(at, text.size(), text) != 0)
      at += platform::text::Cp932CharLength(static_cast<unsigned char>(message[at]));
    if (!platform::text::ToUtf8Strict(title) || at >= message.size()) ++halves;
  }
  for (size_t i = 0; i < kMarqueeMessageCount; ++i) EXPECT_TRUE(shown[i]) << "message " << i << " never shown";
  EXPECT_EQ(halves, 0) << "titles with half a character";
}

TEST_F(MarqueeTest, DrawsAreTakenToFiveBitsAndThoseAbove19DrawnAgain) {
  for (int draw = 0; draw < 64; ++draw) {
    const unsigned second = static_cast<unsigned>(draw) + 1;
    generator_.SetDraws(second, {draw, 7});
    clock_.Advance(1);
    Marquee marquee;
    (void)marquee.MarqueeTick();
    const int low = draw % 32;
    EXPECT_EQ(marquee.MessageIndex(), low <= 19 ? low : 7) << "draw " << draw;
  }
}

TEST(MarqueeSeed, APickWithinTheSameSecondPicksTheSameMessage) {
  // The runtime's own generator: a pick that did not seed again would go
  // on along the sequence and pick another message.
  platform::clock::FakeClock clock;
  platform::ScopedOverride<platform::clock::Clock*> clockInForce(platform::clock::ClockInForce(), &clock);
  platform::ScopedOverride<platform::random::Generator*> runtime(platform::random::GeneratorInForce(), nullptr);
  for (int second = 0; second < 20; ++second) {
    clock.Advance(1);
    Marquee marquee;
    (void)marquee.MarqueeTick();
    const int first = marquee.MessageIndex();
    for (int tick = 0; tick < 400 && !marquee.PickNext(); ++tick) (void)marquee.MarqueeTick();
    ASSERT_TRUE(marquee.PickNext()) << "a message ends within 256 ticks";
    (void)marquee.MarqueeTick();
    EXPECT_EQ(marquee.MessageIndex(), first) << "second " << clock.Now();
  }
}

}  // namespace
}  // namespace search::ui
