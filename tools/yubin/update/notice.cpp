#include "tools/yubin/update/notice.h"

#include <cstdlib>  // std::strtoll

#include "platform/files/file.h"
#include "tools/yubin/start/workspace.h"
#include "tools/yubin/update/sources.h"

namespace yubin::update {

namespace files = platform::files;

namespace {

constexpr char kNoticeFile[] = ".update-notice";

long long LastNotice(const std::string& root) {
  files::File in = files::OpenHostPath(root + "/" + kNoticeFile, files::kRead);
  char text[32] = {};
  if (!in.IsOpen() || in.Read(text, sizeof text - 1) <= 0) return -1;
  return std::strtoll(text, nullptr, 10);
}

}  // namespace

std::optional<Notice> DueNotice(const std::string& root, const std::string& workspace, long long now) {
  std::optional<SourceRecord> record = ReadSourceRecord(workspace);
  return DueNotice(root, record ? record->dataTime : start::Workspaces::DataTime(workspace), now);
}

std::optional<Notice> DueNotice(const std::string& root, long long dataTime, long long now) {
  if (dataTime < 0 || now - dataTime <= kNoticeAge) return std::nullopt;
  long long last = LastNotice(root);
  if (last >= 0 && last <= now && now - last < kNoticeInterval) return std::nullopt;
  // Kept before it is shown: a notice that cannot be kept would come at
  // every start, so none is given then.
  files::File out =
      files::OpenHostPath(root + "/" + kNoticeFile, files::kWrite | files::kCreate | files::kTruncate, 0600);
  if (!out.IsOpen() || out.Write(std::to_string(now) + "\n") < 0 || out.Close() != 0) return std::nullopt;
  return Notice{"the postal data is of " + DateText(dataTime) + "; 'yubin update' can bring it up to date",
                "郵便番号データは " + DateText(dataTime) + " のものです。yubin update で新しくできます。"};
}

std::string DescribeWorkspace(const std::string& root, const std::string& workspace) {
  if (workspace.empty()) return "no workspace yet below " + root + " (the first yubin start makes one)\n";
  std::string text = "workspace: " + workspace + "\n";
  if (std::optional<SourceRecord> record = ReadSourceRecord(workspace)) return text + DescribeSourceRecord(*record);
  long long dataTime = start::Workspaces::DataTime(workspace);
  return text + "data of " + (dataTime >= 0 ? DateText(dataTime) : std::string("an unknown date")) +
         ", prepared from the installed data or from files given to yubin start --data\n";
}

}  // namespace yubin::update
