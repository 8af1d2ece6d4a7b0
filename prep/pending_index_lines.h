// Index lines waiting to be appended to their files. The builder collects
// lines here and writes each file's share with one open, one write and one
// close, instead of opening a file for every record: on the full postal data
// that makes a quarter of the open, write and close calls. Lines of one file
// keep the order in which they were added, and files come out in the order of
// their first line. The builder bounds the store (bytes()), so memory does not
// grow with the master file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace prep {

// The host file a path names, as names compare there: the host names of
// its components, ASCII case folded. Paths with one key are one file.
std::string HostFileKey(const std::string& path);

class PendingIndexLines {
 public:
  // Adds a line for the file at path, after any line added for it before.
  // Paths that name one host file (spelled in other ASCII cases, or with a
  // CP932 character's duplicate) are one file, named as first added, so
  // its lines keep the order in which they came.
  void Add(const std::string& path, std::string_view line);

  // The bytes of all lines waiting.
  std::size_t bytes() const { return text_.size(); }
  bool empty() const { return text_.empty(); }

  // Hands every file with its lines joined, in the order of each file's first
  // line, then forgets them all. When `write` returns false no further file
  // is handed out, and the lines not handed out are forgotten too.
  void TakeEachFile(const std::function<bool(const std::string& path, std::string_view lines)>& write);

 private:
  static constexpr std::int32_t kNone = -1;
  struct Line {
    std::uint32_t offset;
    std::uint32_t length;
    std::int32_t next;  // the file's next line, or kNone
  };
  struct File {
    std::string path;  // as its first line named it
    std::int32_t first;
    std::int32_t last;
  };

  std::string text_;  // every waiting line, in the order added
  std::vector<Line> lines_;
  std::vector<File> files_;
  std::unordered_map<std::string, std::int32_t> fileIndex_;  // host file -> files_ index
  std::string joined_;                                       // one file's lines, reused
};

}  // namespace prep
