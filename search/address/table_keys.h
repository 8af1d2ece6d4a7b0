// Keys the address table makes both while loading and while looking up:
// a name within its city, a reading, an office's name. Inside the table's
// two files only.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace address {

// The key of one city and a name inside it: the city's id in four bytes,
// then the name's key.
std::string InCity(uint32_t city, std::string_view key);

// The key of a reading, up to its bracket: "ﾐﾅﾐ1ｼﾞｮｳﾆｼ(1-19ﾁｮｳﾒ)" and the
// UTF-8 edition's "ミナミ１ジョウニシ（１−１９チョウメ）" -> ミナミ1ジヨウニシ.
std::string ReadingKey(std::string_view cp932);

// An office's name as a key, without the words for its legal form, which
// people leave out or abbreviate: 株式会社 日本経済新聞社 is 日本経済新聞社.
std::string NameKey(std::string_view key);

}  // namespace address
