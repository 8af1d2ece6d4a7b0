#include "tools/qgrep/file_names.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/files/directory_names.h"
#include "platform/files/system_calls.h"
#include "platform/text/utf8.h"

namespace qgrep {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Bytes of the UTF-8 character starting at s[i] (1 for a byte that forms
// none).
size_t CharLength(std::string_view s, size_t i) { return platform::text::DecodeUtf8At(s, i).length; }

std::string Join(const std::string& directory, std::string_view name) {
  if (directory.empty()) return std::string(name);
  if (directory.back() == '/') return directory + std::string(name);
  return directory + "/" + std::string(name);
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

// Name order: ASCII letters lowered, then the bytes themselves.
bool NameOrder(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    auto x = static_cast<unsigned char>(Lower(a[i]));
    auto y = static_cast<unsigned char>(Lower(b[i]));
    if (x != y) return x < y;
  }
  return a.size() != b.size() ? a.size() < b.size() : a < b;
}

}  // namespace

bool FitsWildcards(std::string_view pattern, std::string_view name) {
  if (!name.empty() && name[0] == '.' && (pattern.empty() || pattern[0] != '.')) return false;
  size_t p = 0, s = 0;
  size_t starP = std::string_view::npos, starS = 0;  // where to resume after the last *
  while (s < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = ++p;
      starS = s;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      s += CharLength(name, s);
    } else if (p < pattern.size() && Lower(pattern[p]) == Lower(name[s])) {
      ++p;
      ++s;
    } else if (starP != std::string_view::npos) {
      // Let the last * take one more character and try again.
      p = starP;
      starS += CharLength(name, starS);
      s = starS;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string ResolvePath(std::string_view path) {
  std::string current = !path.empty() && IsSeparator(path[0]) ? "/" : "";
  size_t i = 0;
  while (i < path.size()) {
    while (i < path.size() && IsSeparator(path[i])) ++i;
    size_t end = i;
    while (end < path.size() && !IsSeparator(path[end])) ++end;
    if (end == i) break;
    std::string actual;
    platform::files::FindName(current, std::string(path.substr(i, end - i)), actual);
    current = Join(current, actual);
    i = end;
  }
  return current;
}

std::vector<std::string> ExpandOperand(std::string_view operand) {
  size_t cut = operand.size();
  while (cut > 0 && !IsSeparator(operand[cut - 1])) --cut;
  std::string directory = ResolvePath(operand.substr(0, cut));
  if (cut > 0 && directory.empty()) directory = "/";
  std::string_view name = operand.substr(cut);
  std::vector<std::string> paths;
  struct stat st;
  if (name.empty()) return paths;
  if (!HasWildcards(name)) {
    std::string actual;
    platform::files::FindName(directory, std::string(name), actual);
    std::string path = Join(directory, actual);
    if (platform::files::Sys().stat(path.c_str(), &st) == 0) paths.push_back(path);
    return paths;
  }
  std::vector<std::string> entries;
  if (platform::files::Sys().listDirectory(directory.empty() ? "." : directory.c_str(), entries) != 0) return paths;
  std::sort(entries.begin(), entries.end(), NameOrder);
  for (const std::string& entry : entries) {
    if (!FitsWildcards(name, entry)) continue;
    std::string path = Join(directory, entry);
    if (platform::files::Sys().stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) paths.push_back(path);
  }
  return paths;
}

}  // namespace qgrep
