#include "search/engine/settings_file.h"

#include <string>

#include "platform/files/file.h"
#include "platform/files/whole_file.h"
#include "platform/text/cp932.h"

namespace search::engine {
namespace files = platform::files;

std::optional<std::string> ReadSettings() {
  // A named pipe or device in its place counts as a file that cannot be
  // opened, and never holds the reader up.
  files::File file = files::Open(kSettingsFileName, files::kRead | files::kRegularFile);
  if (!file.IsOpen()) return std::nullopt;
  char record[kSettingsRecordBytes];
  size_t got = 0;
  while (got < sizeof record) {
    long n = file.Read(record + got, sizeof record - got);
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  std::string_view bytes(record, got);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

bool WriteSettings(std::string_view text) {
  if (text.size() >= kSettingsRecordBytes) return false;
  std::string record(text);
  record.resize(kSettingsRecordBytes, '\0');
  // A failed or short write keeps the old file whole; a link is followed,
  // a write-protected file is left as it is.
  return files::WriteWholeFile(kSettingsFileName, record) == 0;
}

const std::string& SettingsErrorText() {
  static const std::string text = platform::text::Cp932("＊＊ Tolvane.ini ファイルが開く事ができません。＊＊");
  return text;
}

}  // namespace search::engine
