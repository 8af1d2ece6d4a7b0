#include "tools/yubin/start/preparation.h"

#include <sys/stat.h>  // stat
#include <unistd.h>    // chdir, readlink, symlink, unlink

#include <algorithm>  // std::max
#include <cerrno>
#include <filesystem>
#include <utility>

#include "platform/files/file.h"
#include "platform/text/cp932.h"
#include "prep/import/csv_archive.h"
#include "prep/import/ken_all_import.h"
#include "prep/kana_town_index.h"
#include "prep/master_file.h"
#include "prep/prep_messages.h"
#include "search/engine/settings_file.h"

namespace yubin::start {

namespace files = platform::files;
namespace text = platform::text;

namespace {

constexpr char kKenAllCsv[] = "KEN_ALL.CSV";
constexpr char kJigyosyoCsv[] = "JIGYOSYO.CSV";

// The newest modification time of the files, or -1 with `error`.
long long NewestTime(const std::vector<std::string>& paths, std::string& error) {
  long long newest = 0;
  for (const std::string& path : paths) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) {
      error = files::HostPathErrorText("read", path, errno);
      return -1;
    }
    newest = std::max<long long>(newest, st.st_mtim.tv_sec);
  }
  return newest;
}

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Writes the rest of `in` to the CP932 path `out`.
bool CopyTo(files::File& in, const std::string& inName, std::string_view out, std::string& error) {
  files::File copy = files::Open(out, files::kWrite | files::kCreate | files::kTruncate | files::kRegularFile, 0666);
  if (!copy.IsOpen()) {
    error = files::ErrorText("create", out, errno);
    return false;
  }
  std::vector<char> buffer(256 * 1024);
  for (;;) {
    long n = in.Read(buffer.data(), buffer.size());
    if (n < 0) {
      error = files::HostPathErrorText("read", inName, errno);
      return false;
    }
    if (n == 0) break;
    if (copy.Write(buffer.data(), static_cast<size_t>(n)) < 0) {
      error = files::ErrorText("write", out, errno);
      return false;
    }
  }
  if (copy.Close() != 0) {
    error = files::ErrorText("write", out, errno);
    return false;
  }
  return true;
}

// The index builder's message boxes, kept as one text for the error.
class CollectedMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view message, std::string_view caption, prep::MessageButtons) override {
    if (!text_.empty()) text_ += "; ";
    text_ += text::ToUtf8(caption) + ": " + text::ToUtf8(message);
    return 1;
  }
  // What failed and why, after the boxes' texts.
  void ShowReason(std::string_view reason) override { text_ += "; " + std::string(reason); }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

std::string LinkTarget(const std::string& link) {
  char target[4096];
  ssize_t n = readlink(link.c_str(), target, sizeof target);
  return n > 0 && static_cast<size_t>(n) < sizeof target ? std::string(target, static_cast<size_t>(n)) : std::string();
}

}  // namespace

std::optional<PostalData> InstalledData(const Installation& installation, std::string& error) {
  PostalData data{installation.DataFile(kKenAllArchive), installation.DataFile(kJigyosyoArchive),
                  installation.DataFile(kHelpFile)};
  data.time = NewestTime({data.kenAll, data.jigyosyo, data.help}, error);
  if (data.time < 0) return std::nullopt;
  return data;
}

std::optional<PostalData> DownloadedData(const std::string& directory, const Installation& installation,
                                         std::string& error) {
  PostalData data;
  data.help = installation.DataFile(kHelpFile);
  std::string kenAllCsv, jigyosyoCsv;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(directory, ec)) {
    std::string name = entry.path().filename().string();
    std::string path = entry.path().string();
    if (SameNameIgnoringCase(name, "ken_all.zip")) data.kenAll = path;
    if (SameNameIgnoringCase(name, "ken_all.csv")) kenAllCsv = path;
    if (SameNameIgnoringCase(name, "jigyosyo.zip")) data.jigyosyo = path;
    if (SameNameIgnoringCase(name, "jigyosyo.csv")) jigyosyoCsv = path;
  }
  if (ec) {
    error = files::HostPathErrorText("read the directory", directory, ec.value());
    return std::nullopt;
  }
  if (data.kenAll.empty()) data.kenAll = kenAllCsv;
  if (data.jigyosyo.empty()) data.jigyosyo = jigyosyoCsv;
  if (data.kenAll.empty() || data.jigyosyo.empty()) {
    error = directory + " holds no " +
            (data.kenAll.empty() ? "ken_all.zip or KEN_ALL.CSV" : "jigyosyo.zip or JIGYOSYO.CSV") +
            " (the postal authority's files, as downloaded)";
    return std::nullopt;
  }
  data.time = NewestTime({data.kenAll, data.jigyosyo, data.help}, error);
  if (data.time < 0) return std::nullopt;
  return data;
}

