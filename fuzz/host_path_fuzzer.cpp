// Maps any CP932 path text to a host path. The components are the runs
// between "\" and "/" standing as characters of their own; each becomes one
// host name that is valid UTF-8 without NUL, control byte or slash, and is
// "." or ".." only where the component is, so a relative path never climbs
// above its base further than its own text says. The same text always maps
// to the same path.
//
// Different names give different host names: each host name reads back,
// by a reader of its own here, to the characters of its name; and, ASCII
// case aside (names compare without it), the input's first byte cuts the
// rest into two names that may share a host name only where they hold the
// same characters (a two-byte character and its duplicate in CP932's NEC
// and IBM rows, as "\x87\x90" and "\x81\xE0" for U+2252, are one
// character and so one name).
#include <iconv.h>

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
  if (path.size() >= 2 && path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
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
    size_t length = b < 0x80                 ? 1
                    : b >= 0xC2 && b <= 0xDF ? 2
                    : b >= 0xE0 && b <= 0xEF ? 3
                    : b >= 0xF0 && b <= 0xF4 ? 4
                                             : 0;
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

// The characters of a CP932 name, as far as a name is told from another:
// an ASCII letter in lower case, a two-byte character by its Unicode form
// (glibc's converter, not the platform's), any other byte as itself.
std::vector<std::string> Characters(std::string_view name) {
  static iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
  FUZZ_CHECK(toUtf8 != reinterpret_cast<iconv_t>(-1));
  std::vector<std::string> characters;
  for (size_t i = 0; i < name.size();) {
    size_t length = fuzz::Cp932CharAt(name, i);
    std::string character(name.substr(i, length));
    if (length == 2) {
      iconv(toUtf8, nullptr, nullptr, nullptr, nullptr);
      char out[8];
      char* src = character.data();
      size_t srcLeft = 2;
      char* dst = out;
      size_t dstLeft = sizeof out;
      if (iconv(toUtf8, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0)
        character = "U+" + std::string(out, sizeof out - dstLeft);
    } else if (character[0] >= 'A' && character[0] <= 'Z') {
      character[0] = static_cast<char>(character[0] - 'A' + 'a');
    }
    characters.push_back(std::move(character));
    i += length;
  }
  return characters;
}

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A host name read back into CP932: "%25" is a "%", "%XX" (hex, either
// case) below 0x20 or from 0x40 up is that byte, anything else is text.
std::string ReadBack(std::string_view host) {
  static iconv_t toCp932 = iconv_open("CP932", "UTF-8");
  FUZZ_CHECK(toCp932 != reinterpret_cast<iconv_t>(-1));
  std::string name, text;
  auto flush = [&] {
    iconv(toCp932, nullptr, nullptr, nullptr, nullptr);
    std::string out(text.size() + 4, '\0');
    char* src = text.data();
    size_t srcLeft = text.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    FUZZ_CHECK(iconv(toCp932, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1));
    name.append(out.data(), out.size() - dstLeft);
    text.clear();
  };
  for (size_t i = 0; i < host.size(); ++i) {
    int value = i + 2 < host.size() && host[i] == '%' && Hex(host[i + 1]) >= 0 && Hex(host[i + 2]) >= 0
                    ? Hex(host[i + 1]) * 16 + Hex(host[i + 2])
                    : -1;
    if (value == 0x25 || (value >= 0 && value < 0x20) || value >= 0x40) {
      flush();
      name += static_cast<char>(value);
      i += 2;
    } else {
      text += host[i];
    }
  }
  flush();
  return name;
}

std::string Folded(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
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
  if (size > 0) {
    std::string_view rest = std::string_view(path).substr(1);
    size_t cut = data[0] % (rest.size() + 1);
    std::string_view first = rest.substr(0, cut), second = rest.substr(cut);
    if (Folded(files::HostName(first)) == Folded(files::HostName(second)))
      FUZZ_CHECK(Characters(first) == Characters(second));
  }
  bool absolute = false;
  std::vector<std::string> parts = files::SplitPath(path, absolute);
  bool expectedAbsolute = false;
  FUZZ_CHECK(parts == Components(path, expectedAbsolute));
  FUZZ_CHECK(absolute == expectedAbsolute);

  for (const std::string& part : parts) {
    std::string name = files::HostName(part);
    FUZZ_CHECK(name == files::HostName(part));
    FUZZ_CHECK(!name.empty() && IsValidUtf8(name));
    FUZZ_CHECK(Characters(ReadBack(name)) == Characters(part));
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
