#include "platform/files/host_path.h"

#include <unordered_map>

#include "platform/files/directory_names.h"
#include "platform/files/system_calls.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace platform::files {
namespace {

bool IsSeparator(unsigned char b) { return b == '\\' || b == '/'; }

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Whether a "%" at name[i] would read as an escape: it is followed by two
// hex digits (in either case, as names compare) that an escape can write,
// or by "25", the escape of "%" itself. Escapes write bytes below 0x20 and
// from 0x40 up, so "%20" to "%3F" in a name (as in "ken%20all.zip") cannot
// be taken for one and stay as they are.
bool LooksLikeEscape(std::string_view name, size_t i) {
  if (i + 2 >= name.size()) return false;
  int high = HexValue(name[i + 1]);
  int low = HexValue(name[i + 2]);
  if (high < 0 || low < 0) return false;
  int value = high * 16 + low;
  return value < 0x20 || value == 0x25 || value >= 0x40;
}

void AppendEscaped(std::string& out, unsigned char b) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[b >> 4];
  out += kHex[b & 0x0F];
}

bool Exists(const std::string& hostPath) {
  struct stat st;
  return Sys().stat(hostPath.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& hostPath) {
  struct stat st;
  return Sys().stat(hostPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Directories that the slow path found under another spelling, by the
// spelling asked for. The kana town index opens over a hundred thousand files
// below "ZIP_CODE" while the disk holds "Zip_Code"; without this every open
// would look up the directories above it. QuickHostPath trusts an entry;
// HostPath uses it while no directory of the exact spelling has appeared
// and the remembered one exists, and drops it otherwise. Open tries
// the remembered place first and falls back to HostPath, which also covers
// a relative entry after a change of the current directory. Only a
// directory that exists in two spellings at once may be served in the
// remembered one rather than the one the rules would pick.
std::unordered_map<std::string, std::string>& ResolvedDirectories() {
  static std::unordered_map<std::string, std::string> cache;
  return cache;
}
constexpr size_t kResolvedDirectoriesMax = 1024;

}  // namespace

std::vector<std::string> SplitPath(std::string_view path, bool& absolute) {
  // A drive prefix: one ASCII letter and a colon.
  if (path.size() >= 2 && path[1] == ':' && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    path.remove_prefix(2);
  absolute = !path.empty() && IsSeparator(static_cast<unsigned char>(path[0]));
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < path.size();) {
    auto b = static_cast<unsigned char>(path[i]);
    // A lead byte forms a character only with a trail byte: "\x81/" is a
    // byte of its own and a separator, while "\x83\\" is ソ.
    if (text::Cp932CharLength(b) == 2 && i + 1 < path.size() && IsTrailByte(static_cast<unsigned char>(path[i + 1]))) {
      current.append(path.substr(i, 2));
      i += 2;
    } else if (IsSeparator(b)) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
      ++i;
    } else {
      current += static_cast<char>(b);
      ++i;
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

std::string HostName(std::string_view name) {
  std::string out;
  out.reserve(name.size() * 3);
  for (size_t i = 0; i < name.size();) {
    auto b = static_cast<unsigned char>(name[i]);
    if (b < 0x20 || (b == '%' && LooksLikeEscape(name, i))) {
      AppendEscaped(out, b);
      ++i;
    } else if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (b >= 0xA1 && b <= 0xDF) {
      // Half-width katakana U+FF61 to U+FF9F: three UTF-8 bytes.
      text::AppendUtf8(out, static_cast<char32_t>(0xFF61 + (b - 0xA1)));
      ++i;
    } else if (text::Cp932CharLength(b) == 2 && i + 1 < name.size() &&
               IsTrailByte(static_cast<unsigned char>(name[i + 1]))) {
      std::optional<std::string> utf8 = text::ToUtf8Strict(name.substr(i, 2));
      if (utf8) {
        out += *utf8;
      } else {
        AppendEscaped(out, b);
        AppendEscaped(out, static_cast<unsigned char>(name[i + 1]));
      }
      i += 2;
    } else {
      AppendEscaped(out, b);
      ++i;
    }
  }
  return out;
}

namespace {

// A host directory path and a name below it; "" is the current directory.
std::string Join(const std::string& directory, const std::string& name) {
  if (directory.empty()) return name;
  return directory.back() == '/' ? directory + name : directory + "/" + name;
}

// The host names of a path's components and the path they spell as asked.
std::string ExactHostPath(std::string_view cp932Path, std::vector<std::string>& names, bool& absolute) {
  std::vector<std::string> parts = SplitPath(cp932Path, absolute);
  names.clear();
  names.reserve(parts.size());
  std::string exact = absolute ? "/" : "";
  for (const std::string& part : parts) {
    names.push_back(HostName(part));
    exact = Join(exact, names.back());
  }
  return exact;
}

}  // namespace

std::string QuickHostPath(std::string_view cp932Path) {
  bool absolute = false;
  std::vector<std::string> names;
  std::string exact = ExactHostPath(cp932Path, names, absolute);
  if (exact.empty()) return ".";
  size_t slash = exact.rfind('/');
  if (slash == std::string::npos || slash == 0 || names.size() < 2) return exact;
  auto& cache = ResolvedDirectories();
  auto it = cache.find(exact.substr(0, slash));
  if (it == cache.end()) return exact;
  return Join(it->second, names.back());
}

std::string HostPath(std::string_view cp932Path) {
  bool absolute = false;
  std::vector<std::string> names;
  std::string exact = ExactHostPath(cp932Path, names, absolute);
  if (exact.empty()) return ".";
  // Fastest: the directory was resolved before and no directory of the
  // exact spelling has appeared, so the path as asked for cannot exist.
  size_t slash = exact.rfind('/');
  std::string exactDirectory = slash == std::string::npos ? "" : exact.substr(0, slash);
  auto& cache = ResolvedDirectories();
  if (!exactDirectory.empty() && names.size() > 1) {
    auto it = cache.find(exactDirectory);
    if (it != cache.end()) {
      const std::string& directory = it->second;
      std::string actual;
      if (!IsDirectory(exactDirectory) && FindName(directory, names.back(), actual)) return Join(directory, actual);
      cache.erase(it);
    }
  }
  // Next: the path as asked for exists.
  if (Exists(exact)) return exact;
  std::string resolved = absolute ? "/" : "";
  std::string resolvedDirectory;
  for (const std::string& name : names) {
    resolvedDirectory = resolved;
    std::string actual;
    FindName(resolved, name, actual);
    resolved = Join(resolved, actual);
  }
  if (names.size() > 1 && resolvedDirectory != exactDirectory && IsDirectory(resolvedDirectory)) {
    if (cache.size() >= kResolvedDirectoriesMax) cache.clear();
    cache[exactDirectory] = resolvedDirectory;
  }
  return resolved;
}

}  // namespace platform::files
