#include "search/address/address_table.h"

#include <algorithm>  // std::sort, std::stable_sort, std::min

#include "search/address/address_key.h"
#include "search/address/table_keys.h"

// The lookup: a written address's key split into prefecture, city, town
// and what follows, and the rows that fit. The load is address_table.cpp.
namespace address {
namespace {

constexpr size_t kMaxCandidates = 100;
constexpr size_t kMaxOfficesAtBlock = 20;

// The length of a postal code at the start of a key ("060-0061" or
// "0600061") that a name does not go on, else 0: 千葉県 has the key
// 1000葉県, which no code starts.
size_t PostalCodeLength(std::string_view key) {
  auto digits = [&](size_t at, size_t count) {
    if (key.size() < at + count) return false;
    for (size_t i = at; i < at + count; ++i)
      if (key[i] < '0' || key[i] > '9') return false;
    return true;
  };
  size_t length = 0;
  if (digits(0, 3) && key.size() > 3 && key[3] == '-' && digits(4, 4))
    length = 8;
  else if (digits(0, 7))
    length = 7;
  if (length == 0 || (key.size() > length && key[length] >= '0' && key[length] <= '9')) return 0;
  return key.size() > length && key[length] == ' ' ? length + 1 : length;
}

// True at a byte that starts a UTF-8 character (or ends the text).
bool AtCharStart(std::string_view text, size_t at) {
  return at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80;
}

// A reading with its numbers said in kana written as the data writes them,
// in digits: ミナミイチジヨウニシ becomes ミナミ1ジヨウニシ, キタジユウロクジヨウ
// キタ16ジヨウ. Only a number right before 条, 丁目 or 線 (ジヨウ, チヨウメ,
// セン) counts; the text comes back as it was when it holds none.
std::string NumbersInDigits(std::string_view key) {
  struct Word {
    std::string_view kana;
    int value;
  };
  // Longer words before their beginnings: シチ before シ.
  static constexpr Word kMultipliers[] = {{"ジユウ", 10}, {"ヒヤク", 100}, {"ビヤク", 100}, {"ピヤク", 100}};
  static constexpr Word kDigits[] = {{"イチ", 1}, {"ニ", 2},   {"サン", 3}, {"ヨン", 4}, {"シチ", 7},   {"シ", 4},
                                     {"ゴ", 5},   {"ロク", 6}, {"ナナ", 7}, {"ハチ", 8}, {"キユウ", 9}, {"ク", 9}};
  static constexpr std::string_view kUnits[] = {"ジヨウ", "チヨウメ", "セン"};
  std::string out;
  size_t at = 0;
  while (at < key.size()) {
    size_t end = at;
    int total = 0, digit = 0;
    bool any = false;
    while (end < key.size()) {
      std::string_view rest = key.substr(end);
      bool matched = false;
      for (const Word& word : kMultipliers) {
        if (!rest.starts_with(word.kana)) continue;
        total += (digit > 0 ? digit : 1) * word.value;
        digit = 0;
        end += word.kana.size();
        matched = any = true;
        break;
      }
      if (matched) continue;
      for (const Word& word : kDigits) {
        // One digit word before each multiplier: ニシ (西) is no 24.
        if (!rest.starts_with(word.kana) || digit > 0) continue;
        digit = word.value;
        end += word.kana.size();
        matched = any = true;
        break;
      }
      if (!matched) break;
    }
    bool unitFollows = false;
    for (std::string_view unit : kUnits) unitFollows |= any && key.substr(end).starts_with(unit);
    if (unitFollows) {
      out += std::to_string(total + digit);
      at = end;
      continue;
    }
    // Not a number: one character as it stands.
    size_t length = 1;
    while (at + length < key.size() && (static_cast<unsigned char>(key[at + length]) & 0xC0) == 0x80) ++length;
    out.append(key.substr(at, length));
    at += length;
  }
  return out;
}

}  // namespace

std::vector<uint32_t> AddressTable::RowsOf(const std::vector<uint32_t>& groups) const {
  std::vector<uint32_t> rows;
  for (uint32_t id : groups) {
    const Group& group = groups_[id];
    for (uint32_t row = group.firstRow, i = 0; i < group.rows; ++i, row = areas_[row].nextInGroup) rows.push_back(row);
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

std::vector<uint32_t> AddressTable::GroupsOf(const KeyIndex& index, uint32_t city, std::string_view key) const {
  std::vector<uint32_t> groups;
  index.ForEach(InCity(city, key), [&](uint32_t id) { groups.push_back(id); });
  return groups;
}

void AddressTable::MakeReadings() const {
  if (readingsMade_) return;
  readingsMade_ = true;
  townReadings_ = KeyIndex();
  townReadings_.Defer();
  townReadings_.Reserve(groups_.size());
  std::string probe;
  for (uint32_t id = 0; id < groups_.size(); ++id) {
    const Group& group = groups_[id];
    std::string key = ReadingKey(Text(group.reading));
    if (group.readingToDigit) key.resize(std::min(key.find_first_of("0123456789"), key.size()));
    if (key.empty()) continue;
    probe = InCity(group.city, key);
    townReadings_.Add(probe, id);
    longestTownReading_ = std::max(longestTownReading_, key.size());
  }
  townReadings_.Build();
}

std::vector<Candidate> AddressTable::LookupUtf8(std::string_view written) const { return Lookup(KeyOfUtf8(written)); }

std::vector<Candidate> AddressTable::LookupCp932(std::string_view written) const { return Lookup(KeyOfCp932(written)); }

std::vector<Candidate> AddressTable::Lookup(std::string key) const {
  // A leading 〒 and code: "〒060-0061 北海道...".
  std::string_view rest = key;
  if (rest.starts_with("〒")) rest.remove_prefix(std::string_view("〒").size());
  rest.remove_prefix(PostalCodeLength(rest));

  std::vector<Found> found;
  officeNames_.ForEach(NameKey(rest), [&](uint32_t id) {
    if (found.size() < kMaxCandidates) found.push_back({true, id, MatchKind::kExact});
  });
  auto townLevel = [](const std::vector<Found>& list) {
    for (const Found& f : list)
      if (!f.office && f.kind != MatchKind::kCity) return true;
    return false;
  };
  std::vector<Found> areas;
  SearchAreas(rest, false, areas);
  if (!townLevel(areas)) {
    MakeReadings();
    std::vector<Found> byReading;
    SearchAreas(rest, true, byReading);
    if (!townLevel(byReading)) {
      // Numbers said in kana, where the data's readings write digits.
      std::string spelled = NumbersInDigits(rest);
      std::vector<Found> byNumber;
      if (spelled != rest) SearchAreas(spelled, true, byNumber);
      if (townLevel(byNumber)) byReading = std::move(byNumber);
    }
    if (townLevel(byReading) || areas.empty()) areas = std::move(byReading);
  }
  found.insert(found.end(), areas.begin(), areas.end());

  std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
    if (a.kind != b.kind) return a.kind < b.kind;
    return !a.office && b.office;
  });
  std::vector<Candidate> candidates;
  std::vector<const Found*> kept;
  for (const Found& f : found) {
    bool seen = false;
    for (const Found* k : kept) {
      if (k->office != f.office) continue;
      if (f.office ? k->index == f.index
                   : std::string_view(areas_[k->index].code, 7) == std::string_view(areas_[f.index].code, 7))
        seen = true;
    }
    if (seen) continue;
    kept.push_back(&f);
    candidates.push_back(ToCandidate(f));
    if (candidates.size() == kMaxCandidates) break;
  }
  // Exact rows of several codes (the same town in two cities of one name,
  // the prefecture not written): the written text does not decide.
  int exactAreas = 0;
  for (const Candidate& c : candidates) exactAreas += c.office.empty() && c.kind == MatchKind::kExact;
  if (exactAreas > 1)
    for (Candidate& c : candidates)
      if (c.office.empty() && c.kind == MatchKind::kExact) c.kind = MatchKind::kTown;
  return candidates;
}

void AddressTable::SearchAreas(std::string_view key, bool reading, std::vector<Found>& found) const {
  std::string_view rest = key;
  int prefecture = -1;
  for (size_t i = 0; i < prefectures_.size(); ++i) {
    const std::string& name = reading ? prefectures_[i].readingKey : prefectures_[i].key;
    if (!name.empty() && rest.starts_with(name)) {
      prefecture = static_cast<int>(i);
      rest.remove_prefix(name.size());
      break;
    }
  }
  struct CityMatch {
    size_t length;
    uint32_t city;
  };
  std::vector<CityMatch> matches;
  const KeyIndex& cityIndex = reading ? cityReadings_ : cityKeys_;
  size_t longest = std::min(rest.size(), longestCityKey_);
  for (size_t end = longest; end > 0; --end) {
    if (!AtCharStart(rest, end)) continue;
    cityIndex.ForEach(rest.substr(0, end), [&](uint32_t city) {
      if (prefecture < 0 || cities_[city].prefecture == static_cast<uint32_t>(prefecture))
        matches.push_back({end, city});
    });
  }
  if (matches.empty()) return;
  // The longest city names first (札幌市中央区 before 札幌市); a shorter one
  // only when no town follows a longer.
  bool townFound = false;
  for (size_t i = 0; i < matches.size() && !townFound;) {
    size_t length = matches[i].length;
    for (; i < matches.size() && matches[i].length == length; ++i)
      townFound |= SearchTown(matches[i].city, rest.substr(length), reading, found);
  }
  if (townFound) return;
  for (const CityMatch& match : matches) {
    if (match.length != matches[0].length) break;
    int32_t general = cities_[match.city].generalRow;
    if (general >= 0) found.push_back({false, static_cast<uint32_t>(general), MatchKind::kCity});
  }
}

bool AddressTable::SearchTown(uint32_t city, std::string_view rest, bool reading, std::vector<Found>& found) const {
  const KeyIndex& townIndex = reading ? townReadings_ : townKeys_;
  // 大字 and 字 are written or left out; the data mostly leaves them out.
  std::string_view variants[3] = {rest, {}, {}};
  int count = 1;
  for (std::string_view word : {std::string_view("大字"), std::string_view("字")}) {
    if (rest.starts_with(word)) variants[count++] = rest.substr(word.size());
  }
  // The town that takes most of the text wins: つくば市 has a town 大, and
  // 大字豊里の杜 is the town 豊里の杜.
  std::vector<uint32_t> best;
  std::string_view bestText;
  size_t bestEnd = 0, bestTaken = 0;
  for (int v = 0; v < count; ++v) {
    std::string_view text = variants[v];
    size_t longest = std::min(text.size(), reading ? longestTownReading_ : longestTownKey_);
    std::string probe = InCity(city, text.substr(0, longest));
    std::vector<uint32_t> groups;
    for (size_t end = longest; end > 0; --end) {
      if (!AtCharStart(text, end)) continue;
      townIndex.ForEach(std::string_view(probe).substr(0, sizeof city + end),
                        [&](uint32_t id) { groups.push_back(id); });
      if (groups.empty()) continue;
      size_t taken = rest.size() - text.size() + end;
      if (taken > bestTaken) {
        best = std::move(groups);
        bestText = text;
        bestEnd = end;
        bestTaken = taken;
      }
      break;
    }
  }
  if (best.empty()) return false;
  ChooseRows(city, best, bestText.substr(0, bestEnd), bestText.substr(bestEnd), found);
  return true;
}

void AddressTable::ChooseRows(uint32_t city, std::vector<uint32_t> groups, std::string_view townKey,
                              std::string_view remainder, std::vector<Found>& found) const {
  // A comma or 、 may part the town from its block: "南一条西, 25丁目".
  while (true) {
    if (remainder.starts_with(","))
      remainder.remove_prefix(1);
    else if (remainder.starts_with("、"))
      remainder.remove_prefix(std::string_view("、").size());
    else
      break;
  }
  auto codeOf = [&](uint32_t row) { return std::string_view(areas_[row].code, 7); };
  auto add = [&](const std::vector<uint32_t>& rows, bool decided) {
    bool oneCode = true;
    for (uint32_t row : rows) oneCode &= codeOf(row) == codeOf(rows.front());
    MatchKind kind = decided || oneCode ? MatchKind::kExact : MatchKind::kTown;
    for (uint32_t row : rows) found.push_back({false, row, kind});
  };
  bool building = false;
  for (uint32_t id : groups) building |= groups_[id].building;

  // A big building of the town, named after the block: "中央1-3-1アエル20階".
  if (!building) {
    for (const Building& candidate : buildings_) {
      if (candidate.city != city || candidate.key.size() <= townKey.size() || !candidate.key.starts_with(townKey))
        continue;
      std::string_view name = std::string_view(candidate.key).substr(townKey.size());
      size_t at = remainder.find(name);
      if (at == std::string_view::npos) continue;
      remainder.remove_prefix(at + name.size());
      groups = GroupsOf(townKeys_, city, candidate.key);
      building = true;
      break;
    }
  }
  std::vector<uint32_t> rows = RowsOf(groups);
  if (building) {
    int floor = FindFloor(remainder);
    std::vector<uint32_t> chosen, general, rest;
    for (uint32_t row : rows) {
      const Area& area = areas_[row];
      if (area.kind == FormKind::kFloor && forms_[area.form].floor == floor)
        chosen.push_back(row);
      else if (area.kind == FormKind::kFloorGeneral)
        general.push_back(row);
      else
        rest.push_back(row);
    }
    if (!chosen.empty()) return add(chosen, true);
    // The basement, or no floor written: the data's row for both.
    if (!general.empty() && (floor == kBasement || floor == kNoFloor)) return add(general, true);
    general.insert(general.end(), rest.begin(), rest.end());
    return add(general, false);
  }

  WrittenNumbers written = ReadNumbers(remainder);
  std::vector<uint32_t> matched, general, other;
  for (uint32_t row : rows) {
    const Area& area = areas_[row];
    switch (area.kind) {
      case FormKind::kPlain:
      case FormKind::kGeneral: general.push_back(row); break;
      case FormKind::kRanges:
      case FormKind::kUnitOnly: (Holds(forms_[area.form], written) ? matched : other).push_back(row); break;
      case FormKind::kNamed: (remainder.starts_with(forms_[area.form].name) ? matched : other).push_back(row); break;
      default: other.push_back(row); break;
    }
  }
  if (!matched.empty()) {
    add(matched, false);
  } else if (written.count > 0 && general.size() == 1) {
    // A number no range holds: the rest of the town (その他).
    add(general, true);
  } else {
    general.insert(general.end(), other.begin(), other.end());
    add(general, false);
  }
  AddOfficesAt(city, townKey, remainder, found);
}

void AddressTable::AddOfficesAt(uint32_t city, std::string_view townKey, std::string_view remainder,
                                std::vector<Found>& found) const {
  WrittenNumbers written = ReadNumbers(remainder);
  if (written.count == 0) return;
  size_t added = 0;
  officeTowns_.ForEach(InCity(city, townKey), [&](uint32_t id) {
    const WrittenNumbers& at = offices_[id].numbers;
    if (at.count == 0 || added == kMaxOfficesAtBlock) return;
    int compared = std::min(written.count, at.count);
    if (compared < std::min(at.count, 2)) return;
    for (int i = 0; i < compared; ++i)
      if (written.values[i] != at.values[i]) return;
    found.push_back({true, id, MatchKind::kExact});
    ++added;
  });
}

Candidate AddressTable::ToCandidate(const Found& found) const {
  Candidate candidate;
  candidate.kind = found.kind;
  if (found.office) {
    const Office& office = offices_[found.index];
    candidate.code.assign(office.code, 7);
    candidate.prefecture = Text(prefectures_[office.prefecture].name);
    candidate.city = Text(office.cityName);
    candidate.town = std::string(Text(office.town)) + std::string(Text(office.detail));
    candidate.office = Text(office.name);
    return candidate;
  }
  const Area& area = areas_[found.index];
  const City& city = cities_[area.city];
  candidate.code.assign(area.code, 7);
  candidate.prefecture = Text(prefectures_[city.prefecture].name);
  candidate.city = Text(city.name);
  candidate.town = Text(area.town);
  return candidate;
}

}  // namespace address
