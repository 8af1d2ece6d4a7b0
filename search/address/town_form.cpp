#include "search/address/town_form.h"

#include <limits>

namespace address {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Drops what 「」 hold: the exceptions inside a range
// ("第40地割「57番地125、176を除く」~第45地割") narrow it more finely than
// a written address is compared.
std::string WithoutQuotes(std::string_view key) {
  std::string out;
  int depth = 0;
  for (size_t at = 0; at < key.size();) {
    if (StartsWith(key.substr(at), "「")) {
      ++depth;
      at += std::string_view("「").size();
    } else if (StartsWith(key.substr(at), "」")) {
      if (depth > 0) --depth;
      at += std::string_view("」").size();
    } else {
      if (depth == 0) out += key[at];
      ++at;
    }
  }
  return out;
}

// One item of a list: "1~19丁目", "4丁目55~114番地", "67-4~113-7番地",
// "第9地割~第11地割", "200番以上". False for anything else.
bool ParseItem(std::string_view item, RangeItem& range) {
  NumberTuple sides[2];
  int side = 0;
  bool open = false;  // "以上": no upper end
  bool unitSeen = false;
  size_t at = 0;
  while (at < item.size()) {
    std::string_view rest = item.substr(at);
    if (IsDigit(item[at])) {
      int32_t value = 0;
      while (at < item.size() && IsDigit(item[at])) {
        if (value < std::numeric_limits<int32_t>::max() / 10) value = value * 10 + (item[at] - '0');
        ++at;
      }
      NumberTuple& tuple = sides[side];
      if (tuple.count == 3) return false;
      tuple.values[tuple.count++] = value;
      continue;
    }
    if (rest[0] == '~') {
      if (side == 1 || sides[0].count == 0) return false;
      side = 1;
      ++at;
      continue;
    }
    if (StartsWith(rest, "第")) {
      at += std::string_view("第").size();
      continue;
    }
    if (StartsWith(rest, "以上") || StartsWith(rest, "以降")) {
      open = true;
      at += std::string_view("以上").size();
      continue;
    }
    size_t length = 0;
    Unit unit = ReadUnit(rest, length);
    if (length == 0) return false;
    if (!unitSeen && unit != Unit::kDash) {
      range.unit = unit;
      unitSeen = true;
    }
    at += length;
  }
  if (sides[0].count == 0) return false;
  range.low = sides[0];
  if (side == 0) {
    range.high = sides[0];
  } else {
    // "4丁目55~114番地": the upper end repeats the leading numbers it leaves out.
    NumberTuple high;
    int missing = sides[0].count - sides[1].count;
    for (int i = 0; i < missing; ++i) high.values[high.count++] = sides[0].values[i];
    for (int i = 0; i < sides[1].count && high.count < 3; ++i) high.values[high.count++] = sides[1].values[i];
    range.high = high;
  }
  if (open) {
    range.high.count = 1;
    range.high.values[0] = std::numeric_limits<int32_t>::max();
  }
  return true;
}

bool ParseItems(std::string_view key, TownForm& form) {
  std::string text = WithoutQuotes(key);
  std::string_view rest = text;
  const std::string_view separator = "、";
  while (true) {
    size_t end = rest.find(separator);
    RangeItem item;
    if (!ParseItem(rest.substr(0, end), item)) return false;
    form.items.push_back(item);
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + separator.size());
  }
  // A list names its unit once, at its end: "1、2丁目".
  for (size_t i = form.items.size(); i-- > 1;)
    if (form.items[i - 1].unit == Unit::kNone) form.items[i - 1].unit = form.items[i].unit;
  form.kind = FormKind::kRanges;
  return true;
}

bool UnitsFit(Unit written, Unit data) {
  if (written == Unit::kNone || written == Unit::kDash) return true;
  if (data == Unit::kNone) return written == Unit::kBanchi || written == Unit::kGo;
  return written == data;
}

// Compares the written numbers with a bound on the numbers both give.
int Compare(const WrittenNumbers& written, const NumberTuple& bound) {
  int count = written.count < bound.count ? written.count : bound.count;
  for (int i = 0; i < count; ++i) {
    if (written.values[i] < bound.values[i]) return -1;
    if (written.values[i] > bound.values[i]) return 1;
  }
  return 0;
}

}  // namespace

TownForm ParseBracket(std::string_view key) {
  // The words as keys: その他 is ソノ他 (address_key.h).
  static const std::string* const kRest = new std::string(KeyOfUtf8("その他"));
  static const std::string* const kButBuildings = new std::string(KeyOfUtf8("次のビルを除く"));
  TownForm form;
  if (key == *kRest || key == *kButBuildings || key == "大字") {
    form.kind = FormKind::kGeneral;
    return form;
  }
  if (key == "地階・階層不明") {
    form.kind = FormKind::kFloorGeneral;
    return form;
  }
  if (key == "丁目" || key == "番地") {
    form.kind = FormKind::kUnitOnly;
    form.unit = key == "丁目" ? Unit::kChome : Unit::kBanchi;
    return form;
  }
  // A floor: up to four digits, so that no text makes the number overflow.
  if (key.size() > 3 && key.size() <= 7 && key.ends_with("階") && IsDigit(key[0])) {
    size_t at = 0;
    int floor = 0;
    while (at < key.size() && IsDigit(key[at])) floor = floor * 10 + (key[at++] - '0');
    if (key.substr(at) == "階") {
      form.kind = FormKind::kFloor;
      form.floor = floor;
      return form;
    }
  }
  if (ParseItems(key, form)) return form;
  form.items.clear();
  form.kind = FormKind::kNamed;
  form.name = std::string(key);
  return form;
}

TownForm ParseChiwariList(std::string_view townKey, std::string_view baseKey) {
  TownForm form;
  if (baseKey.empty() || townKey.find("地割") == std::string_view::npos) return form;
  // Every repetition of the base name goes: "22地割、23地割".
  std::string numbers;
  std::string_view rest = townKey;
  while (!rest.empty()) {
    if (StartsWith(rest, baseKey)) {
      rest.remove_prefix(baseKey.size());
    } else {
      numbers += rest[0];
      rest.remove_prefix(1);
    }
  }
  TownForm parsed;
  if (!ParseItems(numbers, parsed)) return form;
  for (const RangeItem& item : parsed.items)
    if (item.unit != Unit::kChiwari) return form;
  return parsed;
}

bool Holds(const TownForm& form, const WrittenNumbers& written) {
  if (written.count == 0) return false;
  Unit first = written.units[0];
  if (form.kind == FormKind::kUnitOnly) return first == form.unit;
  if (form.kind != FormKind::kRanges) return false;
  for (const RangeItem& item : form.items) {
    if (!UnitsFit(first, item.unit)) continue;
    if (Compare(written, item.low) >= 0 && Compare(written, item.high) <= 0) return true;
  }
  return false;
}

}  // namespace address
