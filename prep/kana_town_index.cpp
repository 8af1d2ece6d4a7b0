#include "prep/kana_town_index.h"

#include <cerrno>
#include <cstring>  // std::strerror
#include <utility>  // std::move
#include <vector>

#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "platform/text/cp932.h"

namespace prep {

namespace files = platform::files;
using platform::text::Cp932;

std::string KanaIndexPath(std::string_view key) {
  std::string path = "ZIP_CODE\\";
  path += key;
  path += ".Idx";
  return path;
}

std::string CityInitial(const MasterRecord& record) {
  // The first byte read for field 5: its comma when the field is empty.
  return record.city.empty() ? std::string(",") : record.city.substr(0, 1);
}

std::string KanaIndexKey(const MasterRecord& record) {
  std::string key = "N_";
  key += CityInitial(record);
  key += '\\';
  key += std::string_view(record.town).substr(0, 2);
  return key;
}

std::string KanaIndexLine(const MasterRecord& record) {
  std::string line;
  line.reserve(record.town.size() + record.prefecture.size() + record.postalCode.size() + record.city.size() +
               record.kanjiTown.size() + 5);
  line += record.town;
  line += ',';
  line += record.prefecture;
  line += ',';
  line += record.postalCode;
  line += ',';
  line += record.city;
  line += ',';
  line += record.kanjiTown;
  line += '\n';
  return line;
}

bool KeyNamesItsFile(const MasterRecord& record) {
  std::string initial = CityInitial(record);
  std::string town(std::string_view(record.town).substr(0, 2));
  bool absolute = false;
  std::vector<std::string> parts = files::SplitPath(KanaIndexPath(KanaIndexKey(record)), absolute);
  return parts.size() == 3 && parts[1] == "N_" + initial && parts[2] == town + ".Idx";
}

int KanaTownIndexBuilder::Fail(const std::string& reason, std::string_view firstText, std::string_view secondText) {
  ShowErrorBox(messages_, firstText);
  if (!secondText.empty()) ShowErrorBox(messages_, secondText);
  messages_.ShowReason(reason);
  m_masterFile.Close();
  return -1;
}

files::File KanaTownIndexBuilder::OpenKanaIndexFile(const std::string& path) {
  files::File file = files::Open(path, files::kReadWrite | files::kCreate | files::kAppend | files::kRegularFile, 0666);
  if (!file.IsOpen()) {
    static const std::string kText = Cp932("50 インデックスファイルオープンエラー");
    Fail(files::HostErrorText("open", path, errno), path, kText);
  }
  return file;
}

int KanaTownIndexBuilder::WriteKanaIndexLine(files::File file, std::string_view line, const std::string& path) {
  static const std::string kText = Cp932("Write インデックスファイルエラー");
  // Without the length before the write a failed write could not be cut
  // back, so nothing is written then.
  long long before = file.Size();
  if (before < 0) return Fail(files::HostErrorText("write", path, errno), kText);
  if (file.Write(line) != static_cast<long>(line.size())) {
    std::string reason = files::HostErrorText("write", path, errno);
    if (file.Truncate(before) != 0) {
      reason += "; cannot cut it back to its " + std::to_string(before) + " bytes either (" + std::strerror(errno) +
                "), so it ends in a torn line";
    }
    return Fail(reason, kText);
  }
  // A failed close can lose what was written, so it counts as a failed write.
  if (file.Close() != 0) return Fail(files::HostErrorText("write", path, errno), kText);
  return 0;
}

int KanaTownIndexBuilder::WritePendingLines() {
  // Files come in the order of their first line, so a failure stops before
  // any file whose lines all belong to later records.
  int result = 0;
  pending_.TakeEachFile([&](const std::string& path, std::string_view lines) {
    files::File file = OpenKanaIndexFile(path);
    if (!file.IsOpen() || WriteKanaIndexLine(std::move(file), lines, path) != 0) result = -1;
    return result == 0;
  });
  return result;
}

int KanaTownIndexBuilder::BuildKanaTownIndex(std::string_view driveText, std::string& cityInitial) {
  static const std::string kReadError = Cp932("READ ファイルオープンエラー");
  recordsWritten_ = 0;
  recordsSkipped_ = 0;
  recordsWithoutFile_ = 0;
  firstSkippedLines_.clear();
  std::string masterPath = std::string(driveText) + std::string(kMasterFileName);
  if (m_masterFile.Open(masterPath) != 0) return Fail(files::HostErrorText("open", masterPath, errno), kReadError);

  MasterRecord record;
  // Each record, whole or passed over, is one line of the master file.
  long line = 0;
  auto noteSkipped = [&] {
    if (firstSkippedLines_.size() < kSkippedLinesNoted) firstSkippedLines_.push_back(line);
  };
  for (;;) {
    ReadResult result = m_masterFile.ReadRecord(record);
    if (result == ReadResult::kEnd) break;
    ++line;
    // A failing read is as fatal as a failing open: the index would be cut
    // short without a word. The lines read before it are written first.
    if (result == ReadResult::kReadError) {
      std::string reason = files::HostErrorText("read", masterPath, errno);
      if (WritePendingLines() != 0) return -1;
      return Fail(reason, kReadError);
    }
    if (result == ReadResult::kShortRecord) {
      ++recordsSkipped_;
      noteSkipped();
      continue;
    }
    if (!KeyNamesItsFile(record)) {
      ++recordsWithoutFile_;
      noteSkipped();
      continue;
    }
    std::string initial = CityInitial(record);
    std::string key = KanaIndexKey(record);
    if (initial != cityInitial) {
      // A failure is left to the open of the index file, which reports it.
      files::MakeDirectory("ZIP_CODE\\N_" + initial);
      cityInitial = std::move(initial);
    }
    pending_.Add(KanaIndexPath(key), KanaIndexLine(record));
    ++recordsWritten_;
    if (pending_.bytes() >= kPendingBytes && WritePendingLines() != 0) return -1;
  }
  if (WritePendingLines() != 0) return -1;
  m_masterFile.Close();
  return 0;
}

}  // namespace prep
