// The kana town index of the bundled postal data, built once for all test
// processes of one test program (KEN_ALL.CSV imported, then indexed, by the
// data preparation library) below the build directory. A build goes to a
// temporary directory first and is renamed into place, so test processes
// running side by side never see half an index.
#pragma once

#include <sys/stat.h>  // stat
#include <unistd.h>    // chdir, getcwd

#include <climits>  // PATH_MAX
#include <cstdlib>  // std::getenv, std::system, mkdtemp
#include <filesystem>
#include <string>

#include "platform/files/file.h"
#include "prep/import/ken_all_import.h"
#include "prep/kana_town_index.h"

namespace search::engine::testing {

// Builder messages are fatal anyway; the test sees the missing index.
class SilentPrepMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view, std::string_view, prep::MessageButtons) override { return 0; }
};

// Imports KEN_ALL.CSV and builds the index in the current directory.
inline bool BuildIndexHere(std::string& problem) {
  prep::import::ImportReport report;
  if (prep::import::ImportKenAll("KEN_ALL.CSV", "ALL_ZIP.TXT", report, problem) != 0) return false;
  if (platform::files::MakeDirectory("Zip_Code") != 0) {
    problem = "cannot make Zip_Code";
    return false;
  }
  SilentPrepMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  std::string cityInitial;
  if (builder.BuildKanaTownIndex("", cityInitial) != 0) {
    problem = "the index build failed";
    return false;
  }
  return true;
}

// The directory holding ZIP_CODE, or an empty text when it cannot be built.
inline std::string FullIndexDirectory(std::string& problem) {
  const char* source = std::getenv("YUBIN_SOURCE_DIR");
  const char* binary = std::getenv("YUBIN_BINARY_DIR");
  if (!source || !binary) {
    problem = "YUBIN_SOURCE_DIR and YUBIN_BINARY_DIR must be set";
    return "";
  }
  // A newly built test program builds a new index. Each test program has
  // indexes of its own, so that one never removes what another, running
  // beside it, still reads.
  struct stat self;
  if (stat("/proc/self/exe", &self) != 0) {
    problem = "cannot stat the test program";
    return "";
  }
  std::string program = std::filesystem::read_symlink("/proc/self/exe").filename().string();
  std::string prefix = "full_index_" + program + "_";
  std::string index = std::string(binary) + "/test_data/" + prefix + std::to_string(self.st_mtime);
  if (std::filesystem::exists(index)) return index;

  std::filesystem::create_directories(std::string(binary) + "/test_data");
  std::string building = index + ".building_XXXXXX";
  if (!mkdtemp(building.data())) {
    problem = "cannot make " + building;
    return "";
  }
  std::string unzip =
      "cd '" + building + "' && '" YUBIN_CMAKE "' -E tar xf '" + std::string(source) + "/data/ken_all.zip'";
  char previous[PATH_MAX];
  bool built = std::system(unzip.c_str()) == 0 && getcwd(previous, sizeof previous) && chdir(building.c_str()) == 0 &&
               BuildIndexHere(problem);
  if (chdir(previous) != 0 || !built) {
    if (problem.empty()) problem = "cannot unpack the bundled data into " + building;
    std::filesystem::remove_all(building);
    return "";
  }
  std::filesystem::remove(building + "/KEN_ALL.CSV");
  std::error_code error;
  std::filesystem::rename(building, index, error);
  // Another test process may have put its build in place first.
  if (error) std::filesystem::remove_all(building);
  // Indexes of earlier builds of this test program are of no further use.
  for (const auto& entry : std::filesystem::directory_iterator(std::string(binary) + "/test_data")) {
    std::string name = entry.path().filename().string();
    if (name.starts_with(prefix) && name.find(".building_") == std::string::npos && entry.path().string() != index)
      std::filesystem::remove_all(entry.path(), error);
  }
  return std::filesystem::exists(index) ? index : "";
}

}  // namespace search::engine::testing
