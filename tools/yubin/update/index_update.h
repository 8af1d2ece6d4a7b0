// The kana town index of a new workspace made from the previous one's
// after a difference update. IndexLinker links every index file of the
// previous workspace into the new one (hard links where the file system
// allows, else copies) on threads of its own, while the new master file is
// made; UpdateIndexFrom then takes out the links of the files that the
// dropped and the newly imported records name and writes those anew from
// the new master file, each through a temporary file renamed into place.
// A changed file's link is removed, never written through, so the previous
// workspace's files stay as they were. The result is the index a full
// build of the new master file makes: the same files with the same lines
// in the same order. Does not touch the master files.
#pragma once

#include <string>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "tools/yubin/update/master_patch.h"

namespace yubin::update {

class IndexLinker {
 public:
  // Starts linking the index files below `previous`/Zip_Code into the same
  // places below `workspace`/Zip_Code (host paths).
  IndexLinker(const std::string& previous, const std::string& workspace);
  ~IndexLinker();  // waits for the threads
  IndexLinker(const IndexLinker&) = delete;
  IndexLinker& operator=(const IndexLinker&) = delete;

  // Waits until every file is linked: true, or false with `error`.
  bool Wait(std::string& error);

  // Once waited for: each file linked, by its host-file key (see
  // prep::HostFileKey), with its host path.
  const std::unordered_map<std::string, std::string>& Linked() const { return linked_; }

 private:
  struct Worker {
    std::thread thread;
    std::vector<std::pair<std::string, std::string>> linked;
    std::string error;
  };

  std::string error_;
  std::vector<Worker> workers_;
  std::unordered_map<std::string, std::string> linked_;
};

struct IndexUpdateReport {
  long filesLinked = 0;
  long filesWritten = 0;
  long filesRemoved = 0;
};

// Runs in the new workspace as its current directory. `patch` holds the new
// master file and the records that changed. False, with `error`, when a
// file cannot be linked, removed or written.
bool UpdateIndexFrom(IndexLinker& linker, const MasterPatch& patch, IndexUpdateReport& report, std::string& error);

}  // namespace yubin::update
