// The master file of data that a month's differences changed, made from
// the previous master file instead of importing the whole address file
// again. The import joins rows only under one postal code, so each run of
// consecutive rows under one code is imported on its own: a run that the
// changes left as it was keeps the records it had, and only the other runs
// are imported. The previous master file's runs are matched with those of
// the previous address file; where they do not match (a master file edited
// by hand, say), the whole new address file is imported. The result is the
// master file an import of the new address file makes. Reads and writes no
// file.
#pragma once

#include <string>
#include <vector>

#include "tools/yubin/update/differences.h"

namespace yubin::update {

struct MasterPatch {
  std::string master;  // the new master file
  // Records, without their endings, of the previous master file that were
  // dropped and of the new one that were imported anew: the index files
  // they name are the ones that change.
  std::vector<std::string> dropped;
  std::vector<std::string> imported;
  bool importedWhole = false;  // the runs did not match
};

// `before` is the previous address file and `previousMaster` the master
// file imported from it; `after` the new address file (CP932). False, with
// `error` naming the line, when a new row is no postal row.
bool PatchMaster(const CsvLines& before, const std::string& previousMaster, const CsvLines& after, MasterPatch& patch,
                 std::string& error);

}  // namespace yubin::update
