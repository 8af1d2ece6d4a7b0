#include "search/engine/settings_file.h"

#include <cerrno>
#include <vector>

#include "platform/files/file.h"
#include "platform/text/cp932.h"

namespace search::engine {
namespace {

constexpr char kTemporaryName[] = "Tolvane.ini.tmp";

namespace files = platform::files;

}  // namespace

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

  // A write-protected settings file stays as it is, as it would if it were
  // written in place; the rename below would otherwise replace it. So does
  // one that is no regular file.
  if (files::File existing = files::Open(kSettingsFileName, files::kWrite | files::kRegularFile);
      !existing.IsOpen() && errno != ENOENT)
    return false;

  std::vector<char> record(kSettingsRecordBytes, '\0');
  std::copy(text.begin(), text.end(), record.begin());

  files::File file = files::Open(kTemporaryName, files::kReadWrite | files::kCreate | files::kTruncate, 0666);
  if (!file.IsOpen()) return false;
  bool written = file.Write(record.data(), record.size()) == static_cast<long>(record.size());
  bool closed = file.Close() == 0;
  if (!written || !closed || files::Rename(kTemporaryName, kSettingsFileName) != 0) {
    files::Remove(kTemporaryName);
    return false;
  }
  return true;
}

const std::string& SettingsErrorText() {
  static const std::string text = platform::text::Cp932("＊＊ Tolvane.ini ファイルが開く事ができません。＊＊");
  return text;
}

}  // namespace search::engine
