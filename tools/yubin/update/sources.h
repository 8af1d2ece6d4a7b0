// Where the postal authority publishes its files, in one place: a base
// address and each file's path below it. A mirror (or a test's server)
// is another base with the same paths below it (yubin update --from).
// Also the months that name the monthly difference files, and the record a
// workspace keeps of where its files came from. Does not fetch anything.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/yubin/update/download.h"

namespace yubin::update {

// The authority's download area. The paths below it are the ones its
// download pages name; where the authority moves them, this is the one
// place to change.
inline constexpr char kDefaultBase[] = "https://www.post.japanpost.jp/zipcode/dl/";

enum class Edition { kCp932, kUtf8 };

// A month, counted from year 0 (year * 12 + month - 1).
struct Month {
  int index = 0;
  int Year() const { return index / 12; }
  int Number() const { return index % 12 + 1; }
  // "2606" for June 2026, as the difference files are named.
  std::string Yymm() const;
};

// The month of a time in Japan (UTC+9), where the data is dated.
Month MonthOf(long long time);
// "2026-06-30" in Japan's time.
std::string DateText(long long time);

// Paths below the base.
std::string AddressFilePath(Edition edition);  // kogaki/zip/ken_all.zip, utf/zip/utf_ken_all.zip
std::string OfficeFilePath();                  // jigyosyo/zip/jigyosyo.zip
// The month's changes: deletions and additions of addresses (del_YYMM.zip,
// add_YYMM.zip) and of business offices (jdel_YYMM.zip, jadd_YYMM.zip).
std::string AddressDeletionsPath(Month month);
std::string AddressAdditionsPath(Month month);
std::string OfficeDeletionsPath(Month month);
std::string OfficeAdditionsPath(Month month);

// One file a workspace was made from.
struct SourceFile {
  std::string name;  // the file's name (ken_all.zip, add_2606.zip)
  std::string url;
  long long time = -1;  // its Last-Modified, or -1
  std::string sha256;
  long long bytes = 0;
};

// What a workspace made by an update keeps in ".sources": the data's date,
// the edition, the validators of the address file as the server last
// described it (for the next conditional request), and each file taken.
struct SourceRecord {
  long long dataTime = -1;
  Edition edition = Edition::kCp932;
  std::string addressUrl;
  Validators addressValidators;
  std::vector<SourceFile> files;
};

inline constexpr char kSourceRecordName[] = ".sources";

// Nothing when the workspace has no readable record (one made by yubin
// start from the installed or a downloaded copy of the data).
std::optional<SourceRecord> ReadSourceRecord(const std::string& workspace);
bool WriteSourceRecord(const std::string& workspace, const SourceRecord& record, std::string& error);

// The record as lines for a person: the data's date, then each file with
// its address, date and SHA-256.
std::string DescribeSourceRecord(const SourceRecord& record);

}  // namespace yubin::update
