#include "search/address/address_key.h"

#include <limits>
#include <string_view>

#include "search/address/cp932_codec.h"

namespace address {
namespace {

// Half-width katakana U+FF66 to U+FF9D, full-width.
constexpr char16_t kFullKana[] =
    u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワン";

constexpr long long kNumeralCap = 1000000000000LL;

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }

int KanjiDigit(char32_t c) {
  switch (c) {
    case U'〇': return 0;
    case U'一': return 1;
    case U'二': return 2;
    case U'三': return 3;
    case U'四': return 4;
    case U'五': return 5;
    case U'六': return 6;
    case U'七': return 7;
    case U'八': return 8;
    case U'九': return 9;
    default: return -1;
  }
}

int KanjiMultiplier(char32_t c) {
  switch (c) {
    case U'十': return 10;
    case U'百': return 100;
    case U'千': return 1000;
    default: return 0;
  }
}

// Katakana whose voiced form is the next code point (カ -> ガ); ハ to ホ
// also take the half-voiced mark, their form two after (ハ -> パ).
bool TakesVoicedMark(char32_t c) {
  return std::u32string_view(U"カキクケコサシスセソタチツテトハヒフヘホ").find(c) != std::u32string_view::npos;
}

bool TakesHalfVoicedMark(char32_t c) { return std::u32string_view(U"ハヒフヘホ").find(c) != std::u32string_view::npos; }

// Kana that places write one way and people another, folded to one form.
char32_t FoldKana(char32_t c) {
  switch (c) {
    case U'ァ': return U'ア';
    case U'ィ': return U'イ';
    case U'ゥ': return U'ウ';
    case U'ェ': return U'エ';
    case U'ォ': return U'オ';
    case U'ッ': return U'ツ';
    case U'ャ': return U'ヤ';
    case U'ュ': return U'ユ';
    case U'ョ': return U'ヨ';
    case U'ヮ': return U'ワ';
    case U'ヵ': return U'カ';
    case U'ヶ':
    case U'ガ': return U'ケ';
    case U'ヂ': return U'ジ';
    case U'ヅ': return U'ズ';
    case U'ヲ': return U'オ';
    default: return c;
  }
}

// Builds the key one character at a time; kanji numerals wait in a run
// until a character that is none ends it.
class KeyBuilder {
 public:
  explicit KeyBuilder(size_t expected) { key_.reserve(expected); }

  void Put(char32_t c) {
    // Most characters of a name are kanji that stay as they are.
    if (c >= 0x4E00 && c <= 0x9FFF && c != U'髙' && !inNumeral_ && !pendingNo_ && !spaceAfterDigit_ &&
        KanjiDigit(c) < 0 && KanjiMultiplier(c) == 0) {
      lastAt_ = key_.size();
      char bytes[3] = {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                       static_cast<char>(0x80 | (c & 0x3F))};
      key_.append(bytes, 3);
      last_ = c;
      return;
    }
    c = Widen(c);
    if (c == 0) {
      // A space between two numbers keeps them apart ("〒060-0061 千葉県",
      // whose 千 is a number too); any other space goes.
      EndNumeral();
      spaceAfterDigit_ = IsDigit(last_);
      return;
    }
    if (c == 0xFF9E || c == 0x309B) {
      if (last_ == U'ウ')
        Replace(U'ヴ');
      else if (TakesVoicedMark(last_))
        Replace(FoldKana(last_ + 1));
      return;
    }
    if (c == 0xFF9F || c == 0x309C) {
      if (TakesHalfVoicedMark(last_)) Replace(last_ + 2);
      return;
    }
    c = FoldKana(c);
    int digit = KanjiDigit(c);
    int multiplier = KanjiMultiplier(c);
    if (digit >= 0 || multiplier > 0) {
      inNumeral_ = true;
      if (digit >= 0) {
        // A run longer than any address number only has to stay in range.
        if (current_ < kNumeralCap) current_ = current_ * 10 + digit;
        hasCurrent_ = true;
      } else {
        if (total_ < kNumeralCap) total_ += (hasCurrent_ ? current_ : 1) * multiplier;
        current_ = 0;
        hasCurrent_ = false;
      }
      return;
    }
    EndNumeral();
    Emit(c);
  }

  std::string Finish() {
    EndNumeral();
    if (pendingNo_) AppendUtf8(U'ノ', key_);
    return std::move(key_);
  }

 private:
  std::string key_;
  char32_t last_ = 0;
  size_t lastAt_ = 0;
  bool pendingNo_ = false;  // a ノ after a digit, waiting to see what follows
  bool spaceAfterDigit_ = false;
  bool inNumeral_ = false;
  bool hasCurrent_ = false;
  long long total_ = 0;
  long long current_ = 0;

