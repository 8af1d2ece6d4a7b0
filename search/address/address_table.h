// The postal data in memory, for turning a written address into its postal
// code: the rows of KEN_ALL (either edition) and of JIGYOSYO, indexed by
// the keys of their names (address_key.h). Answers a written address with
// ranked candidates. Reads no file itself (data_file.h does) and shows
// nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "search/address/key_index.h"
#include "search/address/town_form.h"

namespace address {

// How much of the written address a candidate stands for: the town's row
// itself, the town with the row left open, or only the city.
enum class MatchKind : uint8_t { kExact, kTown, kCity };

struct Candidate {
  std::string code;        // seven digits
  std::string prefecture;  // CP932, as the data writes them
  std::string city;
  std::string town;    // an office's: its town and block
  std::string office;  // an office's name; empty for an area's code
  MatchKind kind = MatchKind::kExact;
};

// What a load took in and left out.
struct LoadReport {
  long rows = 0;
  long skipped = 0;       // rows without the fields a row has
  long firstSkipped = 0;  // line of the first one
};

class AddressTable {
 public:
  // Adds the rows of KEN_ALL (either edition, as its bytes stand). Towns
  // split over several rows are joined. False with `error` (UTF-8) when the
  // text holds no row of KEN_ALL at all.
  bool AddAreas(std::string_view csv, LoadReport& report, std::string& error);

  // Adds the rows of JIGYOSYO. Offices of a city KEN_ALL does not hold are
  // found by name only. False with `error` when no row is one.
  bool AddOffices(std::string_view csv, LoadReport& report, std::string& error);

  // The candidates for a written address (UTF-8 or CP932), best first:
  // exact before town before city, an area's code before an office's, and
  // within a town the row the data marks as general first. Empty when
  // not even a city is found.
  std::vector<Candidate> LookupUtf8(std::string_view written) const;
  std::vector<Candidate> LookupCp932(std::string_view written) const;

  size_t AreaCount() const { return areas_.size(); }
  size_t OfficeCount() const { return offices_.size(); }

 private:
  struct TextRef {
    uint32_t at = 0;
    uint32_t length = 0;
  };
  struct Prefecture {
    TextRef name;
    std::string key;
    std::string readingKey;
  };
  struct City {
    uint32_t prefecture = 0;
    TextRef name;
    int32_t generalRow = -1;  // 以下に掲載がない場合
  };
  struct Area {
    char code[7];
    uint32_t city = 0;
    uint32_t nextInGroup = 0;  // the town's next row
    TextRef town;
    int32_t form = -1;  // into forms_; -1 for a plain town
    FormKind kind = FormKind::kPlain;
  };
  // The rows of one town (its name without brackets) in one city.
  struct Group {
    uint32_t firstRow = 0;
    uint32_t lastRow = 0;
    uint32_t rows = 0;
    uint32_t city = 0;
    TextRef reading;              // the first row's, CP932
    bool readingToDigit = false;  // a 地割 list's: its name ends at the first digit
    bool building = false;
  };
  struct Building {
    uint32_t city;
    uint32_t group;
    std::string key;  // the town's key and the building's name
  };
  struct Office {
    char code[7];
    uint32_t prefecture = 0;
    int32_t city = -1;
    TextRef cityName, town, detail, name;
    WrittenNumbers numbers;  // the block at the start of its detail
  };
  // One row or office a lookup chose, with how well it matched.
  struct Found {
    bool office = false;
    uint32_t index = 0;
    MatchKind kind = MatchKind::kExact;
  };

  std::string text_;  // every name, CP932
  std::vector<Prefecture> prefectures_;
  std::vector<City> cities_;
  std::vector<Area> areas_;
  std::vector<TownForm> forms_;
  std::vector<Group> groups_;
  std::vector<Building> buildings_;
  std::vector<Office> offices_;
  KeyIndex cityKeys_, cityReadings_;
  KeyIndex townKeys_;  // city id and key -> group
  // The same for the towns' readings. Made at the first lookup that needs
  // it, so that a load does not pay for what most lookups never ask: the
  // table serves one thread.
  mutable KeyIndex townReadings_;
  mutable bool readingsMade_ = false;
  mutable size_t longestTownReading_ = 0;
  KeyIndex officeTowns_;  // city id and town key -> office
  KeyIndex officeNames_;
  size_t longestCityKey_ = 0;
  size_t longestTownKey_ = 0;
  uint32_t lastGroupCity_ = UINT32_MAX;  // the group the last row went to
  std::string lastGroupKey_;
  std::string probe_;  // a key with its city, while loading

  TextRef Store(std::string_view cp932);
  std::string_view Text(TextRef ref) const { return std::string_view(text_).substr(ref.at, ref.length); }
  uint32_t PrefectureOf(std::string_view cp932Name, std::string_view reading);
  uint32_t CityOf(uint32_t prefecture, std::string_view cp932Name, std::string_view reading);
  void AddArea(const std::vector<std::string>& fields);
  void AddGroupKey(KeyIndex& index, uint32_t city, std::string_view key, uint32_t group);
  void MakeReadings() const;

  std::vector<Candidate> Lookup(std::string key) const;
  void SearchAreas(std::string_view key, bool reading, std::vector<Found>& found) const;
  bool SearchTown(uint32_t city, std::string_view rest, bool reading, std::vector<Found>& found) const;
  void ChooseRows(uint32_t city, std::vector<uint32_t> groups, std::string_view townKey, std::string_view remainder,
                  std::vector<Found>& found) const;
  void AddOfficesAt(uint32_t city, std::string_view townKey, std::string_view remainder,
                    std::vector<Found>& found) const;
  Candidate ToCandidate(const Found& found) const;
  std::vector<uint32_t> RowsOf(const std::vector<uint32_t>& groups) const;
  std::vector<uint32_t> GroupsOf(const KeyIndex& index, uint32_t city, std::string_view key) const;
};

}  // namespace address
