// Where the installation that the running yubin belongs to keeps its
// programs and its data. Found from the running program's own path, so an
// installed tree works wherever it is moved: the programs stand beside
// yubin, the data at a path relative to them that was fixed when the tree
// was configured (../share/yubin for the usual layout).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace yubin::start {

// The files of the installation's data directory.
inline constexpr char kKenAllArchive[] = "ken_all.zip";
inline constexpr char kJigyosyoArchive[] = "jigyosyo.zip";
inline constexpr char kHelpFile[] = "郵便番号検索ヘルプ.hlp";

struct Installation {
  std::string programs;  // host path of the directory of yubin, tolvane, kestrum, qgrep and vesk
  std::string data;      // host path of the bundled postal data and the help file

  std::string Program(std::string_view name) const { return programs + "/" + std::string(name); }
  std::string DataFile(std::string_view name) const { return data + "/" + std::string(name); }
};

// The installation of the running program, when the programs and data
// files a start needs are all in place; otherwise nothing, with `error`
// naming the first one missing (as in a build tree, which is no
// installation).
std::optional<Installation> FindInstallation(std::string& error);

}  // namespace yubin::start
