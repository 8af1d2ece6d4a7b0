// What the bracketed part of a town name in the postal data says about the
// addresses a row holds: "（１～１９丁目）", "（１３１～１４０番地）",
// "（第９地割～第１１地割）", "（２０階）", "（地階・階層不明）", "（その他）",
// "（栄町）"... and whether a written address falls in it. Does not find
// the town: see address_table.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/address/address_key.h"

namespace address {

enum class FormKind : uint8_t {
  kPlain,         // no brackets: the whole town
  kGeneral,       // the rest of the town: その他, 次のビルを除く, 大字
  kRanges,        // numbers: 丁目, 番地, 地割 ... ranges or lists
  kUnitOnly,      // 丁目 or 番地 without numbers: addresses written with that unit
  kNamed,         // a part of the town by name: 栄町, 成田国際空港内
  kFloor,         // one floor of a big building
  kFloorGeneral,  // a big building's basement and unknown floors
};

// Numbers compared in order: (4, 55) is 4丁目55番地.
struct NumberTuple {
  int count = 0;
  int32_t values[3] = {};
};

struct RangeItem {
  Unit unit = Unit::kNone;  // of the first number
  NumberTuple low, high;
};

struct TownForm {
  FormKind kind = FormKind::kPlain;
  Unit unit = Unit::kNone;       // kUnitOnly
  int floor = 0;                 // kFloor
  std::string name;              // kNamed: the part's key
  std::vector<RangeItem> items;  // kRanges
};

// The form of the key of one bracket's inside ("1~19丁目").
TownForm ParseBracket(std::string_view key);

// The form of a town written as a list of 地割 without brackets
// ("穴明22地割、穴明23地割", "左草1地割~左草6地割") given the base name's
// key ("穴明"); kPlain when the text is no such list.
TownForm ParseChiwariList(std::string_view townKey, std::string_view baseKey);

// Whether the numbers written after the town fall in a kRanges or
// kUnitOnly form. A dash or a bare number fits any unit; 番 and 番地 are one.
bool Holds(const TownForm& form, const WrittenNumbers& written);

}  // namespace address
