// Test helpers for the search engine: a dialog side that records what the
// engine shows, and a fixture that runs each case in its own temporary
// directory with a settings file and index files written by the case.
#pragma once

#include <gtest/gtest.h>
#include <fcntl.h>  // O_WRONLY, O_RDWR

#include <cerrno>

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/files/file.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
#include "platform/text/cp932.h"
#include "search/engine/dialog_side.h"
#include "search/engine/search_session.h"
#include "tests/support/temp_dir.h"

namespace search::engine::testing {

using platform::text::Cp932;

// Records the fields, the two captions and every message box.
class RecordingDialog : public DialogSide {
 public:
  struct Box {
    std::string caption;
    std::string text;
  };

  void SetFieldText(Field field, const std::string& text) override {
    fields[field] = text;
    writes.push_back(field);
  }
  std::string FieldText(Field field) override {
    reads.push_back(field);
    return fields[field];
  }
  void ReportTooLong(Field field, size_t maxBytes) override { tooLong.push_back({field, maxBytes}); }
  void SetStatusCaption(const std::string& text) override {
    status = text;
    statusHistory.push_back(text);
  }
  void SetPageCaption(const std::string& text) override { pageLabel = text; }
  void MessageBox(const std::string& caption, const std::string& text) override { boxes.push_back({caption, text}); }

  std::map<Field, std::string> fields;
  std::vector<Field> writes;
  std::vector<Field> reads;
  std::vector<std::pair<Field, size_t>> tooLong;
  std::string status;
  std::vector<std::string> statusHistory;
  std::string pageLabel;
  std::vector<Box> boxes;
};

// Texts the engine shows, in CP932.
inline std::string ErrorCaptionText() { return Cp932("エラー"); }
inline std::string FinishedStatus() { return Cp932("＊ 検索終了 ＊"); }
inline std::string SearchingStatus() { return Cp932("＊ 検索中 ＊"); }
inline std::string AllShownLabel() { return Cp932("これだけです。"); }
inline std::string MorePagesLabel() { return Cp932("次のページがあり！"); }
inline std::string NoDataText() { return Cp932("*** 該当データーがない ***"); }
inline std::string NeverExistsCaption() { return Cp932("エラー：絶対存在しない検索データーを入力しました。"); }
inline std::string NeverExistsText() {
  return Cp932(" ^(T|T)^  該当するものがありません。\r\n住所を確かめて下さい。 (?^?) ");
}
inline std::string TooManyText() { return Cp932("件数が多いので、条件（詳細町名）を絞って下さい。"); }
inline std::string SettingsError() { return Cp932("＊＊ Tolvane.ini ファイルが開く事ができません。＊＊"); }

// The two display lines of one record, as the result box shows them.
inline std::string DisplayForm(const std::string& town, const std::string& prefecture, const std::string& code,
                               const std::string& city, const std::string& kanji) {
  return Cp932(prefecture + " (^O^) " + city + " (^O^)=>>> " + code + " <<=(^O^) " + town + "\r\n(" + kanji + ")\r\n");
}

// One index line from UTF-8 fields (half-width kana in the source).
inline std::string IndexLine(const std::string& town, const std::string& prefecture, const std::string& code,
                             const std::string& city, const std::string& kanji) {
  return Cp932(town + "," + prefecture + "," + code + "," + city + "," + kanji) + "\n";
}

// Makes every open for writing fail with EACCES, as a write-protected file
// does for a user other than root, where the host path has `part` at the
// end of one of its names: "ZIP_CODE" protects what lies below it, ".Idx"
// every index file, "Tolvane.ini" that file but not "Tolvane.ini.tmp".
class WriteProtect {
 public:
  explicit WriteProtect(std::string part) {
    auto real = platform::files::Sys().open;
    platform::files::Sys().open = [real, part = std::move(part)](const char* path, int flags, mode_t mode) {
      if ((flags & (O_WRONLY | O_RDWR)) && EndsAName(path, part)) {
        errno = EACCES;
        return -1;
      }
      return real(path, flags, mode);
    };
  }

