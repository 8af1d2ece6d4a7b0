// Builds the kana town index from any bytes as the master file, in a fresh
// "Zip_Code" each time: the build succeeds; it files exactly the lines with
// nine commas or more (NUL bytes passed over) whose key names a file of its
// own, and counts the others; every record filed is one line of five fields
// in the index file its key names; every index file ends at a whole line;
// and nothing is written outside "Zip_Code".
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "prep/kana_town_index.h"

namespace {

namespace fs = std::filesystem;

// Boxes are counted; nothing is shown.
class CountingMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view, std::string_view, prep::MessageButtons) override {
    ++shown;
    return 1;
  }
  void ShowReason(std::string_view) override {}
  int shown = 0;
};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Whether the key of a record with these city and town readings names a
// file of its own: no separator among its bytes, and no lead byte as the
// city initial, which would take the "\\" after it as its trail byte.
bool KeyNamesAFile(std::string_view city, std::string_view town) {
  auto initial = static_cast<unsigned char>(city.empty() ? ',' : city[0]);
  bool lead = (initial >= 0x81 && initial <= 0x9F) || (initial >= 0xE0 && initial <= 0xFC);
  if (lead || IsSeparator(static_cast<char>(initial))) return false;
  std::string name = std::string(town.substr(0, 2)) + ".Idx";
  for (size_t i = 0; i < name.size(); i += fuzz::Cp932CharAt(name, i))
    if (fuzz::Cp932CharAt(name, i) == 1 && IsSeparator(name[i])) return false;
  return true;
}

// Records filed, records whose key names no file, and lines skipped, as the
// master file's rules count them, worked out here apart from the reader.
void CountRecords(std::string_view master, long& filed, long& withoutFile, long& skipped) {
  filed = withoutFile = skipped = 0;
  std::vector<std::string> fields(1);
  bool inLine = false;
  auto endLine = [&] {
    if (fields.size() < 10)
      ++skipped;
    else if (KeyNamesAFile(fields[4], fields[5]))
      ++filed;
    else
      ++withoutFile;
    fields.assign(1, std::string());
    inLine = false;
  };
  for (char c : master) {
    if (c == '\0') continue;
    if (c == '\n') {
      endLine();
      continue;
    }
    inLine = true;
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  if (inLine) endLine();
}

// Splits an index line (LF taken off) at its commas.
std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string master(reinterpret_cast<const char*>(data), size);
  std::error_code ignored;
  fs::remove_all("Zip_Code", ignored);
  fuzz::WriteFile("ALL_ZIP.TXT", master);
  FUZZ_CHECK(platform::files::MakeDirectory("Zip_Code") == 0);
  prep::KanaTownIndexBuilder::s_lastCityInitial.clear();

  CountingMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  FUZZ_CHECK(builder.BuildKanaTownIndex() == 0);
  FUZZ_CHECK(messages.shown == 0);
  long records, withoutFile, skipped;
  CountRecords(master, records, withoutFile, skipped);
  FUZZ_CHECK(builder.recordsWritten() == records);
  FUZZ_CHECK(builder.recordsWithoutFile() == withoutFile);
  FUZZ_CHECK(builder.recordsSkipped() == skipped);

  long lines = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
    std::string path = entry.path().lexically_normal().string();
    if (path == "ALL_ZIP.TXT" || path == "Zip_Code") continue;
    FUZZ_CHECK(path.starts_with("Zip_Code/"));
    if (entry.is_directory()) continue;
    FUZZ_CHECK(entry.is_regular_file());
    std::string text = fuzz::ReadFile(path);
    FUZZ_CHECK(!text.empty() && text.back() == '\n');
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      std::vector<std::string> fields = Fields(std::string_view(text).substr(start, end - start));
      FUZZ_CHECK(fields.size() == 5);
      // Town, prefecture, code, city, kanji: the key is the city's first
      // byte (its comma when empty) and the town's first two.
      std::string key = "N_" + (fields[3].empty() ? std::string(",") : fields[3].substr(0, 1)) + "\\" +
                        fields[0].substr(0, 2);
      FUZZ_CHECK(fs::path(platform::files::HostPath(prep::KanaIndexPath(key))).lexically_normal() == path);
      ++lines;
      start = end + 1;
    }
  }
  FUZZ_CHECK(lines == records);
  return 0;
}
