#include "tools/yubin/lookup_batch.h"

#include <unistd.h>  // isatty

#include <cerrno>
#include <chrono>
#include <cstdio>   // std::fprintf
#include <cstring>  // std::strerror
#include <vector>

#include "platform/files/file.h"
#include "search/address/cp932_codec.h"
#include "search/address/postal_csv.h"

namespace yubin {
namespace {

namespace files = platform::files;
using address::Candidate;
using address::MatchKind;

constexpr size_t kChunk = 1 << 20;
// A row longer than this is no address list's: most likely a quote left
// open. Its first line is copied through as unreadable and reading goes on
// after it, as for a quote still open at the end of the list.
constexpr size_t kMaxRow = 1 << 20;

// The end of the first whole row in `text` (the index after its line end),
// or npos when the text ends inside it. Quotes may hold line ends; at the
// end of the input a row ends there, unless a quote is still open.
size_t RowEnd(std::string_view text, bool atEnd) {
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"')
      quoted = !quoted;
    else if (c == '\n' && !quoted)
      return i + 1;
  }
  return atEnd && !text.empty() && !quoted ? text.size() : std::string_view::npos;
}

// A CSV field, quoted when it needs to be.
std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

bool ValidUtf8(std::string_view text) {
  bool ok = true;
  address::DecodeUtf8(text, [&](char32_t c) { ok &= c != address::kReplacement; });
  return ok;
}

class Batch {
 public:
  Batch(const address::AddressTable& table, const BatchOptions& options, int outFd, BatchCounts& counts)
      : table_(table), options_(options), outFd_(outFd), counts_(counts), progress_(isatty(2) == 1) {}

  int Run() {
    files::File file;
    int inFd = 0;
    if (options_.input != "-") {
      file = files::OpenHostPath(options_.input, files::kRead | files::kRegularFile);
      if (!file.IsOpen()) return Fail("cannot open " + options_.input + ": " + std::strerror(errno));
    }
    std::string buffer;
    bool atEnd = false;
    started_ = std::chrono::steady_clock::now();
    while (true) {
      if (!atEnd) {
        size_t used = buffer.size();
        buffer.resize(used + kChunk);
        long n =
            file.IsOpen() ? file.Read(buffer.data() + used, kChunk) : files::Read(inFd, buffer.data() + used, kChunk);
        if (n < 0) return Fail("cannot read " + InputName() + ": " + std::strerror(errno));
        buffer.resize(used + static_cast<size_t>(n));
        atEnd = n == 0;
        if (!decided_) Decide(buffer, atEnd);
      }
      std::string_view rest = buffer;
      size_t taken = 0;
      while (true) {
        size_t end = RowEnd(rest, atEnd);
        if (end == std::string_view::npos) {
          if (rest.empty() || (rest.size() <= kMaxRow && !atEnd)) break;
          // A quote left open: its line is one unreadable row.
          end = rest.find('\n') + 1;
          if (end == 0) end = rest.size();
          Unreadable(rest.substr(0, end), "a quote is left open");
        } else {
          Row(rest.substr(0, end));
        }
        rest.remove_prefix(end);
        taken += end;
        if (!Flush(false)) return 2;
      }
      buffer.erase(0, taken);
      if (atEnd && buffer.empty()) break;
    }
    if (!Flush(true)) return 2;
    if (progress_ && shown_) std::fprintf(stderr, "\r\033[K");
    std::fprintf(
        stderr,
        "yubin lookup: %ld rows: found exact %ld, town only %ld, city only %ld, not found %ld, unreadable %ld\n", rows_,
        counts_.exact, counts_.town, counts_.city, counts_.notFound, counts_.unreadable);
    return 0;
  }

 private:
  const address::AddressTable& table_;
  const BatchOptions& options_;
  int outFd_;
  BatchCounts& counts_;
  bool progress_;
  bool shown_ = false;
  bool decided_ = false;
  bool headerDone_ = false;
  bool utf8_ = false;
  long line_ = 0;  // of the row's first line
  long rows_ = 0;
  std::string out_;
  std::vector<std::string> fields_;
  std::chrono::steady_clock::time_point started_, lastShown_;

  std::string InputName() const { return options_.input == "-" ? "standard input" : options_.input; }

  int Fail(const std::string& message) {
    std::fprintf(stderr, "yubin lookup: %s\n", message.c_str());
    return 2;
  }

