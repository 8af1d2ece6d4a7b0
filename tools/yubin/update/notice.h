// What yubin start tells about the data's age and origin: the line that
// says, once a month at most and only for data older than 40 days, that
// yubin update can refresh it, and the text of yubin start --info. Does
// not fetch or prepare anything.
#pragma once

#include <optional>
#include <string>

namespace yubin::update {

inline constexpr long long kNoticeAge = 40LL * 24 * 3600;
inline constexpr long long kNoticeInterval = 30LL * 24 * 3600;

// The notice, as a line for a terminal and as the progress window's
// status line (UTF-8).
struct Notice {
  std::string line;
  std::string window;
};

// The notice for data of `dataTime` at `now`, when one is due; the time it
// is given is kept in the root's ".update-notice", so the next comes a
// month later at the earliest.
std::optional<Notice> DueNotice(const std::string& root, long long dataTime, long long now);

// The same for the data of a workspace.
std::optional<Notice> DueNotice(const std::string& root, const std::string& workspace, long long now);

// The workspace in use, its data's date and where its files came from.
std::string DescribeWorkspace(const std::string& root, const std::string& workspace);

}  // namespace yubin::update