std::optional<std::string> DataDirectorySetting(const std::string& workspace, std::string& error) {
  std::string path = workspace + "/Zip_Code/";
  std::optional<std::string> setting = text::ToCp932Strict(path);
  if (!setting || text::ToUtf8(*setting) != path) {
    error = "the workspace's path " + path +
            " has no CP932 form for Tolvane.ini; set XDG_DATA_HOME to a directory whose path has one";
    return std::nullopt;
  }
  if (setting->size() >= search::engine::kSettingsRecordBytes) {
    error = "the workspace's path " + path + " is too long for Tolvane.ini (" +
            std::to_string(search::engine::kSettingsRecordBytes - 1) + " bytes at most)";
    return std::nullopt;
  }
  return setting;
}

Preparation::Preparation(const Installation& installation, PostalData data, std::string workspace,
                         std::string dataDirectorySetting, bool buildIndex)
    : installation_(installation),
      data_(std::move(data)),
      workspace_(std::move(workspace)),
      setting_(std::move(dataDirectorySetting)) {
  steps_.push_back({Kind::kKenAll, "住所データ KEN_ALL.CSV を用意しています", "putting KEN_ALL.CSV in place"});
  steps_.push_back({Kind::kJigyosyo, "事業所データ JIGYOSYO.CSV を用意しています", "putting JIGYOSYO.CSV in place"});
  steps_.push_back({Kind::kImport, "ALL_ZIP.TXT に取り込んでいます", "importing KEN_ALL.CSV into ALL_ZIP.TXT"});
  if (buildIndex)
    steps_.push_back({Kind::kBuild, "町名索引を作っています", "building the kana town index below Zip_Code"});
  steps_.push_back(
      {Kind::kPlace, "ヘルプと設定ファイルを置いています", "placing the help file, Tolvane.ini, qgrep and vesk"});
}

bool Preparation::Run(int step, std::string& error) {
  if (chdir(workspace_.c_str()) != 0) {
    error = files::HostPathErrorText("enter", workspace_, errno);
    return false;
  }
  switch (steps_[step].kind) {
    case Kind::kKenAll: return TakeCsv(data_.kenAll, kKenAllCsv, error);
    case Kind::kJigyosyo: return TakeCsv(data_.jigyosyo, kJigyosyoCsv, error);
    case Kind::kImport: return Import(error);
    case Kind::kBuild: return Build(error);
    case Kind::kPlace: return Place(error);
  }
  return false;
}

bool Preparation::TakeCsv(const std::string& source, std::string_view csvName, std::string& error) {
  // A named pipe or device (a link to /dev/zero, say) is no data to copy.
  files::File in = files::OpenHostPath(source, files::kRead | files::kRegularFile);
  if (!in.IsOpen()) {
    error = files::HostPathErrorText("open", source, errno);
    return false;
  }
  if (prep::import::IsZipArchive(in)) return prep::import::ExtractCsv(in, source, csvName, error) == 0;
  return CopyTo(in, source, csvName, error);
}

bool Preparation::Import(std::string& error) {
  prep::import::ImportReport report;
  if (prep::import::ImportKenAll(kKenAllCsv, prep::kMasterFileName, report, error) != 0) return false;
  recordsImported_ = report.recordsWritten;
  return true;
}

bool Preparation::Build(std::string& error) {
  if (files::MakeDirectory("Zip_Code") != 0) {
    error = files::HostPathErrorText("create directory", workspace_ + "/Zip_Code", errno);
    return false;
  }
  CollectedMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  std::string cityInitial;
  if (builder.BuildKanaTownIndex("", cityInitial) != 0) {
    error = "the kana town index could not be built: " + messages.Text();
    return false;
  }
  return true;
}

bool Preparation::Place(std::string& error) {
  if (files::MakeDirectory("Zip_Code") != 0) {
    error = files::HostPathErrorText("create directory", workspace_ + "/Zip_Code", errno);
    return false;
  }
  files::File help = files::OpenHostPath(data_.help, files::kRead | files::kRegularFile);
  if (!help.IsOpen()) {
    error = files::HostPathErrorText("open", data_.help, errno);
    return false;
  }
  if (!CopyTo(help, data_.help, text::Cp932("Zip_Code/") + text::Cp932(kHelpFile), error)) return false;
  if (!search::engine::WriteSettings(setting_)) {
    error = files::HostPathErrorText("write", workspace_ + "/" + search::engine::kSettingsFileName, errno);
    return false;
  }
  return PlaceProgramLinks(installation_, workspace_, error);
}

bool PlaceProgramLinks(const Installation& installation, const std::string& workspace, std::string& error) {
  for (const char* name : {"qgrep", "vesk"}) {
    std::string target = installation.Program(name);
    std::string link = workspace + "/" + name;
    if (LinkTarget(link) == target) continue;
    // A new link renamed over the old one: never a moment without one.
    std::string fresh = link + ".new";
    unlink(fresh.c_str());
    if (symlink(target.c_str(), fresh.c_str()) != 0 || rename(fresh.c_str(), link.c_str()) != 0) {
      error = files::HostPathErrorText("place the link", link + " to " + target, errno);
      unlink(fresh.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace yubin::start
