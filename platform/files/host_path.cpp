#include "platform/files/host_path.h"

#include <unordered_map>

#include "platform/files/system_calls.h"
#include "platform/text/cp932.h"

namespace platform::files {
namespace {

bool IsSeparator(unsigned char b) { return b == '\\' || b == '/'; }

bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

char ToLowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (ToLowerAscii(a[i]) != ToLowerAscii(b[i])) return false;
  return true;
}

void AppendEscaped(std::string& out, unsigned char b) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[b >> 4];
  out += kHex[b & 0x0F];
}

// Names with at most this many ASCII letters are looked up by spelling.
constexpr size_t kMaxLettersToSpell = 4;

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
// would list the directories above it. An entry is trusted while the file
// asked for is found in it; when it is not, HostPath drops the entry if its
// directory is gone or one of the exact spelling has appeared. Open tries
// the remembered place first and falls back to HostPath, which also covers
// a relative entry after a change of the current directory. Only a
// directory that exists in two spellings at once may be served in the
// remembered one rather than the one the rules would pick.
std::unordered_map<std::string, std::string>& ResolvedDirectories() {
  static std::unordered_map<std::string, std::string> cache;
  return cache;
}
constexpr size_t kResolvedDirectoriesMax = 1024;

// The name in directory `dir` that `name` stands for: itself when it exists,
// else the first entry in byte order equal without regard to ASCII case,
// else itself.
std::string ResolveComponent(const std::string& dir, const std::string& name) {
  std::string candidate = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
  if (name == "." || name == ".." || Exists(candidate)) return name;

  // A name with few ASCII letters has few spellings: trying them in byte
  // order (upper case sorts first) finds the same entry as a listing, at a
  // few stat calls instead of reading a directory of hundreds of files.
  std::vector<size_t> letters;
  for (size_t i = 0; i < name.size(); ++i)
    if (ToLowerAscii(name[i]) >= 'a' && ToLowerAscii(name[i]) <= 'z') letters.push_back(i);
  if (letters.size() <= kMaxLettersToSpell) {
    size_t prefix = candidate.size() - name.size();
    for (unsigned mask = 0; mask < (1u << letters.size()); ++mask) {
      std::string spelling = candidate;
      for (size_t k = 0; k < letters.size(); ++k) {
        bool lower = (mask >> (letters.size() - 1 - k)) & 1u;
        char c = ToLowerAscii(name[letters[k]]);
        spelling[prefix + letters[k]] = lower ? c : static_cast<char>(c - 'a' + 'A');
      }
      if (Exists(spelling)) return spelling.substr(prefix);
    }
    return name;
  }

  std::vector<std::string> entries;
  if (Sys().listDirectory(dir.empty() ? "." : dir.c_str(), entries) != 0) return name;
  // The first match in byte order, found without sorting the whole listing:
  // the index build lists directories of hundreds of entries.
  const std::string* first = nullptr;
  for (const std::string& entry : entries)
    if (EqualIgnoringAsciiCase(entry, name) && (!first || entry < *first)) first = &entry;
  return first ? *first : name;
}

}  // namespace

std::vector<std::string> SplitPath(std::string_view path, bool& absolute) {
  // A drive prefix: one ASCII letter and a colon.
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    path.remove_prefix(2);
  absolute = !path.empty() && IsSeparator(static_cast<unsigned char>(path[0]));
  std::vector<std::string> parts;
  std::string current;
  for (size_t i = 0; i < path.size();) {
    auto b = static_cast<unsigned char>(path[i]);
    if (text::Cp932CharLength(b) == 2 && i + 1 < path.size()) {
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
    if (b < 0x20) {
      AppendEscaped(out, b);
      ++i;
    } else if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
    } else if (b >= 0xA1 && b <= 0xDF) {
      // Half-width katakana U+FF61 to U+FF9F: three UTF-8 bytes.
      char32_t cp = 0xFF61 + (b - 0xA1);
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
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

// The host names of a path's components and the path they spell as asked.
std::string ExactHostPath(std::string_view cp932Path, std::vector<std::string>& names,
                          bool& absolute) {
  std::vector<std::string> parts = SplitPath(cp932Path, absolute);
  names.clear();
  names.reserve(parts.size());
  std::string exact = absolute ? "/" : "";
  for (const std::string& part : parts) {
    names.push_back(HostName(part));
    if (!exact.empty() && exact.back() != '/') exact += '/';
    exact += names.back();
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
  return (it->second == "/" ? "" : it->second) + "/" + names.back();
}

std::string HostPath(std::string_view cp932Path) {
  bool absolute = false;
  std::vector<std::string> names;
  std::string exact = ExactHostPath(cp932Path, names, absolute);
  if (exact.empty()) return ".";
  // Fast path: the path as asked for exists.
  if (Exists(exact)) return exact;
  // Next fastest: the directory was resolved before.
  size_t slash = exact.rfind('/');
  std::string exactDirectory = slash == std::string::npos ? "" : exact.substr(0, slash);
  auto& cache = ResolvedDirectories();
  if (!exactDirectory.empty() && names.size() > 1) {
    auto it = cache.find(exactDirectory);
    if (it != cache.end()) {
      std::string directory = it->second;
      std::string candidate = (directory == "/" ? "" : directory) + "/" + names.back();
      if (Exists(candidate)) return candidate;
      if (!IsDirectory(exactDirectory) && IsDirectory(directory))
        return (directory == "/" ? "" : directory) + "/" + ResolveComponent(directory, names.back());
      cache.erase(it);
    }
  }
  std::string resolved = absolute ? "/" : "";
  std::string resolvedDirectory;
  for (const std::string& name : names) {
    resolvedDirectory = resolved;
    std::string actual = ResolveComponent(resolved, name);
    if (!resolved.empty() && resolved.back() != '/') resolved += '/';
    resolved += actual;
  }
  if (names.size() > 1 && resolvedDirectory != exactDirectory && IsDirectory(resolvedDirectory)) {
    if (cache.size() >= kResolvedDirectoriesMax) cache.clear();
    cache[exactDirectory] = resolvedDirectory;
  }
  return resolved;
}

}  // namespace platform::files
