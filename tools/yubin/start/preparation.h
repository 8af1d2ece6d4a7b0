// Fills a new workspace from the postal data, one step at a time, so that
// a progress window can show each step before it runs:
//
//   1. KEN_ALL.CSV taken out of its zip archive (or copied)
//   2. JIGYOSYO.CSV the same
//   3. the master file ALL_ZIP.TXT imported from KEN_ALL.CSV
//   4. the kana town index built below Zip_Code (left to the tool when it
//      is to build the index itself)
//   5. the help file beside the index, "Tolvane.ini" naming the index by the
//      workspace's own path, and links to the installation's qgrep and vesk
//
// The workspace is the current directory of every step. Does not make the
// workspace complete nor switch to it (workspace.h).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/yubin/start/installation.h"
#include "tools/yubin/start/progress_dialog.h"

namespace yubin::start {

// Where a preparation takes its data from: host paths, and the newest
// modification time of the three files, which the workspace remembers.
struct PostalData {
  std::string kenAll;    // ken_all.zip or KEN_ALL.CSV
  std::string jigyosyo;  // jigyosyo.zip or JIGYOSYO.CSV
  std::string help;      // the help file
  long long time = 0;
};

// The installation's bundled data. Nothing, with `error`, when a file
// cannot be looked at.
std::optional<PostalData> InstalledData(const Installation& installation, std::string& error);

// Postal data a user downloaded into `directory`: ken_all.zip or
// KEN_ALL.CSV, and jigyosyo.zip or JIGYOSYO.CSV (names in any case; a zip
// archive is taken before a CSV file), with the installation's help file.
std::optional<PostalData> DownloadedData(const std::string& directory, const Installation& installation,
                                         std::string& error);

// The text "Tolvane.ini" holds for a workspace: the CP932 path of its
// Zip_Code directory and a final separator. Nothing, with `error`, when the
// path has no CP932 form or is too long for the settings file.
std::optional<std::string> DataDirectorySetting(const std::string& workspace, std::string& error);

// Links in the workspace to the installation's qgrep and vesk, which the
// search application starts from its current directory (and qgrep vesk
// from there): made, or replaced where they name other files (those of an
// installation since moved, say).
bool PlaceProgramLinks(const Installation& installation, const std::string& workspace, std::string& error);

class Preparation : public Steps {
 public:
  // `buildIndex` false leaves out step 4.
  Preparation(const Installation& installation, PostalData data, std::string workspace,
              std::string dataDirectorySetting, bool buildIndex);

  int StepCount() const override { return static_cast<int>(steps_.size()); }
  // What step `step` does: for a window (Japanese) and for a terminal line.
  std::string_view WindowText(int step) const override { return steps_[step].window; }
  std::string_view LineText(int step) const { return steps_[step].line; }

  // Runs one step: true, or false with `error` saying what failed and why.
  bool Run(int step, std::string& error) override;

  // The records the import wrote, once it has run; else -1.
  long RecordsImported() const { return recordsImported_; }

 private:
  enum class Kind { kKenAll, kJigyosyo, kImport, kBuild, kPlace };
  struct Step {
    Kind kind;
    std::string_view window;
    std::string_view line;
  };

  bool TakeCsv(const std::string& source, std::string_view csvName, std::string& error);
  bool Import(std::string& error);
  bool Build(std::string& error);
  bool Place(std::string& error);

  Installation installation_;
  PostalData data_;
  std::string workspace_;
  std::string setting_;
  std::vector<Step> steps_;
  long recordsImported_ = -1;
};

}  // namespace yubin::start
