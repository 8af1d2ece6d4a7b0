#include "prep/import/ken_all_import.h"

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/files/byte_reader.h"
#include "platform/files/file.h"
#include "platform/files/whole_file.h"
#include "platform/text/cp932.h"
#include "prep/import/csv_fields.h"
#include "prep/import/split_towns.h"

namespace prep::import {

namespace files = platform::files;

namespace {

constexpr size_t kFlushSize = 64 * 1024;
// No postal row comes near this; a longer line means the input is no such
// file, and the import stops there rather than hold it all in memory.
constexpr size_t kMaxLineLength = 64 * 1024;
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Reads lines, LF ended, the LF and a CR before it kept apart.
class LineReader {
 public:
  explicit LineReader(files::File& file) : reader_(file) {}

  // False at the end of the file. `failed` tells a read error from the end.
  // A line longer than kMaxLineLength is cut there and marked too long.
  bool Next(std::string& line, std::string& lineEnd, bool& failed) {
    line.clear();
    lineEnd.clear();
    failed = false;
    tooLong_ = false;
    for (;;) {
      int b = reader_.Next();
      if (b == files::ByteReader::kError) {
        failed = true;
        return false;
      }
      if (b == files::ByteReader::kEnd) return !line.empty();
      if (b == '\n') {
        if (!line.empty() && line.back() == '\r') {
          line.pop_back();
          lineEnd = "\r\n";
        } else {
          lineEnd = "\n";
        }
        return true;
      }
      if (line.size() == kMaxLineLength) {
        tooLong_ = true;
        return true;
      }
      line += static_cast<char>(b);
    }
  }

  bool tooLong() const { return tooLong_; }

 private:
  files::ByteReader reader_;
  bool tooLong_ = false;
};

std::string LineError(std::string_view path, long line, std::string_view what) {
  return platform::text::ToUtf8(path) + " line " + std::to_string(line) + ": " + std::string(what);
}

// The body of the import, with both files open.
int Convert(std::string_view inputPath, std::string_view outputPath, files::File& in, files::File& out,
            ImportReport& report, std::string& error) {
  LineReader lines(in);
  KenAllConverter converter(inputPath);
  std::string line, lineEnd, records;
  bool failed = false;
  auto flush = [&](size_t least) {
    if (records.size() < least) return true;
    long n = out.Write(records);
    records.clear();
    if (n >= 0) return true;
    error = files::ErrorText("write", outputPath, errno);
    return false;
  };
  while (lines.Next(line, lineEnd, failed)) {
    long number = ++report.linesRead;
    if (lines.tooLong()) {
      error = LineError(inputPath, number, "is longer than " + std::to_string(kMaxLineLength) + " bytes");
      return -1;
    }
    if (!converter.AddLine(line, lineEnd, number, records, error)) return -1;
    if (!flush(kFlushSize)) return -1;
  }
  if (failed) {
    error = files::ErrorText("read", inputPath, errno);
    return -1;
  }
  if (report.linesRead == 0) {
    error = LineError(inputPath, 1, "the file is empty");
    return -1;
  }
  if (!converter.Finish(records, error)) return -1;
  if (!flush(1)) return -1;
  report.edition = converter.edition();
  report.recordsWritten = converter.recordsWritten();
  report.townsJoined = converter.joiner().townsJoined();
  report.rowsJoined = converter.joiner().rowsJoined();
  report.townsLeftOpen = converter.joiner().townsLeftOpen();
  return 0;
}

}  // namespace

KenAllConverter::KenAllConverter(std::string_view inputPath, std::optional<Edition> edition)
    : inputPath_(inputPath), edition_(edition) {}

bool KenAllConverter::AddLine(std::string_view line, std::string_view lineEnd, long number, std::string& records,
                              std::string& error) {
  std::string_view content = line;
  if (number == 1 && content.starts_with(kUtf8Bom)) {
    content.remove_prefix(kUtf8Bom.size());
    edition_ = Edition::kUtf8;
  }
  for (char c : content) {
    if (static_cast<unsigned char>(c) < 0x20) {
      error = LineError(inputPath_, number, "holds a control byte");
      return false;
    }
  }
  // The edition shows in the first line with a byte above 0x7F; a line of
  // ASCII alone reads the same in both.
  if (!edition_) {
    for (char c : content) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        edition_ = GuessEdition(content);
        break;
      }
    }
  }
  std::string fieldError;
  if (!SplitCsvFields(content, fields_, fieldError)) {
    error = LineError(inputPath_, number, fieldError);
    return false;
  }
  if (fields_.size() != kFieldCount) {
    error = LineError(inputPath_, number,
                      std::to_string(fields_.size()) + " fields where " + std::to_string(kFieldCount) + " belong");
    return false;
  }
  if (!ToMasterFields(edition(), fields_, fieldError) || !CheckRecordFields(fields_, fieldError)) {
    error = LineError(inputPath_, number, fieldError);
    return false;
  }
  joiner_.Add(Row{fields_, std::string(lineEnd), number}, ready_);
  return TakeReady(records, error);
}

bool KenAllConverter::Finish(std::string& records, std::string& error) {
  joiner_.Finish(ready_);
  return TakeReady(records, error);
}

bool KenAllConverter::TakeReady(std::string& records, std::string& error) {
  // Checked on whole rows: a joined town's reading is known only now.
  std::string fieldError;
  for (const Row& row : ready_) {
    if (!CheckIndexKeys(row.fields, fieldError)) {
      error = LineError(inputPath_, row.lineNumber, fieldError);
      ready_.clear();
      return false;
    }
  }
  for (const Row& row : ready_) {
    for (size_t i = 0; i < row.fields.size(); ++i) {
      if (i > 0) records += ',';
      records += row.fields[i];
    }
    records += row.lineEnd;
    ++recordsWritten_;
  }
  ready_.clear();
  return true;
}

int ImportKenAll(std::string_view inputPath, std::string_view outputPath, ImportReport& report, std::string& error) {
  report = ImportReport{};
  // Earlier versions wrote through "<output>.tmp"; one that was killed
  // part-way left it, so it goes too.
  files::Remove(std::string(outputPath) + ".tmp");
  files::File in = files::Open(inputPath, files::kRead | files::kRegularFile);
  if (!in.IsOpen()) {
    error = files::ErrorText("open", inputPath, errno);
    return -1;
  }
  // The master file is written whole: through a temporary file, renamed
  // over the old one at the end (a link followed, a device written in place).
  files::WholeFileWriter out;
  if (out.Begin(outputPath) != 0) {
    error = files::ErrorText("create", outputPath, errno);
    return -1;
  }
  int result = Convert(inputPath, outputPath, in, out.Output(), report, error);
  in.Close();
  if (result == 0 && out.Commit() != 0) {
    error = files::ErrorText("write", outputPath, errno);
    result = -1;
  }
  if (result != 0) out.Abandon();
  return result;
}

}  // namespace prep::import
