// Maps any CP932 path text to a host path. The components are the runs
// between "\" and "/" standing as characters of their own; each becomes one
// host name that is valid UTF-8 without NUL, control byte or slash, and is
// "." or ".." only where the component is, so a relative path never climbs
// above its base further than its own text says. The same text always maps
// to the same path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files/host_path.h"

namespace {

namespace files = platform::files;

// The components by the rules, written out apart from the code under test.
std::vector<std::string> Components(std::string_view path, bool& absolute) {
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    path.remove_prefix(2);
  absolute = !path.empty() && (path[0] == '/' || path[0] == '\\');
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < path.size();) {
    size_t length = fuzz::Cp932CharAt(path, i);
    if (length == 1 && (path[i] == '/' || path[i] == '\\'))
      parts.emplace_back();
    else
      parts.back().append(path.substr(i, length));
    i += length;
  }
  std::erase(parts, std::string());
  return parts;
}

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3 : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > s.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

std::vector<std::string> HostComponents(const std::string& hostPath) {
  std::vector<std::string> parts(1);
  for (char c : hostPath) {
    if (c == '/')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  std::erase(parts, std::string());
  return parts;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  // Something to find in another spelling.
  std::filesystem::create_directories("Zip_Code/N_\uFF7B");
  fuzz::WriteFile("Zip_Code/N_\uFF7B/\uFF72\uFF76.Idx", "");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string path(reinterpret_cast<const char*>(data), size);
  bool absolute = false;
  std::vector<std::string> parts = files::SplitPath(path, absolute);
  bool expectedAbsolute = false;
  FUZZ_CHECK(parts == Components(path, expectedAbsolute));
  FUZZ_CHECK(absolute == expectedAbsolute);

  for (const std::string& part : parts) {
    std::string name = files::HostName(part);
    FUZZ_CHECK(name == files::HostName(part));
    FUZZ_CHECK(!name.empty() && IsValidUtf8(name));
    for (char c : name) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != '/');
    FUZZ_CHECK((name == ".") == (part == "."));
    FUZZ_CHECK((name == "..") == (part == ".."));
  }

  // Relative paths are resolved below the scratch directory; absolute ones
  // would look through the whole host.
  if (absolute) return 0;
  std::string host = files::HostPath(path);
  FUZZ_CHECK(host == files::HostPath(path));
  for (char c : host) FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20);
  std::vector<std::string> hostParts = HostComponents(host);
  if (parts.empty()) {
    FUZZ_CHECK(host == ".");
    return 0;
  }
  FUZZ_CHECK(host[0] != '/');
  FUZZ_CHECK(hostParts.size() == parts.size());
  for (size_t i = 0; i < parts.size(); ++i) {
    FUZZ_CHECK((hostParts[i] == "..") == (parts[i] == ".."));
    FUZZ_CHECK((hostParts[i] == ".") == (parts[i] == "."));
  }
  return 0;
}
