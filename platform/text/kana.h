// Half-width kana helpers. The system spells every reading in half-width
// katakana (one CP932 byte a letter, voiced marks as bytes of their own).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::text {

// UTF-8 text to CP932 with every character that has a half-width form
// written half-width: katakana and hiragana (ガ becomes ｶﾞ, two bytes; small
// kana stay small: ッ becomes ｯ; ヰ ヱ become ｲ ｴ), the long vowel mark,
// 、。「」・ ゛゜, the ideographic space and the full-width ASCII forms (（ becomes
// "("). Other characters are converted as they stand. Nothing when the text
// is not valid UTF-8 or a character has no CP932 form.
std::optional<std::string> ToHalfWidth(std::string_view utf8);

// CP932 text with the small half-width kana ｧｨｩｪｫｬｭｮｯ written full-size as
// ｱｲｳｴｵﾔﾕﾖﾂ. Two-byte characters are left alone, whatever their trail byte.
std::string ToFullSizeKana(std::string_view cp932);

}  // namespace platform::text
