// The kana town index of a new workspace made from the previous one's
// after a difference update: the index files that the dropped and the
// newly imported records name are written anew from the new master file,
// each through a temporary file renamed into place, and every other file
// of the previous workspace is linked in (hard links where the file system
// allows, else copies). A file written anew is never linked first, so the
// previous workspace's files are never written. The result is the index a
// full build of the new master file makes: the same files with the same
// lines in the same order. Runs in the new workspace as its current
// directory. Does not touch the master files.
#pragma once

#include <string>

#include "tools/yubin/update/master_patch.h"

namespace yubin::update {

struct IndexUpdateReport {
  long filesLinked = 0;
  long filesWritten = 0;
  long filesRemoved = 0;
};

// `previous` is the host path of the previous workspace; `patch` holds the
// new master file and the records that changed. False, with `error`, when
// a file cannot be read, linked or written.
bool UpdateIndexFrom(const std::string& previous, const MasterPatch& patch, IndexUpdateReport& report,
                     std::string& error);

}  // namespace yubin::update
