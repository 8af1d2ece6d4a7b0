// Imports any bytes as the postal authority's CSV. A refused file leaves the
// old master file and no temporary file; an accepted one gives exactly the
// records counted, each a line of CP932 text with fifteen fields and no
// separator of its own in the bytes that name its index file.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "prep/import/ken_all_import.h"

namespace {

constexpr char kOldMaster[] = "the old master file\n";

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

void CheckRecord(std::string_view record) {
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < record.size(); i += fuzz::Cp932CharAt(record, i)) {
    size_t length = fuzz::Cp932CharAt(record, i);
    FUZZ_CHECK(length == 2 || static_cast<unsigned char>(record[i]) < 0x80 ||
               (static_cast<unsigned char>(record[i]) >= 0xA1 &&
                static_cast<unsigned char>(record[i]) <= 0xDF));
    FUZZ_CHECK(static_cast<unsigned char>(record[i]) >= 0x20);
    if (record[i] == ',')
      fields.emplace_back();
    else
      fields.back().append(record.substr(i, length));
  }
  FUZZ_CHECK(fields.size() == prep::import::kFieldCount);
  const std::string& city = fields[4];
  const std::string& town = fields[5];
  FUZZ_CHECK(city.empty() || !IsSeparator(city[0]));
  FUZZ_CHECK(town.empty() || !IsSeparator(town[0]));
  if (town.size() >= 2 && fuzz::Cp932CharAt(town, 0) == 1) FUZZ_CHECK(!IsSeparator(town[1]));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::WriteFile("KEN_ALL.CSV", std::string(reinterpret_cast<const char*>(data), size));
  fuzz::WriteFile("ALL_ZIP.TXT", kOldMaster);
  prep::import::ImportReport report;
  std::string error;
  int result = prep::import::ImportKenAll("KEN_ALL.CSV", "ALL_ZIP.TXT", report, error);
  std::string master = fuzz::ReadFile("ALL_ZIP.TXT");
  FUZZ_CHECK(!fuzz::FileExists("ALL_ZIP.TXT.tmp"));
  if (result != 0) {
    FUZZ_CHECK(result == -1);
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(master == kOldMaster);
    return 0;
  }
  long records = 0;
  for (size_t start = 0; start < master.size();) {
    size_t end = master.find('\n', start);
    std::string_view record(master);
    record = record.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (end != std::string::npos && record.ends_with('\r')) record.remove_suffix(1);
    CheckRecord(record);
    ++records;
    start = end == std::string::npos ? master.size() : end + 1;
  }
  FUZZ_CHECK(records == report.recordsWritten);
  FUZZ_CHECK(records <= report.linesRead);
  return 0;
}
