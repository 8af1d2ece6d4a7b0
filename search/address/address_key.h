// The key form of an address text: what the lookup compares, so that the
// ways people write one address give one key. Widths, kana forms, spaces,
// dashes and numerals are made uniform; nothing is taken out but spaces.
// Does not split an address into its parts: see address_table.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace address {

// The key of UTF-8 or CP932 text, in UTF-8:
//  - full-width ASCII becomes ASCII, letters upper case, spaces of any kind
//    go (one between two numbers stays, as " "), dashes and minus signs (and ー after a digit) become "-", wave
//    dashes "~";
//  - half-width katakana becomes full-width (a voiced mark joins its
//    letter), hiragana becomes katakana, small kana full-size, ヂ ヅ ヲ
//    become ジ ズ オ, and ヶ and ガ become ケ, as place names write
//    旭ケ丘, 旭ヶ丘 and 旭が丘 for one town;
//  - a run of kanji numerals becomes its value in digits (南一条 becomes
//    南1条, 二十三 23), and ノ between digits becomes "-".
std::string KeyOfUtf8(std::string_view utf8);
std::string KeyOfCp932(std::string_view cp932);

// What a number written in an address counts: 丁目, 番地 (or 番), 号, 地割,
// 線, 条, 区, 階; kDash for one followed by "-", kNone for a bare one.
enum class Unit : uint8_t { kNone, kDash, kChome, kBanchi, kGo, kChiwari, kSen, kJo, kKu, kFloor };

// The numbers at the start of a key, as in "5丁目3番2号", "5-3-2", "第10地割6",
// "131番地": up to four values with the unit each is written with.
struct WrittenNumbers {
  int count = 0;
  int32_t values[4] = {};
  Unit units[4] = {};
  size_t length = 0;  // bytes of the key they take
};
WrittenNumbers ReadNumbers(std::string_view key);

// The unit a key starts with, and its length in bytes (0 when none).
Unit ReadUnit(std::string_view key, size_t& length);

// A floor written in a key ("20階", "20F", "地下1階", "B1F"): the floor,
// kBasement, or kNoFloor.
inline constexpr int kNoFloor = -1000;
inline constexpr int kBasement = -1;
int FindFloor(std::string_view key);

}  // namespace address
