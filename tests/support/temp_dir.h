// A fresh directory under the system's temporary directory for one test,
// made the current directory while the object lives, removed afterwards.
#pragma once

#include <unistd.h>  // chdir, getcwd

#include <climits>     // PATH_MAX
#include <cstdlib>     // mkdtemp
#include <filesystem>  // remove_all
#include <fstream>
#include <iterator>
#include <string>

class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/yubin-test-XXXXXX";
    path_ = mkdtemp(pattern);
    char cwd[PATH_MAX];
    previous_ = getcwd(cwd, sizeof cwd) ? cwd : "/";
    if (chdir(path_.c_str()) != 0) path_.clear();
  }
  ~TempDir() {
    if (chdir(previous_.c_str()) != 0) return;
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  // Writes bytes to a host file name relative to the directory.
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(path_ + "/" + name, std::ios::binary | std::ios::trunc);
    out << bytes;
  }

  // The bytes of a host file, or an empty text when it cannot be read.
  std::string Read(const std::string& name) const {
    std::ifstream in(path_ + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(path_ + "/" + name); }

 private:
  std::string path_;
  std::string previous_;
};
