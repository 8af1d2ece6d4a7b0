// Reads any bytes as "Tolvane.ini", and writes any text as the setting and
// reads it back: the reader returns the bytes before the first NUL of the
// first 500; a text the record can hold comes back as far as its first NUL
// in a file of exactly 500 bytes; a longer one is refused and the file kept.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "fuzz/fuzz_support.h"
#include "search/engine/settings_file.h"

namespace {

namespace engine = search::engine;

std::string UpToNul(std::string_view bytes) { return std::string(bytes.substr(0, bytes.find('\0'))); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);

  fuzz::WriteFile(engine::kSettingsFileName, bytes);
  std::optional<std::string> read = engine::ReadSettings();
  FUZZ_CHECK(read && *read == UpToNul(std::string_view(bytes).substr(0, engine::kSettingsRecordBytes)));

  bool written = engine::WriteSettings(bytes);
  std::string file = fuzz::ReadFile(engine::kSettingsFileName);
  FUZZ_CHECK(!fuzz::FileExists("Tolvane.ini.tmp"));
  if (size >= engine::kSettingsRecordBytes) {
    FUZZ_CHECK(!written);
    FUZZ_CHECK(file == bytes);
    return 0;
  }
  FUZZ_CHECK(written);
  FUZZ_CHECK(file.size() == engine::kSettingsRecordBytes);
  FUZZ_CHECK(file.compare(0, size, bytes) == 0 && file[size] == '\0');
  read = engine::ReadSettings();
  FUZZ_CHECK(read && *read == UpToNul(bytes));
  return 0;
}
