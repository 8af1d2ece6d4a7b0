#include "written_addresses.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace address::testing {
namespace {

std::u32string U32(std::string_view utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char b = utf8[i];
    int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
    char32_t c = n == 1 ? b : b & (0x7F >> n);
    for (int k = 1; k < n && i + k < utf8.size(); ++k) c = (c << 6) | (utf8[i + k] & 0x3F);
    out += c;
    i += n;
  }
  return out;
}

std::string Utf8(std::u32string_view text) {
  std::string out;
  for (char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// Full-width digits to ASCII, so that the bracket's numbers can be read.
std::u32string NarrowDigits(std::u32string text) {
  for (char32_t& c : text)
    if (c >= U'０' && c <= U'９') c = c - U'０' + U'0';
  return text;
}

std::string Kanji(int n) {
  static const char32_t* const kDigits = U"〇一二三四五六七八九";
  std::u32string out;
  for (auto [unit, mark] : {std::pair{1000, U'千'}, {100, U'百'}, {10, U'十'}}) {
    int d = n / unit;
    n %= unit;
    if (d == 0) continue;
    if (d > 1) out += kDigits[d];
    out += mark;
  }
  if (n > 0 || out.empty()) out += kDigits[n];
  return Utf8(out);
}

// Kanji numerals in a name as digits: 南一条西 -> 南1条西, 北十六条 -> 北16条.
std::string DigitsInName(std::u32string_view name) {
  std::u32string_view digits = U"〇一二三四五六七八九";
  std::u32string out;
  for (size_t i = 0; i < name.size();) {
    size_t j = i;
    int total = 0, current = 0;
    bool any = false;
    for (; j < name.size(); ++j) {
      size_t d = digits.find(name[j]);
      int unit = name[j] == U'十' ? 10 : name[j] == U'百' ? 100 : name[j] == U'千' ? 1000 : 0;
      if (d != std::u32string_view::npos) {
        current = current * 10 + static_cast<int>(d);
      } else if (unit) {
        total += (current ? current : 1) * unit;
        current = 0;
      } else {
        break;
      }
      any = true;
    }
    if (!any) {
      out += name[i++];
      continue;
    }
    for (char c : std::to_string(total + current)) out += static_cast<char32_t>(c);
    i = j;
  }
  return Utf8(out);
}

std::string Hiragana(std::string_view katakana) {
  std::u32string text = U32(katakana);
  for (char32_t& c : text)
    if (c >= U'ァ' && c <= U'ヶ') c -= 0x60;
  return Utf8(NarrowDigits(text));
}

std::string FullWidth(std::string_view ascii) {
  std::u32string out;
  for (char c : ascii) out += c == '-' ? U'－' : (c >= '0' && c <= '9') ? U'０' + (c - '0') : static_cast<char32_t>(c);
  return Utf8(out);
}

struct Row {
  std::string code, prefectureReading, cityReading, townReading, prefecture, city, town;
  std::u32string base;     // the town up to its bracket
  std::u32string bracket;  // inside the first bracket, digits narrowed
  std::u32string second;   // inside a second bracket
};

// A bracket that gives numbers: "1~19丁目", "3丁目", "1、2丁目", "第9地割~第11地割".
struct Range {
  bool ok = false;
  std::u32string unit;
  std::vector<std::pair<int, int>> spans;
};

Range ParseRange(std::u32string text) {
  Range range;
  for (std::u32string_view unit : {U"丁目", U"番地", U"地割"}) {
    if (text.size() > unit.size() && text.ends_with(unit)) range.unit = unit;
  }
  if (range.unit.empty()) return range;
  std::u32string rest;
  for (char32_t c : text) rest += c;
  // Drop the unit and 第 wherever they stand; what is left is numbers, ～ and 、.
  for (std::u32string_view word : {std::u32string_view(range.unit), std::u32string_view(U"第")})
    for (size_t at; (at = rest.find(word)) != std::u32string::npos;) rest.erase(at, word.size());
  size_t at = 0;
  auto number = [&](int& value) {
    if (at >= rest.size() || rest[at] < U'0' || rest[at] > U'9') return false;
    value = 0;
    while (at < rest.size() && rest[at] >= U'0' && rest[at] <= U'9') value = value * 10 + (rest[at++] - U'0');
    return true;
  };
  while (true) {
    int low, high;
    if (!number(low)) return range;
    high = low;
    if (at < rest.size() && (rest[at] == U'～' || rest[at] == U'〜')) {
      ++at;
      if (!number(high)) return range;
    }
    range.spans.push_back({low, high});
    if (at == rest.size()) break;
    if (rest[at] != U'、') return range;
    ++at;
  }
  range.ok = true;
  return range;
}

// A key for telling towns apart as the lookup must: ヶ, ケ and が are one.
std::u32string Folded(std::u32string text) {
  for (char32_t& c : text)
    if (c == U'ヶ' || c == U'が') c = U'ケ';
  return text;
}

class Maker {
 public:
  Maker(std::string_view text, unsigned seed) : random_(seed) {
    while (!text.empty()) {
      size_t end = text.find('\n');
      std::vector<std::string> f = Fields(text.substr(0, end));
      text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
      if (f.size() < 15) continue;
      Row row{f[2], f[3], f[4], f[5], f[6], f[7], f[8], {}, {}, {}};
      std::u32string town = U32(row.town);
      size_t open = town.find(U'（');
      row.base = town.substr(0, open);
      if (open != std::u32string::npos) {
        size_t close = town.find(U'）', open);
        row.bracket = NarrowDigits(
            town.substr(open + 1, close == std::u32string::npos ? std::u32string::npos : close - open - 1));
        if (close != std::u32string::npos && close + 1 < town.size() && town[close + 1] == U'（')
          row.second = NarrowDigits(town.substr(close + 2, town.size() - close - 3));
      }
      groups_[{row.prefecture, row.city, Folded(row.base)}].push_back(rows_.size());
      size_t readingEnd = std::min(row.townReading.find("（"), row.townReading.find("("));
      readingCodes_[{row.prefecture, row.cityReading, row.townReading.substr(0, readingEnd)}].insert(row.code);
      cityPrefectures_[row.city].insert(row.prefecture);
      rows_.push_back(std::move(row));
    }
  }

  std::vector<WrittenAddress> Make(size_t count) {
    // Each kind of row in turn, so that the rare kinds are all there.
    std::vector<std::vector<size_t>> kinds(5);
    for (size_t i = 0; i < rows_.size(); ++i) {
      int kind = KindOf(i);
      if (kind >= 0) kinds[kind].push_back(i);
    }
    for (auto& list : kinds) std::shuffle(list.begin(), list.end(), random_);
    std::vector<WrittenAddress> made;
    // Plain towns are most of the data and of what people write: three of
    // them a round.
    const size_t perRound[] = {3, 1, 1, 1, 1};
    std::vector<size_t> taken(kinds.size(), 0);
    while (made.size() < count) {
      bool any = false;
      for (size_t kind = 0; kind < kinds.size(); ++kind) {
        for (size_t n = 0; n < perRound[kind] && taken[kind] < kinds[kind].size() && made.size() < count; ++n) {
          any = true;
          WrittenAddress address;
          if (Write(kinds[kind][taken[kind]++], address)) made.push_back(std::move(address));
        }
      }
      if (!any) break;
    }
    return made;
  }

 private:
  enum Kind { kPlain, kRange, kChiwari, kFloor, kRest };
  std::vector<Row> rows_;
  std::map<std::tuple<std::string, std::string, std::u32string>, std::vector<size_t>> groups_;
  std::map<std::tuple<std::string, std::string, std::string>, std::set<std::string>> readingCodes_;
  std::map<std::string, std::set<std::string>> cityPrefectures_;
  std::mt19937 random_;
  int next_ = 0;

  const std::vector<size_t>& GroupOf(const Row& row) const {
    return groups_.at({row.prefecture, row.city, Folded(row.base)});
  }

  bool OneCode(const std::vector<size_t>& group) const {
    for (size_t i : group)
      if (rows_[i].code != rows_[group[0]].code) return false;
    return true;
  }

  // Which kind of case the row makes, or -1 when a written address cannot
  // pick it.
  int KindOf(size_t i) const {
    const Row& row = rows_[i];
    if (row.town == "以下に掲載がない場合" || row.base.empty()) return -1;
    const std::vector<size_t>& group = GroupOf(row);
    if (row.bracket.empty()) {
      if (row.base.find(U"地割") != std::u32string::npos) return ChiwariList(row).ok ? kChiwari : -1;
      return OneCode(group) ? kPlain : -1;
    }
    if (row.second.empty() && (row.bracket.ends_with(U"階") || row.bracket == U"地階・階層不明")) return kFloor;
    if (row.bracket == U"その他") {
      // The rest of a town whose other rows are all ranges of one unit.
      for (size_t j : group)
        if (j != i && !ParseRange(rows_[j].bracket).ok) return -1;
      return group.size() > 1 ? kRest : -1;
    }
    Range range = ParseRange(row.bracket);
    if (!range.ok) return -1;
    // Every other row of the town must be told apart by numbers too.
    for (size_t j : group) {
      if (j == i) continue;
      const Row& other = rows_[j];
      if (other.bracket != U"その他" && other.bracket != U"次のビルを除く" && !ParseRange(other.bracket).ok) return -1;
    }
    return range.unit == U"地割" ? kChiwari : kRange;
  }

  // The town a big building stands in: the longest other town of its city
  // whose name its own begins with (中央 for 中央アエル), or empty.
  std::string ParentTown(const Row& row) const {
    std::u32string best;
    for (size_t length = 1; length < row.base.size(); ++length) {
      std::u32string head = row.base.substr(0, length);
      if (groups_.count({row.prefecture, row.city, Folded(head)})) best = head;
    }
    return Utf8(best);
  }

  // A town written as a list of 地割 without brackets ("穴明２２地割、穴明２３地割"):
  // its name, and the range with the name taken out.
  static std::u32string ChiwariName(const Row& row) {
    size_t digit = row.base.find_first_of(U"０１２３４５６７８９");
    if (digit == std::u32string::npos) return {};
    std::u32string name = row.base.substr(0, digit);
    if (name.ends_with(U"第")) name.pop_back();
    return name;
  }

  static Range ChiwariList(const Row& row) {
    std::u32string name = ChiwariName(row);
    if (name.empty()) return {};
    std::u32string rest = row.base;
    for (size_t at; (at = rest.find(name)) != std::u32string::npos;) rest.erase(at, name.size());
    return ParseRange(NarrowDigits(rest));
  }

  Range RangeOf(const Row& row) const { return row.bracket.empty() ? ChiwariList(row) : ParseRange(row.bracket); }

  // A number the row's range holds that no other row's does, or -1.
  int NumberFor(size_t i, const Range& range) {
    const std::vector<size_t>& group = GroupOf(rows_[i]);
    for (int attempt = 0; attempt < 8; ++attempt) {
      auto [low, high] = range.spans[random_() % range.spans.size()];
      int n = low + static_cast<int>(random_() % (std::min(high, low + 50) - low + 1));
      bool alone = true;
      for (size_t j : group) {
        if (j == i || rows_[j].code == rows_[i].code) continue;
        Range other = ParseRange(rows_[j].bracket);
        for (auto [l, h] : other.spans) alone &= n < l || n > h;
      }
      if (alone) return n;
    }
    return -1;
  }

  bool Write(size_t i, WrittenAddress& out) {
    const Row& row = rows_[i];
    out.code = row.code;
    std::string town = Utf8(row.base);
    std::string block;  // ASCII; turned into other notations below
    int chome = 0, go = 0, ban = 0;
    std::string unit = "丁目";
    int kind = KindOf(i);
    ban = 1 + static_cast<int>(random_() % 30);
    go = 1 + static_cast<int>(random_() % 20);
    if (kind == kChiwari && row.bracket.empty()) town = Utf8(ChiwariName(row));
    if (kind == kRange || kind == kChiwari) {
      Range range = RangeOf(row);
      int n = NumberFor(i, range);
      if (n < 0) return false;
      chome = n;
      unit = Utf8(range.unit);
    } else if (kind == kRest) {
      int top = 0;
      for (size_t j : GroupOf(row))
        for (auto [l, h] : ParseRange(rows_[j].bracket).spans) top = std::max(top, h);
      chome = top + 1 + static_cast<int>(random_() % 50);
      for (size_t j : GroupOf(row))
        if (j != i) unit = Utf8(ParseRange(rows_[j].bracket).unit);
    } else if (kind == kPlain) {
      chome = 1 + static_cast<int>(random_() % 9);
    }
    // A name ending in a numeral would run into the block's digits.
    std::u32string lastOfName = row.base.substr(row.base.size() - 1);
    bool endsInNumeral = std::u32string_view(U"〇一二三四五六七八九十百千０１２３４５６７８９").find(lastOfName[0]) !=
                         std::u32string_view::npos;

    std::string prefecture = row.prefecture, city = row.city;
    std::vector<std::string> notations = {"full",        "kanji numerals",   "spaces", "full-width digits",
                                          "〒 and code", "trailing building"};
    if (cityPrefectures_[row.city].size() == 1) notations.push_back("no prefecture");
    if (row.city.find("郡") != std::string::npos) notations.push_back("no county");
    if (DigitsInName(row.base) != town) notations.push_back("digits in name");
    if (kind == kPlain && row.prefecture != "東京都" && row.city.find("区") == std::string::npos)
      notations.push_back("大字");
    size_t readingEnd = std::min(row.townReading.find("（"), row.townReading.find("("));
    std::string townReading = row.townReading.substr(0, readingEnd);
    if (kind == kChiwari && row.bracket.empty()) {
      // A list of 地割 reads as one: its name is the reading up to its first digit.
      std::u32string reading = NarrowDigits(U32(townReading));
      townReading = Utf8(reading.substr(0, reading.find_first_of(U"0123456789")));
    }
    if (readingCodes_[{row.prefecture, row.cityReading, townReading}].size() == 1 && !townReading.empty())
      notations.push_back("hiragana reading");
    std::string parent = kind == kFloor ? ParentTown(row) : "";
    if (kind == kFloor) notations = {"floor", "floor, no prefecture"};
    if (!parent.empty()) notations.push_back("floor after the block");
    std::string notation = notations[next_++ % notations.size()];
    // Names with kanji numerals are few: most of them get digits.
    if (notations.size() > 1 && notations[notations.size() - 1] != "digits in name" &&
        std::find(notations.begin(), notations.end(), "digits in name") != notations.end() && random_() % 2)
      notation = "digits in name";
    out.notation = notation;

    if (kind == kFloor) {
      std::string floor;
      if (row.bracket == U"地階・階層不明") {
        floor = random_() % 2 ? "" : "地下1階";
      } else {
        std::u32string digits = row.bracket.substr(0, row.bracket.size() - 1);
        floor = Utf8(digits) + "階";
      }
      if (notation == "floor after the block") {
        std::string name = town.substr(parent.size());
        out.written = prefecture + city + parent + "1-1-1 " + name + " " + (floor.empty() ? "" : floor);
      } else {
        out.written = (notation == "floor" ? prefecture : "") + city + town + floor;
      }
      return true;
    }

    std::string number = endsInNumeral ? "" : std::to_string(chome);
    if (kind == kPlain) {
      block = endsInNumeral ? "" : std::to_string(chome) + "-" + std::to_string(ban) + "-" + std::to_string(go);
    } else if (unit == "丁目") {
      block = number + "丁目" + std::to_string(ban) + "番" + std::to_string(go) + "号";
    } else if (unit == "地割") {
      block = "第" + number + "地割" + std::to_string(ban) + "番地";
    } else {
      block = number + "番地" + std::to_string(go);
    }
    if (endsInNumeral && kind != kPlain) return false;

    if (notation == "kanji numerals") {
      if (kind == kPlain) {
        block = endsInNumeral ? "" : Kanji(chome) + "丁目" + Kanji(ban) + "番" + Kanji(go) + "号";
      } else if (unit == "丁目") {
        block = Kanji(chome) + "丁目" + Kanji(ban) + "番" + Kanji(go) + "号";
      } else if (unit == "地割") {
        block = "第" + Kanji(chome) + "地割" + Kanji(ban) + "番地";
      } else {
        block = Kanji(chome) + "番地" + Kanji(go);
      }
    }
    if (notation == "full-width digits") block = FullWidth(block);
    if (notation == "digits in name") town = DigitsInName(row.base);
    if (notation == "no prefecture") prefecture.clear();
    if (notation == "no county") city = city.substr(city.find("郡") + std::string_view("郡").size());
    if (notation == "大字") town = "大字" + town;
    if (notation == "spaces") {
      out.written = prefecture + " " + city + "　" + town + " " + block;
    } else if (notation == "hiragana reading") {
      out.written = Hiragana(row.prefectureReading) + Hiragana(row.cityReading) + " " + Hiragana(townReading) + block;
    } else if (notation == "〒 and code") {
      out.written = "〒" + row.code.substr(0, 3) + "-" + row.code.substr(3) + " " + prefecture + city + town + block;
    } else if (notation == "trailing building") {
      out.written = prefecture + city + town + block + " メゾン青葉201号室";
    } else {
      out.written = prefecture + city + town + block;
    }
    return true;
  }
};

}  // namespace

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false;
  for (char c : line) {
    if (c == '"')
      quoted = !quoted;
    else if (c == ',' && !quoted)
      fields.push_back(std::move(field)), field.clear();
    else if (c != '\r')
      field += c;
  }
  fields.push_back(field);
  return fields;
}

std::vector<WrittenAddress> MakeWrittenAddresses(std::string_view utf8KenAll, size_t count, unsigned seed) {
  return Maker(utf8KenAll, seed).Make(count);
}

}  // namespace address::testing