  void Decide(std::string_view start, bool atEnd) {
    if (options_.encoding == "utf-8") {
      utf8_ = true;
    } else if (options_.encoding == "cp932") {
      utf8_ = false;
    } else {
      // Judged on whole lines: the chunk may end inside a character.
      size_t last = start.rfind('\n');
      if (last == std::string_view::npos && !atEnd) return;
      utf8_ = address::GuessEncoding(start.substr(0, last == std::string_view::npos ? start.size() : last + 1)) ==
              address::CsvEncoding::kUtf8;
    }
    decided_ = true;
  }

  // The row's text in the list's encoding.
  std::string Text(std::string_view cp932) const { return utf8_ ? address::Cp932ToUtf8(cp932) : std::string(cp932); }

  void Row(std::string_view row) {
    long first = line_ + 1;
    for (char c : row) line_ += c == '\n';
    if (row.back() != '\n') ++line_;
    size_t bodyEnd = row.size();
    if (bodyEnd > 0 && row[bodyEnd - 1] == '\n') --bodyEnd;
    if (bodyEnd > 0 && row[bodyEnd - 1] == '\r') --bodyEnd;
    std::string_view body = row.substr(0, bodyEnd);
    std::string_view lineEnd = row.substr(bodyEnd);
    if (body.empty()) {  // a blank line stays one
      out_.append(row);
      return;
    }
    ++rows_;
    if (options_.header && !headerDone_) {
      headerDone_ = true;
      --rows_;
      out_.append(body);
      out_ += Text(HeaderColumns());
      out_.append(lineEnd);
      return;
    }
    if (!address::SplitCsvLine(body, fields_)) return Unreadable(row, "a quote is left open", first);
    if (static_cast<size_t>(options_.column) > fields_.size())
      return Unreadable(row, "no column " + std::to_string(options_.column), first);
    const std::string& written = fields_[options_.column - 1];
    if (utf8_ && !ValidUtf8(written)) return Unreadable(row, "the address is not UTF-8", first);
    std::vector<Candidate> candidates = utf8_ ? table_.LookupUtf8(written) : table_.LookupCp932(written);
    out_.append(body);
    out_ += ',';
    if (candidates.empty()) {
      ++counts_.notFound;
      out_ += ',';
    } else {
      const Candidate& best = candidates[0];
      (best.kind == MatchKind::kExact ? counts_.exact : best.kind == MatchKind::kTown ? counts_.town : counts_.city)++;
      out_ += best.code;
      out_ += ',';
      out_ += CsvField(Text(best.prefecture + best.city + best.town + best.office));
    }
    out_.append(lineEnd);
    ShowProgress();
  }

  static std::string_view HeaderColumns();  // CP932

  void Unreadable(std::string_view row, const std::string& why, long line = 0) {
    if (line == 0) {
      ++rows_;
      line = line_ + 1;
      for (char c : row) line_ += c == '\n';
      if (row.empty() || row.back() != '\n') ++line_;
    }
    ++counts_.unreadable;
    std::fprintf(stderr, "yubin lookup: line %ld: %s; copied unchanged\n", line, why.c_str());
    out_.append(row);
  }

  void ShowProgress() {
    if (!progress_ || rows_ % 1000 != 0) return;
    auto now = std::chrono::steady_clock::now();
    if (now - started_ < std::chrono::seconds(1) || now - lastShown_ < std::chrono::milliseconds(200)) return;
    lastShown_ = now;
    shown_ = true;
    std::fprintf(stderr, "\r\033[K%ld rows", rows_);
  }

  bool Flush(bool all) {
    if (out_.size() < (all ? 1 : kChunk)) return true;
    if (files::Write(outFd_, out_) < 0) {
      Fail(std::string("cannot write standard output: ") + std::strerror(errno));
      return false;
    }
    out_.clear();
    return true;
  }
};

// The two columns' names, in CP932.
std::string_view Batch::HeaderColumns() {
  // ",郵便番号,住所"
  static const std::string* text = [] {
    std::string cp932;
    address::Utf8ToCp932(",郵便番号,住所", cp932);
    return new std::string(cp932);
  }();
  return *text;
}

}  // namespace

int RunBatch(const address::AddressTable& table, const BatchOptions& options, int outFd, BatchCounts& counts) {
  return Batch(table, options, outFd, counts).Run();
}

}  // namespace yubin
