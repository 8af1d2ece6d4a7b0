#include "tools/yubin/update/master_patch.h"

#include <functional>  // std::hash
#include <optional>
#include <string_view>
#include <unordered_map>

#include "prep/import/ken_all_import.h"

namespace yubin::update {

namespace {

// Lines [begin, end) under one postal code.
struct Run {
  size_t begin;
  size_t end;
};

// The third field of an address file's line, the postal code, quotes and
// all; a comma inside quotes does not end a field.
std::string_view AddressCode(std::string_view line) {
  size_t field = 0, start = 0;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      quoted = !quoted;
    } else if (line[i] == ',' && !quoted) {
      if (field == 2) return line.substr(start, i - start);
      ++field;
      start = i + 1;
    }
  }
  return field == 2 ? line.substr(start) : std::string_view();
}

// The third field of a master record, which carries no quotes.
std::string_view MasterCode(std::string_view record) {
  size_t first = record.find(',');
  size_t second = first == std::string_view::npos ? first : record.find(',', first + 1);
  if (second == std::string_view::npos) return {};
  size_t third = record.find(',', second + 1);
  return record.substr(second + 1, third == std::string_view::npos ? third : third - second - 1);
}

std::string_view Unquoted(std::string_view field) {
  if (field.size() >= 2 && field.front() == '"' && field.back() == '"') return field.substr(1, field.size() - 2);
  return field;
}

// A text's lines without their endings (LF, or CR LF).
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

template <typename Line, typename CodeOf>
std::vector<Run> Runs(const std::vector<Line>& lines, CodeOf codeOf) {
  std::vector<Run> runs;
  std::string_view code;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view next = codeOf(lines[i]);
    if (runs.empty() || next != code)
      runs.push_back({i, i + 1});
    else
      runs.back().end = i + 1;
    code = next;
  }
  return runs;
}

size_t RunHash(const std::vector<std::string>& lines, Run run) {
  size_t hash = run.end - run.begin;
  for (size_t i = run.begin; i < run.end; ++i) hash = hash * 1000003u ^ std::hash<std::string_view>{}(lines[i]);
  return hash;
}

bool SameRun(const std::vector<std::string>& a, Run runA, const std::vector<std::string>& b, Run runB) {
  if (runA.end - runA.begin != runB.end - runB.begin) return false;
  for (size_t i = 0; i < runA.end - runA.begin; ++i)
    if (a[runA.begin + i] != b[runB.begin + i]) return false;
  return true;
}

}  // namespace

bool PatchMaster(const CsvLines& before, const std::string& previousMaster, const CsvLines& after, MasterPatch& patch,
                 std::string& error) {
  patch = MasterPatch{};
  std::vector<std::string_view> records = Lines(previousMaster);
  std::vector<Run> oldRuns = Runs(before.lines, AddressCode);
  std::vector<Run> masterRuns = Runs(records, MasterCode);
  bool aligned = oldRuns.size() == masterRuns.size();
  for (size_t i = 0; aligned && i < oldRuns.size(); ++i)
    aligned = Unquoted(AddressCode(before.lines[oldRuns[i].begin])) == MasterCode(records[masterRuns[i].begin]);

  prep::import::KenAllConverter converter("KEN_ALL.CSV", prep::import::Edition::kCp932);
  auto import = [&](Run run) {
    size_t from = patch.master.size();
    for (size_t i = run.begin; i < run.end; ++i)
      if (!converter.AddLine(after.lines[i], after.ending, static_cast<long>(i + 1), patch.master, error)) return false;
    if (!converter.Finish(patch.master, error)) return false;
    for (std::string_view record : Lines(std::string_view(patch.master).substr(from)))
      patch.imported.emplace_back(record);
    return true;
  };
  if (!aligned) {
    patch.importedWhole = true;
    for (std::string_view record : records) patch.dropped.emplace_back(record);
    return import({0, after.lines.size()});
  }

  std::unordered_multimap<size_t, size_t> oldRunsByHash;
  for (size_t i = 0; i < oldRuns.size(); ++i) oldRunsByHash.emplace(RunHash(before.lines, oldRuns[i]), i);
  std::vector<bool> kept(oldRuns.size(), false);
  patch.master.reserve(previousMaster.size() + previousMaster.size() / 8);
  for (Run run : Runs(after.lines, AddressCode)) {
    std::optional<size_t> same;
    auto [candidate, last] = oldRunsByHash.equal_range(RunHash(after.lines, run));
    for (; candidate != last; ++candidate) {
      if (SameRun(before.lines, oldRuns[candidate->second], after.lines, run)) {
        same = candidate->second;
        if (!kept[*same]) break;
      }
    }
    if (!same) {
      if (!import(run)) return false;
      continue;
    }
    kept[*same] = true;
    // The records keep their bytes; each ends as the new file's lines do.
    for (size_t i = masterRuns[*same].begin; i < masterRuns[*same].end; ++i) {
      patch.master += records[i];
      patch.master += after.ending;
    }
  }
  for (size_t run = 0; run < oldRuns.size(); ++run)
    if (!kept[run])
      for (size_t i = masterRuns[run].begin; i < masterRuns[run].end; ++i) patch.dropped.emplace_back(records[i]);
  return true;
}

}  // namespace yubin::update
