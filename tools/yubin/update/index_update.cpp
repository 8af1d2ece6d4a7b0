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

// Links (or copies) the index files of one N_ directory.
bool LinkDirectory(const std::string& from, const std::string& to, const std::string& directory,
                   std::vector<std::pair<std::string, std::string>>& linked, std::string& error) {
  std::vector<std::string> names;
  if (files::Sys().listDirectory((from + "/" + directory).c_str(), names) != 0) {
    if (errno == ENOTDIR) return true;  // a file of that name: no part of the index
    error = files::HostPathErrorText("read", from + "/" + directory, errno);
    return false;
  }
  std::string target = to + "/" + directory;
  if (files::Sys().mkdir(target.c_str(), 0777) != 0 && errno != EEXIST) {
    error = files::HostPathErrorText("create directory", target, errno);
    return false;
  }
  std::string keyPrefix = "/zip_code/" + Folded(directory) + "/";
  for (const std::string& name : names) {
    if (!EndsWithIdx(name)) continue;
    std::string source = from + "/" + directory + "/" + name, path = target + "/" + name;
    if (files::Sys().link(source.c_str(), path.c_str()) != 0 && !CopyHostFile(source, path)) {
      error = files::HostPathErrorText("place", path, errno);
      return false;
    }
    linked.emplace_back(keyPrefix + Folded(name), std::move(path));
  }
  return true;
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
    error = files::HostPathErrorText("create", temporary, errno);
    return false;
  }
  if (out.Write(lines) < 0 || out.Close() != 0) {
    error = files::HostPathErrorText("write", temporary, errno);
    files::Sys().unlink(temporary.c_str());
    return false;
  }
  if (files::Sys().rename(temporary.c_str(), host.c_str()) != 0) {
    error = files::HostPathErrorText("replace", host, errno);
    files::Sys().unlink(temporary.c_str());
    return false;
  }
  return true;
}

// The key of a master line's index file from its raw bytes, cheaper than
// picking the record apart: the city's first byte and the town's first two.
// Nothing for a line with a NUL byte, which the record skips.
bool QuickKeyRecord(std::string_view line, prep::MasterRecord& record) {
  record.city.clear();
  record.town.clear();
  int commas = 0;
  for (char c : line) {
    if (c == 0) return false;
    if (c == ',') {
      if (++commas == 6) return true;
    } else if (commas == 4 && record.city.empty()) {
      record.city += c;
    } else if (commas == 5 && record.town.size() < 2) {
      record.town += c;
    }
  }
  return true;
}

}  // namespace

IndexLinker::IndexLinker(const std::string& previous, const std::string& workspace) {
  std::string from = previous + "/Zip_Code", to = workspace + "/Zip_Code";
  std::vector<std::string> directories;
  if (files::Sys().listDirectory(from.c_str(), directories) != 0) {
    error_ = files::HostPathErrorText("read the index of", previous, errno);
    return;
  }
  if (files::Sys().mkdir(to.c_str(), 0777) != 0 && errno != EEXIST) {
    error_ = files::HostPathErrorText("create directory", to, errno);
    return;
  }
  std::erase_if(directories, [](const std::string& name) { return !name.starts_with("N_"); });
  // The time goes to the file system's work on each link, which threads
  // overlap with each other and with the making of the master file.
  workers_.resize(std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4));
  for (size_t w = 0; w < workers_.size(); ++w) {
    workers_[w].thread = std::thread([this, w, from, to, directories] {
      Worker& worker = workers_[w];
      for (size_t i = w; i < directories.size(); i += workers_.size())
        if (!LinkDirectory(from, to, directories[i], worker.linked, worker.error)) return;
    });
  }
}

IndexLinker::~IndexLinker() {
  for (Worker& worker : workers_)
    if (worker.thread.joinable()) worker.thread.join();
}

bool IndexLinker::Wait(std::string& error) {
  for (Worker& worker : workers_) {
    if (!worker.thread.joinable()) continue;
    worker.thread.join();
    if (error_.empty()) error_ = worker.error;
    for (auto& [key, path] : worker.linked) linked_.emplace(std::move(key), std::move(path));
    worker.linked.clear();
  }
  error = error_;
  return error_.empty();
}

bool UpdateIndexFrom(IndexLinker& linker, const MasterPatch& patch, IndexUpdateReport& report, std::string& error) {
  if (!linker.Wait(error)) return false;
  KeyFiles keys;
  std::unordered_set<std::string> changed = ChangedFiles(patch, keys);
  report.filesLinked = static_cast<long>(linker.Linked().size());
  for (const std::string& file : changed) {
    auto link = linker.Linked().find(file);
    if (link == linker.Linked().end()) continue;
    if (files::Sys().unlink(link->second.c_str()) != 0) {
      error = files::HostPathErrorText("remove", link->second, errno);
      return false;
    }
    --report.filesLinked;
    ++report.filesRemoved;
  }
  // The changed files' lines in the order of the new master file, as a
  // full build appends them.
  prep::PendingIndexLines lines;
  prep::MasterRecord record;
  std::string_view master = patch.master;
  for (size_t start = 0; start < master.size();) {
    size_t end = master.find('\n', start);
    if (end == std::string_view::npos) end = master.size();
    std::string_view line = master.substr(start, end - start);
    start = end + 1;
    if (QuickKeyRecord(line, record)) {
      const KeyFiles::KeyFile& file = keys.Of(record);
      if (!file.namesFile || !changed.contains(file.hostFile)) continue;
    }
    if (prep::ParseMasterRecord(line, record) != prep::ReadResult::kRecord) continue;
    const KeyFiles::KeyFile& file = keys.Of(record);
    if (file.namesFile && changed.contains(file.hostFile))
      lines.Add(prep::KanaIndexPath(prep::KanaIndexKey(record)), prep::KanaIndexLine(record));
  }
  bool written = true;
  lines.TakeEachFile([&](const std::string& path, std::string_view text) {
    written = WriteIndexFile(path, text, error);
    if (!written) return false;
    ++report.filesWritten;
    if (linker.Linked().contains(prep::HostFileKey(path))) --report.filesRemoved;
    return true;
  });
  if (!written) return false;
  // A full build makes a city's directory only for a city with records:
  // one left empty goes (rmdir refuses any other).
  std::vector<std::string> directories;
  if (files::Sys().listDirectory("Zip_Code", directories) == 0)
    for (const std::string& directory : directories)
      if (directory.starts_with("N_")) rmdir(("Zip_Code/" + directory).c_str());
  return true;
}

}  // namespace yubin::update
