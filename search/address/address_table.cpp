#include "search/address/address_table.h"

#include <algorithm>  // std::copy_n, std::max, std::min

#include "platform/text/cp932.h"
#include "search/address/address_key.h"
#include "search/address/cp932_codec.h"
#include "search/address/postal_csv.h"
#include "search/address/table_keys.h"

namespace address {

namespace {

constexpr size_t kAreaFields = 15;
constexpr size_t kOfficeFields = 13;
constexpr int kMaxJoinedRows = 30;

// The town of a city's row for every address its other rows leave out.
const std::string& NotListed() {
  static const std::string* text = new std::string(platform::text::Cp932("以下に掲載がない場合"));
  return *text;
}

bool IsCode(std::string_view text) {
  if (text.size() != 7) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// CP932 text split at its first "（": the base name and each bracket's inside.
void SplitBrackets(std::string_view cp932, std::string_view& base, std::vector<std::string_view>& brackets) {
  brackets.clear();
  base = cp932;
  size_t at = 0;
  size_t open = std::string_view::npos;
  int depth = 0;
  while (at < cp932.size()) {
    int length = (static_cast<unsigned char>(cp932[at]) >= 0x81 && static_cast<unsigned char>(cp932[at]) <= 0x9F) ||
                         static_cast<unsigned char>(cp932[at]) >= 0xE0
                     ? 2
                     : 1;
    std::string_view c = cp932.substr(at, length);
    if (c == "\x81\x69") {  // （
      if (depth++ == 0) {
        if (brackets.empty() && open == std::string_view::npos) base = cp932.substr(0, at);
        open = at + 2;
      }
    } else if (c == "\x81\x6a" && depth > 0) {  // ）
      if (--depth == 0) brackets.push_back(cp932.substr(open, at - open));
    }
    at += length;
  }
  if (depth > 0 && open != std::string_view::npos) brackets.push_back(cp932.substr(open));
}

// How many more "（" than "）" the CP932 text holds.
int BracketDepth(std::string_view cp932) {
  int depth = 0;
  DecodeCp932(cp932, [&](char32_t c) {
    if (c == U'（') ++depth;
    if (c == U'）') --depth;
  });
  return depth;
}

}  // namespace

AddressTable::TextRef AddressTable::Store(std::string_view cp932) {
  TextRef ref{static_cast<uint32_t>(text_.size()), static_cast<uint32_t>(cp932.size())};
  text_.append(cp932);
  return ref;
}

uint32_t AddressTable::PrefectureOf(std::string_view cp932Name, std::string_view reading) {
  // Rows come prefecture by prefecture: the last one is the likely one.
  for (size_t i = prefectures_.size(); i-- > 0;)
    if (Text(prefectures_[i].name) == cp932Name) return static_cast<uint32_t>(i);
  Prefecture prefecture;
  prefecture.name = Store(cp932Name);
  prefecture.key = KeyOfCp932(cp932Name);
  prefecture.readingKey = ReadingKey(reading);
  prefectures_.push_back(std::move(prefecture));
  return static_cast<uint32_t>(prefectures_.size() - 1);
}

uint32_t AddressTable::CityOf(uint32_t prefecture, std::string_view cp932Name, std::string_view reading) {
  if (!cities_.empty() && cities_.back().prefecture == prefecture && Text(cities_.back().name) == cp932Name)
    return static_cast<uint32_t>(cities_.size() - 1);
  std::string key = KeyOfCp932(cp932Name);
  uint32_t found = UINT32_MAX;
  cityKeys_.ForEach(key, [&](uint32_t id) {
    if (cities_[id].prefecture == prefecture && Text(cities_[id].name) == cp932Name) found = id;
  });
  if (found != UINT32_MAX) return found;
  uint32_t id = static_cast<uint32_t>(cities_.size());
  cities_.push_back({prefecture, Store(cp932Name), -1});
  auto add = [&](KeyIndex& index, std::string_view k) {
    if (k.empty()) return;
    index.Add(k, id);
    longestCityKey_ = std::max(longestCityKey_, k.size());
  };
  add(cityKeys_, key);
  std::string readingKey = ReadingKey(reading);
  add(cityReadings_, readingKey);
  // A town or village in a county is written with or without the county:
  // 厚岸郡浜中町 or 浜中町.
  const std::string_view county = "郡";
  size_t countyAt = key.find(county);
  if (countyAt != std::string::npos && countyAt + county.size() < key.size()) {
    add(cityKeys_, std::string_view(key).substr(countyAt + county.size()));
    const std::string_view countyReading = "グン";
    size_t readingAt = readingKey.find(countyReading);
    if (readingAt != std::string::npos && readingKey.find(countyReading, readingAt + 1) == std::string::npos)
      add(cityReadings_, std::string_view(readingKey).substr(readingAt + countyReading.size()));
  }
  // A ward of a designated city may be left out: 札幌市 names every ward.
  const std::string_view cityWord = "市";
  size_t cityEnd = key.find(cityWord);
  if (cityEnd != std::string::npos && cityEnd + cityWord.size() < key.size() && key.ends_with("区"))
    add(cityKeys_, std::string_view(key).substr(0, cityEnd + cityWord.size()));
  return id;
}

void AddressTable::AddGroupKey(KeyIndex& index, uint32_t city, std::string_view key, uint32_t group) {
  if (key.empty()) return;
  probe_.assign(reinterpret_cast<const char*>(&city), sizeof city);
  probe_.append(key);
  index.Add(probe_, group);
  longestTownKey_ = std::max(longestTownKey_, key.size());
}

void AddressTable::AddArea(const std::vector<std::string>& fields) {
  uint32_t prefecture = PrefectureOf(fields[6], fields[3]);
  uint32_t city = CityOf(prefecture, fields[7], fields[4]);
  Area area;
  std::copy_n(fields[2].data(), 7, area.code);
  area.city = city;
  area.town = Store(fields[8]);
  uint32_t row = static_cast<uint32_t>(areas_.size());
  if (fields[8] == NotListed()) {
    area.kind = FormKind::kGeneral;
    if (cities_[city].generalRow < 0) cities_[city].generalRow = static_cast<int32_t>(row);
    areas_.push_back(area);
    return;
  }
  std::string_view base;
  std::vector<std::string_view> brackets;
  SplitBrackets(fields[8], base, brackets);
  std::string baseKey = KeyOfCp932(base);
  bool readingToDigit = false;
  TownForm form;
  bool building = false;
  for (size_t i = 0; i < brackets.size(); ++i) {
    TownForm parsed = ParseBracket(KeyOfCp932(brackets[i]));
    if (parsed.kind == FormKind::kFloor || parsed.kind == FormKind::kFloorGeneral) {
      form = std::move(parsed);
      building = true;
    } else if (i == 0) {
      form = std::move(parsed);
    }
  }
  if (brackets.empty()) {
    // 地割 written without brackets: "穴明22地割、穴明23地割".
    size_t digit = baseKey.find_first_of("0123456789");
    if (digit != std::string::npos && baseKey.find("地割") != std::string::npos) {
      std::string name = baseKey.substr(0, digit);
      const std::string_view ordinal = "第";
      if (name.ends_with(ordinal)) name.resize(name.size() - ordinal.size());
      TownForm list = ParseChiwariList(baseKey, name);
      if (list.kind == FormKind::kRanges) {
        form = std::move(list);
        baseKey = name;
        // The reading, too, lists every 地割: its name ends at the first digit.
        readingToDigit = true;
      }
    }
  }
  area.kind = form.kind;
  if (form.kind != FormKind::kPlain) {
    area.form = static_cast<int32_t>(forms_.size());
    forms_.push_back(std::move(form));
  }
  areas_.push_back(area);

  // Rows of one town mostly follow each other and make one group; a row
  // apart from its town's others starts a group of the same key, and a
  // lookup takes all groups of a key together.
  uint32_t group = static_cast<uint32_t>(groups_.size() - 1);
  if (groups_.empty() || lastGroupCity_ != city || lastGroupKey_ != baseKey) {
    group = static_cast<uint32_t>(groups_.size());
    groups_.emplace_back();
    AddGroupKey(townKeys_, city, baseKey, group);
    // The town's reading, from its first row: the others repeat it.
    Group& made = groups_[group];
    made.city = city;
    made.reading = Store(fields[5]);
    made.readingToDigit = readingToDigit;
    lastGroupCity_ = city;
    lastGroupKey_ = baseKey;
  }
  Group& town = groups_[group];
  if (town.rows == 0)
    town.firstRow = row;
  else
    areas_[town.lastRow].nextInGroup = row;
  town.lastRow = row;
  ++town.rows;
  if (building && !town.building) {
    town.building = true;
    buildings_.push_back({city, group, baseKey});
  }
}

bool AddressTable::AddAreas(std::string_view csv, LoadReport& report, std::string& error) {
  bool utf8 = GuessEncoding(csv) == CsvEncoding::kUtf8;
  // A row of either edition takes about a hundred bytes, its names a third.
  size_t rows = csv.size() / 90;
  text_.reserve(text_.size() + csv.size() / 3);
  areas_.reserve(areas_.size() + rows);
  groups_.reserve(groups_.size() + rows);
  townKeys_.Defer();
  townKeys_.Reserve(rows);
  std::vector<std::string> fields, pending;
  std::string converted;
  int openBrackets = 0;  // of the pending town
  int joined = 0;        // rows it was made of
  long before = report.rows;
  auto flush = [&] {
    if (pending.empty()) return;
    AddArea(pending);
    ++report.rows;
    pending.clear();
  };
  ForEachLine(csv, [&](std::string_view line, long number) {
    if (line.empty()) return;
    bool ok = SplitCsvLine(line, fields) && fields.size() >= kAreaFields && IsCode(fields[2]);
    for (size_t i = 3; ok && utf8 && i <= 8; ++i) {
      ok = Utf8ToCp932(fields[i], converted);
      fields[i].swap(converted);
    }
    if (!ok) {
      if (report.skipped++ == 0) report.firstSkipped = number;
      return;
    }
    // A town the data splits over several rows opens a bracket on its first
    // and closes it on a later one, under the same code. The data splits
    // none over more than ten rows; a bracket that never closes ends the
    // town after kMaxJoinedRows, so that no file costs more than a pass.
    if (!pending.empty() && openBrackets > 0 && joined < kMaxJoinedRows && pending[2] == fields[2] &&
        pending[7] == fields[7]) {
      pending[8] += fields[8];
      openBrackets += BracketDepth(fields[8]);
      ++joined;
      return;
    }
    flush();
    pending.swap(fields);
    openBrackets = BracketDepth(pending[8]);
    joined = 1;
  });
  flush();
  townKeys_.Build();
  readingsMade_ = false;
  if (report.rows == before) {
    error = "no row of the postal authority's address file (KEN_ALL)";
    return false;
  }
  return true;
}

bool AddressTable::AddOffices(std::string_view csv, LoadReport& report, std::string& error) {
  bool utf8 = GuessEncoding(csv) == CsvEncoding::kUtf8;
  size_t rows = csv.size() / 130;
  text_.reserve(text_.size() + csv.size() / 2);
  offices_.reserve(offices_.size() + rows);
  officeTowns_.Defer();
  officeNames_.Defer();
  officeTowns_.Reserve(rows);
  officeNames_.Reserve(rows);
  std::vector<std::string> fields;
  std::string converted;
  long before = report.rows;
  ForEachLine(csv, [&](std::string_view line, long number) {
    if (line.empty()) return;
    bool ok = SplitCsvLine(line, fields) && fields.size() >= kOfficeFields && IsCode(fields[7]);
    for (size_t i = 1; ok && utf8 && i <= 6; ++i) {
      ok = Utf8ToCp932(fields[i], converted);
      fields[i].swap(converted);
    }
    if (!ok) {
      if (report.skipped++ == 0) report.firstSkipped = number;
      return;
    }
    Office office;
    std::copy_n(fields[7].data(), 7, office.code);
    office.prefecture = PrefectureOf(fields[3], "");
    office.cityName = Store(fields[4]);
    office.town = Store(fields[5]);
    office.detail = Store(fields[6]);
    office.name = Store(fields[2]);
    office.numbers = ReadNumbers(KeyOfCp932(fields[6]));
    uint32_t id = static_cast<uint32_t>(offices_.size());
    // Offices come city by city: the last one's city is the likely one.
    if (!offices_.empty() && offices_.back().prefecture == office.prefecture &&
        Text(offices_.back().cityName) == fields[4]) {
      office.city = offices_.back().city;
    } else {
      cityKeys_.ForEach(KeyOfCp932(fields[4]), [&](uint32_t city) {
        if (cities_[city].prefecture == office.prefecture && Text(cities_[city].name) == fields[4])
          office.city = static_cast<int32_t>(city);
      });
    }
    if (office.city >= 0) officeTowns_.Add(InCity(static_cast<uint32_t>(office.city), KeyOfCp932(fields[5])), id);
    std::string name = NameKey(KeyOfCp932(fields[2]));
    if (!name.empty()) officeNames_.Add(name, id);
    offices_.push_back(office);
    ++report.rows;
  });
  officeTowns_.Build();
  officeNames_.Build();
  if (report.rows == before) {
    error = "no row of the postal authority's office file (JIGYOSYO)";
    return false;
  }
  return true;
}

}  // namespace address
