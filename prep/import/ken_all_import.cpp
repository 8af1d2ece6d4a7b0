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

// Writes the output through a buffer; remembers the first failure.
class OutputFile {
 public:
  explicit OutputFile(files::File& file) : file_(file) {}

  bool Append(const Row& row) {
    for (size_t i = 0; i < row.fields.size(); ++i) {
      if (i > 0) buffer_ += ',';
      buffer_ += row.fields[i];
    }
    buffer_ += row.lineEnd;
    return buffer_.size() < kFlushSize || Flush();
  }

  bool Flush() {
    if (buffer_.empty()) return true;
    long n = file_.Write(buffer_);
    buffer_.clear();
    return n >= 0;
  }

 private:
  files::File& file_;
  std::string buffer_;
};

std::string LineError(std::string_view path, long line, std::string_view what) {
  return platform::text::ToUtf8(path) + " line " + std::to_string(line) + ": " + std::string(what);
}

// The body of the import, with both files open.
int Convert(std::string_view inputPath, std::string_view outputPath, files::File& in, files::File& out,
            ImportReport& report, std::string& error) {
  LineReader lines(in);
  OutputFile output(out);
  SplitTownJoiner joiner;
  std::optional<Edition> edition;
  std::string line, lineEnd, fieldError;
  std::vector<std::string> fields;
  std::vector<Row> ready;
  bool failed = false;
  auto writeReady = [&]() -> bool {
    for (const Row& row : ready) {
      if (!output.Append(row)) return false;
      ++report.recordsWritten;
    }
    ready.clear();
    return true;
  };
  // Checked on whole rows: a joined town's reading is known only now.
  auto checkReady = [&]() -> bool {
    for (const Row& row : ready) {
      if (!CheckIndexKeys(row.fields, fieldError)) {
        error = LineError(inputPath, row.lineNumber, fieldError);
        return false;
      }
    }
    return true;
  };
  auto writeError = [&]() {
    error = files::ErrorText("write", outputPath, errno);
    return -1;
  };

  while (lines.Next(line, lineEnd, failed)) {
    long number = ++report.linesRead;
    if (lines.tooLong()) {
      error = LineError(inputPath, number, "is longer than " + std::to_string(kMaxLineLength) + " bytes");
      return -1;
    }
    std::string_view content = line;
    if (number == 1 && content.starts_with(kUtf8Bom)) {
      content.remove_prefix(kUtf8Bom.size());
      edition = Edition::kUtf8;
    }
    for (char c : content) {
      if (static_cast<unsigned char>(c) < 0x20) {
        error = LineError(inputPath, number, "holds a control byte");
        return -1;
      }
    }
    // The edition shows in the first line with a byte above 0x7F; a line of
    // ASCII alone reads the same in both.
    Edition lineEdition = edition.value_or(Edition::kCp932);
    if (!edition) {
      for (char c : content) {
        if (static_cast<unsigned char>(c) >= 0x80) {
          edition = GuessEdition(content);
          lineEdition = *edition;
          break;
        }
      }
    }
    if (!SplitCsvFields(content, fields, fieldError)) {
      error = LineError(inputPath, number, fieldError);
      return -1;
    }
    if (fields.size() != kFieldCount) {
      error = LineError(inputPath, number,
                        std::to_string(fields.size()) + " fields where " + std::to_string(kFieldCount) + " belong");
      return -1;
    }
    if (!ToMasterFields(lineEdition, fields, fieldError) || !CheckRecordFields(fields, fieldError)) {
      error = LineError(inputPath, number, fieldError);
      return -1;
    }
    joiner.Add(Row{fields, lineEnd, number}, ready);
    if (!checkReady()) return -1;
    if (!writeReady()) return writeError();
  }
  if (failed) {
    error = files::ErrorText("read", inputPath, errno);
    return -1;
  }
  if (report.linesRead == 0) {
    error = LineError(inputPath, 1, "the file is empty");
    return -1;
  }
  joiner.Finish(ready);
  if (!checkReady()) return -1;
  if (!writeReady() || !output.Flush()) return writeError();
  report.edition = edition.value_or(Edition::kCp932);
  report.townsJoined = joiner.townsJoined();
  report.rowsJoined = joiner.rowsJoined();
  report.townsLeftOpen = joiner.townsLeftOpen();
  return 0;
}

}  // namespace

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
