// Quick-result files: the first page of a slow search, left in "QUICK"
// under the six query letters. A new page replaces the old one whole, or
// not at all.
#include "search/engine/search_session.h"

#include <cerrno>
#include <string>

#include "platform/files/whole_file.h"
#include "platform/text/cp932.h"

namespace search::engine {
namespace {

namespace files = platform::files;
using platform::text::Cp932;

constexpr int kSecondsPerDay = 24 * 60 * 60;

// A quick file is written for searches that took at least this long.
constexpr int kSlowSearchSeconds = 15;

int TwoDigits(const std::array<char, 15>& time, size_t at) {
  auto digit = [&](size_t i) { return time[i] >= '0' && time[i] <= '9' ? time[i] - '0' : 0; };
  return digit(at) * 10 + digit(at + 1);
}

// Seconds since midnight of a time "hh:mm:ss".
int SecondOfDay(const std::array<char, 15>& time) {
  return TwoDigits(time, 0) * 3600 + TwoDigits(time, 3) * 60 + TwoDigits(time, 6);
}

}  // namespace

int SearchSession::WriteQuickFile() {
  if (state_.PrefectureLetter.empty()) return -1;

  // Hours count, and a search that runs over midnight ends on the next day.
  int elapsed =
      (SecondOfDay(state_.SearchEndTime) - SecondOfDay(state_.SearchStartTime) + kSecondsPerDay) % kSecondsPerDay;
  if (elapsed < kSlowSearchSeconds) return -1;

  std::string name = std::string(kQuickDirectory) + "\\";
  for (const std::string* letter : {&state_.PrefectureLetter, &state_.CityLetter, &state_.WardLetter,
                                    &state_.RoughTownLetter, &state_.DetailFirstLetter, &state_.DetailSecondLetter})
    name += letter->empty() ? std::string("_") : *letter;
  name += ".QIC";

  static const std::string cannotCreate = Cp932("Quick ファイルが書き込めない");
  // A write that fails or falls short keeps the earlier page whole; a
  // write-protected quick file stays as it is.
  files::WholeFileWriter file;
  if (file.Begin(name) != 0) {
    ErrorBox(cannotCreate);
    return -1;
  }
  if (file.Write(state_.ResultText) < 0 || file.Commit() != 0) {
    int error = errno;
    file.Abandon();
    static const std::string cannotWrite = Cp932("結果ファイルが書けない");
    ErrorBox(cannotWrite);
    ErrorBox(std::to_string(error));
    return -1;
  }
  return 1;
}

}  // namespace search::engine
