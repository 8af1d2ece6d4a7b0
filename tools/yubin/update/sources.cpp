#include "tools/yubin/update/sources.h"

#include <cerrno>
#include <cstdio>   // std::snprintf
#include <cstdlib>  // std::strtoll
#include <ctime>    // gmtime_r

#include "platform/files/file.h"
#include "platform/files/whole_file.h"

namespace yubin::update {

namespace files = platform::files;

namespace {

constexpr long long kJapanOffset = 9 * 3600;

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

long long Number(const std::string& text) {
  char* end = nullptr;
  long long value = std::strtoll(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0' ? value : -1;
}

// A field holds no tab or line feed: a server's header could hold neither
// here, but a record must stay one line a field.
std::string Clean(std::string text) {
  for (char& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

std::string Month::Yymm() const {
  char text[32];
  std::snprintf(text, sizeof text, "%02d%02d", Year() % 100, Number());
  return text;
}

Month MonthOf(long long time) {
  std::time_t japan = static_cast<std::time_t>(time + kJapanOffset);
  std::tm parts{};
  gmtime_r(&japan, &parts);
  return Month{(parts.tm_year + 1900) * 12 + parts.tm_mon};
}

std::string DateText(long long time) {
  std::time_t japan = static_cast<std::time_t>(time + kJapanOffset);
  std::tm parts{};
  gmtime_r(&japan, &parts);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
  return text;
}

std::string AddressFilePath(Edition edition) {
  return edition == Edition::kUtf8 ? "utf/zip/utf_ken_all.zip" : "kogaki/zip/ken_all.zip";
}
std::string OfficeFilePath() { return "jigyosyo/zip/jigyosyo.zip"; }
std::string AddressDeletionsPath(Month month) { return "kogaki/zip/del_" + month.Yymm() + ".zip"; }
std::string AddressAdditionsPath(Month month) { return "kogaki/zip/add_" + month.Yymm() + ".zip"; }
std::string OfficeDeletionsPath(Month month) { return "jigyosyo/zip/jdel_" + month.Yymm() + ".zip"; }
std::string OfficeAdditionsPath(Month month) { return "jigyosyo/zip/jadd_" + month.Yymm() + ".zip"; }

std::optional<SourceRecord> ReadSourceRecord(const std::string& workspace) {
  files::File in = files::OpenHostPath(workspace + "/" + kSourceRecordName, files::kRead);
  if (!in.IsOpen()) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (long n; (n = in.Read(buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<size_t>(n));
    if (text.size() > (1 << 20)) return std::nullopt;
  }
  SourceRecord record;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    std::vector<std::string> f = Fields(text.substr(start, end - start));
    if (f[0] == "data" && f.size() == 3) {
      record.dataTime = Number(f[1]);
      record.edition = f[2] == "utf8" ? Edition::kUtf8 : Edition::kCp932;
    } else if (f[0] == "server" && f.size() == 4) {
      record.addressUrl = f[1];
      record.addressValidators = {f[2], f[3]};
    } else if (f[0] == "file" && f.size() == 6) {
      record.files.push_back({f[1], f[2], Number(f[3]), f[4], Number(f[5])});
    }
  }
  if (record.dataTime < 0) return std::nullopt;
  return record;
}

bool WriteSourceRecord(const std::string& workspace, const SourceRecord& record, std::string& error) {
  std::string text =
      "data\t" + std::to_string(record.dataTime) + "\t" + (record.edition == Edition::kUtf8 ? "utf8" : "cp932") + "\n";
  text += "server\t" + Clean(record.addressUrl) + "\t" + Clean(record.addressValidators.lastModified) + "\t" +
          Clean(record.addressValidators.etag) + "\n";
  for (const SourceFile& file : record.files)
    text += "file\t" + Clean(file.name) + "\t" + Clean(file.url) + "\t" + std::to_string(file.time) + "\t" +
            file.sha256 + "\t" + std::to_string(file.bytes) + "\n";
  std::string path = workspace + "/" + kSourceRecordName;
  // Written whole, so that a failed write never leaves half a file.
  if (files::WriteWholeHostFile(path, text, 0644) != 0) {
    error = files::HostPathErrorText("write", path, errno);
    return false;
  }
  return true;
}

std::string DescribeSourceRecord(const SourceRecord& record) {
  std::string text = "data of " + DateText(record.dataTime) + " (" +
                     (record.edition == Edition::kUtf8 ? "UTF-8" : "CP932") + " edition), from:\n";
  for (const SourceFile& file : record.files) {
    text += "  " + file.name + "\n    " + file.url + "\n    ";
    text += (file.time >= 0 ? "dated " + DateText(file.time) : std::string("undated")) + ", " +
            std::to_string(file.bytes) + " bytes, SHA-256 " + file.sha256 + "\n";
  }
  return text;
}

}  // namespace yubin::update