  static bool EndsAName(std::string_view path, std::string_view part) {
    for (size_t at = path.find(part); at != std::string_view::npos; at = path.find(part, at + 1)) {
      size_t after = at + part.size();
      if (after == path.size() || path[after] == '/') return true;
    }
    return false;
  }

 private:
  platform::ScopedOverride<platform::files::SystemCalls> restore_{platform::files::Sys()};
};

// Each case runs in a fresh temporary directory that is also the current
// directory; "ZIP_CODE/" below it is the data directory of the settings file.
class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp_.path().empty());
    directory_ = temp_.path();
    dataDirectory_ = directory_ + "/ZIP_CODE/";
    std::filesystem::create_directory(dataDirectory_);
    WriteSettingsFile(dataDirectory_);
    session_.InitialiseDialog();
  }

  // Writes "Tolvane.ini" as a 500-byte record holding the text.
  void WriteSettingsFile(const std::string& text) {
    std::string record = text;
    record.resize(500, '\0');
    WriteFile("Tolvane.ini", record);
  }

  // Writes a file (CP932 path, relative to the current directory).
  static void WriteFile(const std::string& cp932Path, const std::string& bytes) {
    platform::files::File file = platform::files::Open(
        cp932Path, platform::files::kWrite | platform::files::kCreate | platform::files::kTruncate);
    ASSERT_TRUE(file.IsOpen()) << cp932Path;
    ASSERT_EQ(file.Write(bytes), static_cast<long>(bytes.size()));
  }

  static std::string ReadFile(const std::string& cp932Path) {
    platform::files::File file = platform::files::Open(cp932Path, platform::files::kRead);
    if (!file.IsOpen()) return "<missing>";
    std::string bytes;
    char buffer[65536];
    long n;
    while ((n = file.Read(buffer, sizeof buffer)) > 0) bytes.append(buffer, static_cast<size_t>(n));
    return bytes;
  }

  static bool FileExists(const std::string& cp932Path) {
    return platform::files::Open(cp932Path, platform::files::kRead).IsOpen();
  }

  // Writes the index file of a city initial and two town letters (UTF-8),
  // as the builder names it: ZIP_CODE/N_<city>/<town>.Idx.
  void WriteIndex(const std::string& city, const std::string& town, const std::string& bytes) {
    std::string cityDirectory = "ZIP_CODE\\N_" + Cp932(city);
    ASSERT_EQ(platform::files::MakeDirectory(cityDirectory), 0);
    WriteFile(cityDirectory + "\\" + Cp932(town) + ".Idx", bytes);
  }

  // Sets the query from UTF-8 letters; an empty text leaves a letter empty.
  void Query(const std::string& prefecture, const std::string& city, const std::string& ward,
             const std::string& roughTown, const std::string& town1, const std::string& town2,
             const std::string& narrowing = "") {
    SearchState& s = session_.State();
    s.PrefectureLetter = Cp932(prefecture);
    s.CityLetter = Cp932(city);
    s.WardLetter = Cp932(ward);
    s.RoughTownLetter = Cp932(roughTown);
    s.DetailFirstLetter = Cp932(town1);
    s.DetailSecondLetter = Cp932(town2);
    s.NarrowingString = Cp932(narrowing);
    session_.ShowState();
  }

  SearchState& State() { return session_.State(); }
  std::string Shown() { return dialog_.fields[Field::kResultText]; }

  TempDir temp_;
  std::string directory_;
  std::string dataDirectory_;
  RecordingDialog dialog_;
  platform::clock::FakeClock clock_;
  platform::ScopedOverride<platform::clock::Clock*> useClock_{platform::clock::ClockInForce(), &clock_};
  SearchSession session_{dialog_};
};

}  // namespace search::engine::testing
