// The kana town index of the bundled postal data, built once for all test
// programs by `yubin import` and `yubin build`, below the build directory.
// A build goes to a temporary directory first and is renamed into place, so
// test processes running side by side never see half an index.
#pragma once

#include <sys/stat.h>  // stat

#include <cstdlib>  // std::getenv, std::system, mkdtemp
#include <filesystem>
#include <string>

namespace search::engine::testing {

// The directory holding ZIP_CODE, or an empty text when it cannot be built.
inline std::string FullIndexDirectory(std::string& problem) {
  const char* source = std::getenv("YUBIN_SOURCE_DIR");
  const char* binary = std::getenv("YUBIN_BINARY_DIR");
  if (!source || !binary) {
    problem = "YUBIN_SOURCE_DIR and YUBIN_BINARY_DIR must be set";
    return "";
  }
  std::string yubin = std::string(binary) + "/tools/yubin/yubin";
  struct stat st;
  if (stat(yubin.c_str(), &st) != 0) {
    problem = "no yubin program at " + yubin;
    return "";
  }
  // A new yubin program builds a new index.
  std::string index = std::string(binary) + "/test_data/full_index_" + std::to_string(st.st_mtime);
  if (std::filesystem::exists(index + "/ZIP_CODE")) return index;

  std::filesystem::create_directories(std::string(binary) + "/test_data");
  std::string pattern = index + ".building_XXXXXX";
  if (!mkdtemp(pattern.data())) {
    problem = "cannot make " + pattern;
    return "";
  }
  std::string command = "cd '" + pattern + "' && '" YUBIN_CMAKE "' -E tar xf '" + source +
                        "/data/ken_all.zip' && '" + yubin + "' import KEN_ALL.CSV ALL_ZIP.TXT >/dev/null && '" +
                        yubin + "' build >/dev/null";
  if (std::system(command.c_str()) != 0) {
    problem = "failed: " + command;
    std::filesystem::remove_all(pattern);
    return "";
  }
  std::error_code error;
  std::filesystem::rename(pattern, index, error);
  // Another test process may have put its build in place first.
  if (error) std::filesystem::remove_all(pattern);
  return std::filesystem::exists(index + "/ZIP_CODE") ? index : "";
}

}  // namespace search::engine::testing
