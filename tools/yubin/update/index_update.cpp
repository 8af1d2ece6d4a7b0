#include "tools/yubin/update/index_update.h"

#include <unistd.h>  // rmdir

#include <cerrno>
#include <filesystem>
#include <map>
#include <optional>
#include <set>

#include "platform/files/file.h"
#include "platform/text/cp932.h"
#include "prep/kana_town_index.h"
#include "prep/master_file.h"

namespace yubin::update {

namespace fs = std::filesystem;
namespace files = platform::files;

namespace {

// Each index file's lines as a full build writes them, by key.
using IndexContents = std::map<std::string, std::string>;

bool ReadIndexContents(const std::string& masterPath, const std::string& name, IndexContents& contents,
                       std::string& error) {
  prep::MasterFile master;
  if (master.Open(masterPath) != 0) {
    error = files::HostErrorText("open", name, errno);
    return false;
  }
  prep::MasterRecord record;
  for (;;) {
    prep::ReadResult result = master.ReadRecord(record);
    if (result == prep::ReadResult::kEnd) return true;
    if (result == prep::ReadResult::kReadError) {
      error = files::HostErrorText("read", name, errno);
      return false;
    }
    if (result == prep::ReadResult::kRecord && prep::KeyNamesItsFile(record))
      contents[prep::KanaIndexKey(record)] += prep::KanaIndexLine(record);
  }
}

// A key in one ASCII case, as the file layer matches names.
std::string Folded(std::string key) {
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

// The key of an index file from its host directory and file names, folded.
std::string KeyOf(const std::string& directory, const std::string& file) {
  std::string stem = file.size() > 4 ? file.substr(0, file.size() - 4) : file;
  std::optional<std::string> key = platform::text::ToCp932Strict(directory + "\\" + stem);
  return key ? Folded(*key) : std::string();
}

// Links (or copies) the files of the previous index's N_ directories into
// the same place below the current directory's Zip_Code, but for those
// whose key is in `changed`: those are written anew, never through a link.
bool LinkPreviousIndex(const std::string& previous, const std::set<std::string>& changed, IndexUpdateReport& report,
                       std::string& error) {
  std::error_code ec;
  fs::path from = fs::path(previous) / "Zip_Code";
  for (const fs::directory_entry& directory : fs::directory_iterator(from, ec)) {
    std::string name = directory.path().filename().string();
    if (!name.starts_with("N_") || !directory.is_directory(ec) || directory.is_symlink(ec)) continue;
    fs::path to = fs::path("Zip_Code") / name;
    std::error_code made;
    fs::create_directory(to, made);
    if (made) {
      error = "cannot create directory " + to.string() + ": " + made.message();
      return false;
    }
    for (const fs::directory_entry& file : fs::directory_iterator(directory.path(), ec)) {
      if (!file.is_regular_file(ec) || file.is_symlink(ec)) continue;
      if (changed.contains(KeyOf(name, file.path().filename().string()))) continue;
      fs::path target = to / file.path().filename();
      std::error_code linkError;
      fs::create_hard_link(file.path(), target, linkError);
      if (linkError) fs::copy_file(file.path(), target, fs::copy_options::overwrite_existing, linkError);
      if (linkError) {
        error = "cannot place " + target.string() + ": " + linkError.message();
        return false;
      }
      ++report.filesLinked;
    }
    if (ec) break;
  }
  if (ec) {
    error = "cannot read the index of " + previous + ": " + ec.message();
    return false;
  }
  return true;
}

// The file's new lines through a temporary file renamed over it.
bool WriteIndexFile(const std::string& key, const std::string& lines, std::string& error) {
  std::string path = prep::KanaIndexPath(key);
  std::string directory = path.substr(0, path.rfind('\\'));
  std::string temporary = path + ".new";
  if (files::MakeDirectory(directory) != 0) {
    error = files::HostErrorText("create directory", directory, errno);
    return false;
  }
  files::File out = files::Open(temporary, files::kWrite | files::kCreate | files::kTruncate, 0666);
  if (!out.IsOpen()) {
    error = files::HostErrorText("create", temporary, errno);
    return false;
  }
  if (out.Write(lines) < 0 || out.Close() != 0) {
    error = files::HostErrorText("write", temporary, errno);
    files::Remove(temporary);
    return false;
  }
  if (files::Rename(temporary, path) != 0) {
    error = files::HostErrorText("replace", path, errno);
    files::Remove(temporary);
    return false;
  }
  return true;
}

}  // namespace

bool UpdateIndexFrom(const std::string& previous, IndexUpdateReport& report, std::string& error) {
  IndexContents before, after;
  std::string previousMaster = previous + "/" + std::string(prep::kMasterFileName);
  std::optional<std::string> previousMasterPath = platform::text::ToCp932Strict(previousMaster);
  if (!previousMasterPath) {
    error = previousMaster + ": the path has no CP932 form";
    return false;
  }
  if (!ReadIndexContents(*previousMasterPath, previousMaster, before, error) ||
      !ReadIndexContents(std::string(prep::kMasterFileName), std::string(prep::kMasterFileName), after, error))
    return false;
  if (files::MakeDirectory("Zip_Code") != 0) {
    error = files::HostErrorText("create directory", "Zip_Code", errno);
    return false;
  }
  // The keys whose files change or go, in one case: a name the file layer
  // matched without regard to case is one file.
  std::set<std::string> changed;
  for (const auto& [key, lines] : after) {
    auto old = before.find(key);
    if (old == before.end() || old->second != lines) changed.insert(Folded(key));
  }
  for (const auto& [key, lines] : before) {
    if (!after.contains(key)) {
      changed.insert(Folded(key));
      ++report.filesRemoved;
    }
  }
  if (!LinkPreviousIndex(previous, changed, report, error)) return false;
  for (const auto& [key, lines] : after) {
    if (!changed.contains(Folded(key))) continue;
    if (!WriteIndexFile(key, lines, error)) return false;
    ++report.filesWritten;
  }
  // A full build makes a city's directory only for a city with records:
  // one left empty goes (rmdir refuses any other).
  std::error_code ec;
  for (const fs::directory_entry& directory : fs::directory_iterator("Zip_Code", ec))
    if (directory.path().filename().string().starts_with("N_")) rmdir(directory.path().c_str());
  return true;
}

}  // namespace yubin::update