  // The character's uniform form, or 0 to drop it.
  static char32_t Widen(char32_t c) {
    if (c <= 0x20 || c == 0x7F || c == 0x3000 || c == 0xFEFF) return 0;
    if (c >= 0xFF01 && c <= 0xFF5E) c -= 0xFEE0;
    if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
    if (c >= 0xFF66 && c <= 0xFF9D) c = kFullKana[c - 0xFF66];
    if (c == 0xFF70) c = U'ー';
    if (c >= 0x3041 && c <= 0x3096) c += 0x60;  // hiragana -> katakana
    switch (c) {
      case U'﨑': return U'崎';
      case U'髙': return U'高';
      case 0x2010:
      case 0x2011:
      case 0x2012:
      case 0x2013:
      case 0x2014:
      case 0x2015:
      case 0x2212:
      case 0xFE63: return '-';
      case 0x301C:
      case 0x223C: return '~';
      default: return c;
    }
  }

  void Replace(char32_t c) {
    key_.resize(lastAt_);
    AppendUtf8(c, key_);
    last_ = c;
  }

  void EndNumeral() {
    if (!inNumeral_) return;
    long long value = total_ + current_;
    inNumeral_ = hasCurrent_ = false;
    total_ = current_ = 0;
    for (char d : std::to_string(value)) Emit(static_cast<char32_t>(d));
  }

  void Emit(char32_t c) {
    if (spaceAfterDigit_ && IsDigit(c)) Append(' ');
    spaceAfterDigit_ = false;
    if (pendingNo_) {
      pendingNo_ = false;
      if (IsDigit(c)) {
        Append('-');
      } else {
        Append(U'ノ');
      }
    }
    if (c == U'ー' && IsDigit(last_)) c = '-';
    if (c == U'ノ' && IsDigit(last_)) {
      pendingNo_ = true;
      return;
    }
    Append(c);
  }

  void Append(char32_t c) {
    lastAt_ = key_.size();
    AppendUtf8(c, key_);
    last_ = c;
  }
};

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

int ReadInt(std::string_view key, size_t& at) {
  long long value = 0;
  while (at < key.size() && key[at] >= '0' && key[at] <= '9') {
    if (value < std::numeric_limits<int32_t>::max() / 10) value = value * 10 + (key[at] - '0');
    ++at;
  }
  return static_cast<int>(value);
}

}  // namespace

std::string KeyOfUtf8(std::string_view utf8) {
  KeyBuilder builder(utf8.size());
  DecodeUtf8(utf8, [&](char32_t c) { builder.Put(c); });
  return builder.Finish();
}

std::string KeyOfCp932(std::string_view cp932) {
  KeyBuilder builder(cp932.size() * 3 / 2);
  DecodeCp932(cp932, [&](char32_t c) { builder.Put(c); });
  return builder.Finish();
}

Unit ReadUnit(std::string_view key, size_t& length) {
  struct Word {
    std::string_view text;
    Unit unit;
  };
  // Longer words first: 丁目 before 丁, 番地 before 番.
  static constexpr Word kWords[] = {{"丁目", Unit::kChome}, {"丁", Unit::kChome}, {"番地", Unit::kBanchi},
                                    {"番", Unit::kBanchi},  {"号", Unit::kGo},    {"地割", Unit::kChiwari},
                                    {"線", Unit::kSen},     {"条", Unit::kJo},    {"区", Unit::kKu},
                                    {"階", Unit::kFloor},   {"-", Unit::kDash}};
  for (const Word& word : kWords) {
    if (StartsWith(key, word.text)) {
      length = word.text.size();
      return word.unit;
    }
  }
  length = 0;
  return Unit::kNone;
}

WrittenNumbers ReadNumbers(std::string_view key) {
  WrittenNumbers numbers;
  size_t at = 0;
  while (numbers.count < 4) {
    size_t start = at;
    if (StartsWith(key.substr(at), "第")) at += std::string_view("第").size();
    if (at >= key.size() || key[at] < '0' || key[at] > '9') {
      at = start;
      break;
    }
    numbers.values[numbers.count] = ReadInt(key, at);
    size_t unitLength = 0;
    numbers.units[numbers.count] = ReadUnit(key.substr(at), unitLength);
    at += unitLength;
    ++numbers.count;
    numbers.length = at;
    if (unitLength == 0) break;
  }
  return numbers;
}

int FindFloor(std::string_view key) {
  for (size_t at = 0; at < key.size(); ++at) {
    if (key[at] < '0' || key[at] > '9' || (at > 0 && key[at - 1] >= '0' && key[at - 1] <= '9')) continue;
    size_t end = at;
    int value = ReadInt(key, end);
    std::string_view after = key.substr(end);
    if (!StartsWith(after, "階") && !StartsWith(after, "F")) continue;
    std::string_view before = key.substr(0, at);
    if (before.ends_with("地下") || before.ends_with("B")) return kBasement;
    return value;
  }
  if (key.find("地下") != std::string_view::npos || key.find("地階") != std::string_view::npos) return kBasement;
  return kNoFloor;
}

}  // namespace address
