#include "prep/pending_index_lines.h"

#include "platform/files/host_path.h"

namespace prep {

std::string HostFileKey(const std::string& path) {
  namespace files = platform::files;
  bool absolute = false;
  std::string key;
  for (const std::string& part : files::SplitPath(path, absolute)) {
    key += '/';
    key += files::HostName(part);
  }
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

void PendingIndexLines::Add(const std::string& path, std::string_view line) {
  auto [entry, isNew] = fileIndex_.try_emplace(HostFileKey(path), static_cast<std::int32_t>(files_.size()));
  auto lineIndex = static_cast<std::int32_t>(lines_.size());
  lines_.push_back({static_cast<std::uint32_t>(text_.size()), static_cast<std::uint32_t>(line.size()), kNone});
  text_ += line;
  if (isNew) {
    files_.push_back({path, lineIndex, lineIndex});
  } else {
    File& file = files_[entry->second];
    lines_[file.last].next = lineIndex;
    file.last = lineIndex;
  }
}

void PendingIndexLines::TakeEachFile(
    const std::function<bool(const std::string& path, std::string_view lines)>& write) {
  for (const File& file : files_) {
    joined_.clear();
    for (std::int32_t i = file.first; i != kNone; i = lines_[i].next)
      joined_.append(text_, lines_[i].offset, lines_[i].length);
    if (!write(file.path, joined_)) break;
  }
  text_.clear();
  lines_.clear();
  files_.clear();
  fileIndex_.clear();
}

}  // namespace prep
