// Helpers shared by the fuzzers: a scratch directory that is the current
// directory while the fuzzer runs, whole-file reads and writes, and a check
// that ends the run with a message, so the fuzzer keeps the input.
#pragma once

#include <unistd.h>  // chdir

#include <cstdio>      // std::fprintf
#include <cstdlib>     // mkdtemp, std::abort, std::atexit, std::getenv
#include <filesystem>  // remove_all
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace fuzz {

inline std::string& ScratchDirectory() {
  static std::string path;
  return path;
}

// Makes a fresh directory the current one and removes it when the fuzzer
// ends normally. It lies in memory where the host offers that (/dev/shm): a
// disk file system may flush a rewritten file at every close.
inline void EnterScratchDirectory() {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : tmp && *tmp ? tmp : "/tmp";
  std::string pattern = base + "/yubin-fuzz-XXXXXX";
  if (!mkdtemp(pattern.data()) || chdir(pattern.c_str()) != 0) {
    std::fprintf(stderr, "cannot make a scratch directory from %s\n", pattern.c_str());
    std::abort();
  }
  ScratchDirectory() = pattern;
  std::atexit([] {
    std::error_code ignored;
    if (chdir("/") == 0) std::filesystem::remove_all(ScratchDirectory(), ignored);
  });
}

inline void WriteFile(const std::string& name, const std::string& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadFile(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool FileExists(const std::string& name) {
  std::error_code ignored;
  return std::filesystem::exists(name, ignored);
}

// The length of the CP932 character at text[i]: 2 for a lead byte followed
// by a valid trail byte, else 1. Written out here rather than taken from
// the code under test.
inline size_t Cp932CharAt(std::string_view text, size_t i) {
  auto b = static_cast<unsigned char>(text[i]);
  bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  if (!lead || i + 1 >= text.size()) return 1;
  auto t = static_cast<unsigned char>(text[i + 1]);
  return (t >= 0x40 && t <= 0xFC && t != 0x7F) ? 2 : 1;
}

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) ((condition) ? static_cast<void>(0) : ::fuzz::Fail(#condition, __FILE__, __LINE__))
