#include "tools/yubin/update/index_update.h"

#include <unistd.h>  // rmdir

#include <algorithm>  // std::clamp
#include <cerrno>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/host_path.h"
#include "platform/files/system_calls.h"
#include "prep/kana_town_index.h"
#include "prep/master_file.h"
#include "prep/pending_index_lines.h"

namespace yubin::update {

namespace files = platform::files;

namespace {

// A name in ASCII lower case, as the file layer matches names.
std::string Folded(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

// What a record's key names: whether it names a file at all, and the host
// file. Worked out once per key: a few thousand keys serve the whole file.
class KeyFiles {
 public:
  struct KeyFile {
    bool namesFile = false;
    std::string hostFile;
  };
  const KeyFile& Of(const prep::MasterRecord& record) {
    std::string key = prep::KanaIndexKey(record);
    auto [entry, isNew] = files_.try_emplace(key);
    if (isNew && prep::KeyNamesItsFile(record)) entry->second = {true, prep::HostFileKey(prep::KanaIndexPath(key))};
    return entry->second;
  }

 private:
  std::unordered_map<std::string, KeyFile> files_;
};

// The host files that the changed records name.
std::unordered_set<std::string> ChangedFiles(const MasterPatch& patch, KeyFiles& keys) {
  std::unordered_set<std::string> changed;
  prep::MasterRecord record;
  for (const std::vector<std::string>* records : {&patch.dropped, &patch.imported}) {
    for (const std::string& line : *records) {
      if (prep::ParseMasterRecord(line, record) != prep::ReadResult::kRecord) continue;
      const KeyFiles::KeyFile& file = keys.Of(record);
      if (file.namesFile) changed.insert(file.hostFile);
    }
  }
  return changed;
}

bool EndsWithIdx(const std::string& name) { return name.size() > 4 && Folded(name.substr(name.size() - 4)) == ".idx"; }

// A file's bytes copied where a link cannot be made (another file system).
bool CopyHostFile(const std::string& from, const std::string& to) {
  std::optional<std::string> bytes = files::ReadWholeHostFile(from);
  if (!bytes) return false;
  files::File out = files::OpenHostPath(to, files::kWrite | files::kCreate | files::kTruncate, 0666);
  return out.IsOpen() && out.Write(*bytes) >= 0 && out.Close() == 0;
}

// Links (or copies) one N_ directory's index files of the previous
// workspace into the same place below the current directory's Zip_Code,
// but for the changed ones: those are written anew, never through a link.
bool LinkDirectory(const std::string& from, const std::string& directory,
                   const std::unordered_set<std::string>& changed, long& linked, std::string& error) {
  std::vector<std::string> names;
  if (files::Sys().listDirectory((from + "/" + directory).c_str(), names) != 0) return true;  // no directory
  std::string to = "Zip_Code/" + directory;
  if (files::Sys().mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) {
    error = files::HostErrorText("create directory", to, errno);
    return false;
  }
  std::string keyPrefix = "/zip_code/" + Folded(directory) + "/";
  for (const std::string& name : names) {
    if (!EndsWithIdx(name) || changed.contains(keyPrefix + Folded(name))) continue;
    std::string source = from + "/" + directory + "/" + name, target = to + "/" + name;
    if (files::Sys().link(source.c_str(), target.c_str()) != 0 && !CopyHostFile(source, target)) {
      error = files::HostErrorText("place", target, errno);
      return false;
    }
    ++linked;
  }
  return true;
}

// Every N_ directory of the previous workspace, shared among a few threads:
// the time goes to the file system's work on each link, which threads
// overlap.
bool LinkPreviousIndex(const std::string& previous, const std::unordered_set<std::string>& changed,
                       IndexUpdateReport& report, std::string& error) {
  std::string from = previous + "/Zip_Code";
  std::vector<std::string> directories;
  if (files::Sys().listDirectory(from.c_str(), directories) != 0) {
    error = files::HostErrorText("read the index of", previous, errno);
    return false;
  }
  std::erase_if(directories, [](const std::string& name) { return !name.starts_with("N_"); });
  const size_t workers = std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
  std::vector<long> linked(workers, 0);
  std::vector<std::string> errors(workers);
  std::vector<std::thread> threads;
  for (size_t worker = 0; worker < workers; ++worker) {
    threads.emplace_back([&, worker] {
      for (size_t i = worker; i < directories.size(); i += workers)
        if (!LinkDirectory(from, directories[i], changed, linked[worker], errors[worker])) return;
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (size_t worker = 0; worker < workers; ++worker) {
    report.filesLinked += linked[worker];
    if (!errors[worker].empty() && error.empty()) error = errors[worker];
  }
  return error.empty();
}

// The file's new lines through a temporary file renamed over it. The host
// path is looked up once: each lookup of a new name reads its directory.
bool WriteIndexFile(const std::string& path, std::string_view lines, std::string& error) {
  std::string directory = path.substr(0, path.rfind('\\'));
  if (files::MakeDirectory(directory) != 0) {
    error = files::HostErrorText("create directory", directory, errno);
    return false;
  }
  std::string host = files::HostPath(path), temporary = host + ".new";
  files::File out = files::OpenHostPath(temporary, files::kWrite | files::kCreate | files::kTruncate, 0666);
  if (!out.IsOpen()) {
    error = files::HostErrorText("create", temporary, errno);
    return false;
  }
  if (out.Write(lines) < 0 || out.Close() != 0) {
    error = files::HostErrorText("write", temporary, errno);
    files::Sys().unlink(temporary.c_str());
    return false;
  }
  if (files::Sys().rename(temporary.c_str(), host.c_str()) != 0) {
    error = files::HostErrorText("replace", host, errno);
    files::Sys().unlink(temporary.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool UpdateIndexFrom(const std::string& previous, const MasterPatch& patch, IndexUpdateReport& report,
                     std::string& error) {
  KeyFiles keys;
  std::unordered_set<std::string> changed = ChangedFiles(patch, keys);
  if (files::MakeDirectory("Zip_Code") != 0) {
    error = files::HostErrorText("create directory", "Zip_Code", errno);
    return false;
  }
  if (!LinkPreviousIndex(previous, changed, report, error)) return false;
  // The changed files' lines in the order of the new master file, as a
  // full build appends them.
  prep::PendingIndexLines lines;
  prep::MasterRecord record;
  std::string_view master = patch.master;
  for (size_t start = 0; start < master.size();) {
    size_t end = master.find('\n', start);
    if (end == std::string_view::npos) end = master.size();
    if (prep::ParseMasterRecord(master.substr(start, end - start), record) == prep::ReadResult::kRecord) {
      const KeyFiles::KeyFile& file = keys.Of(record);
      if (file.namesFile && changed.contains(file.hostFile))
        lines.Add(prep::KanaIndexPath(prep::KanaIndexKey(record)), prep::KanaIndexLine(record));
    }
    start = end + 1;
  }
  bool written = true;
  lines.TakeEachFile([&](const std::string& path, std::string_view text) {
    written = WriteIndexFile(path, text, error);
    if (written) ++report.filesWritten;
    return written;
  });
  if (!written) return false;
  report.filesRemoved = static_cast<long>(changed.size()) - report.filesWritten;
  // A full build makes a city's directory only for a city with records:
  // one left empty goes (rmdir refuses any other).
  std::vector<std::string> directories;
  if (files::Sys().listDirectory("Zip_Code", directories) == 0)
    for (const std::string& directory : directories)
      if (directory.starts_with("N_")) rmdir(("Zip_Code/" + directory).c_str());
  return true;
}

}  // namespace yubin::update
