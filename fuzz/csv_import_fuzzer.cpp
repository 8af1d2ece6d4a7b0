// Imports any bytes as the postal authority's CSV, plain or packed in a zip
// archive, and compares every field of every record written with what a
// small model of the import's rules makes of the same bytes: a CSV reader
// of its own (quotes, doubled quotes, commas), the edition guessed from the
// first line with a byte above 0x7F, small kana written full-size in the
// readings, split towns joined. A refused file leaves the old master file,
// no temporary file and a message; a file the model finds clean is never
// refused.
//
// The input's first byte chooses the form: bits 0-1 plain (0, 1), a stored
// (2) or a deflated (3) zip archive; bits 2-3 how many corruptions of the
// archive follow, three bytes each: a position (two bytes, big-endian,
// taken modulo the archive's size) and a byte to XOR there, or 0 to cut
// the archive at that position. The rest is the CSV. A corrupted archive
// is refused with a message or yields exactly the records of the clean
// CSV; an intact one gives what the plain CSV gives.
#include <archive.h>
#include <archive_entry.h>
#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files/file.h"
#include "prep/import/csv_archive.h"
#include "prep/import/ken_all_import.h"

namespace {

namespace files = platform::files;
namespace import = prep::import;

constexpr char kOldMaster[] = "the old master file\n";
constexpr size_t kFields = 15;
constexpr size_t kMaxLine = 64 * 1024;

using Record = std::vector<std::string>;

// glibc's own converter, not the platform's helpers: nullopt where the
// bytes do not convert. One descriptor per direction, opened once.
std::optional<std::string> Convert(bool toCp932, std::string_view in) {
  static iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
  static iconv_t fromUtf8 = iconv_open("CP932", "UTF-8");
  iconv_t cd = toCp932 ? fromUtf8 : toUtf8;
  FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1));
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  std::string out(in.size() * 4 + 4, '\0');
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t length = b < 0x80                 ? 1
                    : b >= 0xC2 && b <= 0xDF ? 2
                    : b >= 0xE0 && b <= 0xEF ? 3
                    : b >= 0xF0 && b <= 0xF4 ? 4
                                             : 0;
    if (length == 0 || i + length > s.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += length;
  }
  return true;
}

bool IsAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// A CSV line into fields: a field that starts with a quote runs to the
// quote that is not doubled and must end there; any other field holds no
// quote.
std::optional<Record> ParseLine(std::string_view line) {
  Record fields;
  size_t i = 0;
  for (;;) {
    std::string field;
    if (i < line.size() && line[i] == '"') {
      for (++i;; ++i) {
        if (i >= line.size()) return std::nullopt;
        if (line[i] != '"') {
          field += line[i];
        } else if (i + 1 < line.size() && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          ++i;
          break;
        }
      }
      if (i < line.size() && line[i] != ',') return std::nullopt;
    } else {
      for (; i < line.size() && line[i] != ','; ++i) {
        if (line[i] == '"') return std::nullopt;
        field += line[i];
      }
    }
    fields.push_back(std::move(field));
    if (i >= line.size()) return fields;
    ++i;
  }
}

// ｧｨｩｪｫｬｭｮｯ as ｱｲｳｴｵﾔﾕﾖﾂ, two-byte characters left alone.
std::string FullSizeKana(std::string_view cp932) {
  static constexpr unsigned char kFull[] = {0xB1, 0xB2, 0xB3, 0xB4, 0xB5, 0xD4, 0xD5, 0xD6, 0xC2};
  std::string out(cp932);
  for (size_t i = 0; i < out.size(); ++i) {
    auto b = static_cast<unsigned char>(out[i]);
    if (IsLead(b))
      ++i;
    else if (b >= 0xA7 && b <= 0xAF)
      out[i] = static_cast<char>(kFull[b - 0xA7]);
  }
  return out;
}

// Full-width "（" minus "）", character by character.
int Parentheses(std::string_view cp932) {
  int balance = 0;
  for (size_t i = 0; i < cp932.size(); ++i) {
    if (!IsLead(static_cast<unsigned char>(cp932[i])) || i + 1 >= cp932.size()) continue;
    if (cp932.substr(i, 2) == "\x81\x69") ++balance;
    if (cp932.substr(i, 2) == "\x81\x6A") --balance;
    ++i;
  }
  return balance;
}

// What the model makes of a file: the records, or nothing when some line
// is beyond what the import could accept; `clean` when every line is plain
// enough that the import must accept it.
struct Expected {
  bool acceptable = true;
  bool clean = true;
  // Whether rows of the UTF-8 edition join is decided on readings the
  // model does not convert; where one is beyond ASCII the records are not
  // compared.
  bool uncertain = false;
  std::vector<Record> records;
  // Readings of the UTF-8 edition beyond ASCII go through the platform's
  // width tables, which the model does not repeat: those fields are not
  // compared.
  std::vector<std::vector<bool>> compared;
};

bool IsPlain(std::string_view field) {
  for (char c : field) {
    auto b = static_cast<unsigned char>(c);
    bool plain = (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= 0xA1 && b <= 0xDF);
    if (!plain) return false;
  }
  return true;
}

bool IsDigits(std::string_view field, size_t count) {
  if (field.size() != count) return false;
  for (char c : field)
    if (c < '0' || c > '9') return false;
  return true;
}

Expected Model(std::string_view csv) {
  Expected e;
  std::vector<std::string_view> lines;
  for (size_t start = 0; start < csv.size();) {
    size_t end = csv.find('\n', start);
    if (end == std::string_view::npos) end = csv.size();
    std::string_view line = csv.substr(start, end - start);
    if (line.size() > kMaxLine) e.acceptable = e.clean = false;
    if (end < csv.size() && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    start = end + 1;
  }
  if (lines.empty()) e.acceptable = e.clean = false;
  std::optional<bool> utf8;  // the edition, once a line decides it
  bool pending = false;      // a split town waits for its end
  Record town;
  std::vector<bool> townCompared;
  std::string firstReading;
  for (size_t n = 0; n < lines.size() && e.acceptable; ++n) {
    std::string_view line = lines[n];
    if (n == 0 && line.starts_with("\xEF\xBB\xBF")) {
      line.remove_prefix(3);
      utf8 = true;
      e.clean = false;
    }
    for (char c : line)
      if (static_cast<unsigned char>(c) < 0x20) e.acceptable = false;
    if (!utf8 && !IsAscii(line)) utf8 = IsValidUtf8(line);
    std::optional<Record> fields = ParseLine(line);
    if (!e.acceptable || !fields || fields->size() != kFields) {
      e.acceptable = e.clean = false;
      break;
    }
    std::vector<bool> compared(kFields, true);
    for (size_t i = 0; i < kFields; ++i) {
      std::string& field = (*fields)[i];
      bool reading = i >= 3 && i <= 5;
      if (utf8.value_or(false)) {
        e.clean = false;
        if (reading) {
          compared[i] = IsAscii(field);
          if (!IsValidUtf8(field)) e.acceptable = false;
          continue;
        }
        std::optional<std::string> cp932 = Convert(true, field);
        if (!cp932) e.acceptable = false;
        field = cp932.value_or("");
      } else {
        if (!Convert(false, field)) e.acceptable = false;
        if (reading) field = FullSizeKana(field);
      }
    }
    Record& r = *fields;
    if (!IsDigits(r[0], 5) || !IsDigits(r[2], 7)) e.clean = false;
    for (size_t i = 3; i <= 8; ++i)
      if (r[i].empty() || !IsPlain(r[i])) e.clean = false;
    if (pending && utf8.value_or(false) && (!IsAscii(r[4]) || !IsAscii(town[4]))) e.uncertain = true;
    if (pending && r[2] == town[2] && r[4] == town[4]) {
      town[8] += r[8];
      if (r[5] != firstReading) town[5] += r[5];
      townCompared[5] = townCompared[5] && compared[5];
      if (Parentheses(town[8]) <= 0) {
        e.records.push_back(town);
        e.compared.push_back(townCompared);
        pending = false;
      }
      continue;
    }
    if (pending) {
      e.records.push_back(town);
      e.compared.push_back(townCompared);
      pending = false;
    }
    if (Parentheses(r[8]) > 0) {
      town = r;
      townCompared = compared;
      firstReading = r[5];
      pending = true;
      continue;
    }
    e.records.push_back(r);
    e.compared.push_back(compared);
  }
  if (pending) {
    e.records.push_back(town);
    e.compared.push_back(townCompared);
  }
  return e;
}

// The master file's records, split at line ends and commas.
std::vector<Record> MasterRecords(std::string_view master) {
  std::vector<Record> records;
  for (size_t start = 0; start < master.size();) {
    size_t end = master.find('\n', start);
    if (end == std::string_view::npos) end = master.size();
    std::string_view line = master.substr(start, end - start);
    if (end < master.size() && line.ends_with('\r')) line.remove_suffix(1);
    Record fields(1);
    for (char c : line) {
      if (c == ',')
        fields.emplace_back();
      else
        fields.back() += c;
    }
    records.push_back(std::move(fields));
    start = end + 1;
  }
  return records;
}

struct Outcome {
  int result = -1;
  std::string master;
};

// The import as the command line does it: a zip archive's CSV is taken out
// beside the output first, anything else is read as the CSV.
Outcome Import(const std::string& input) {
  fuzz::WriteFile("ALL_ZIP.TXT", kOldMaster);
  import::ImportReport report;
  std::string error;
  int result;
  files::File in = files::Open(input, files::kRead);
  FUZZ_CHECK(in.IsOpen());
  if (import::IsZipArchive(in)) {
    result = import::ExtractCsv(in, "KEN_ALL.ZIP", "ALL_ZIP.TXT.csv.tmp", error);
    in.Close();
    if (result == 0) {
      result = import::ImportKenAll("ALL_ZIP.TXT.csv.tmp", "ALL_ZIP.TXT", report, error);
      files::Remove("ALL_ZIP.TXT.csv.tmp");
    } else {
      FUZZ_CHECK(!fuzz::FileExists("ALL_ZIP.TXT.csv.tmp"));
    }
  } else {
    in.Close();
    result = import::ImportKenAll(input, "ALL_ZIP.TXT", report, error);
  }
  Outcome outcome{result, fuzz::ReadFile("ALL_ZIP.TXT")};
  FUZZ_CHECK(!fuzz::FileExists("ALL_ZIP.TXT.tmp"));
  if (result != 0) {
    FUZZ_CHECK(result == -1);
    FUZZ_CHECK(!error.empty());
    FUZZ_CHECK(outcome.master == kOldMaster);
  } else {
    FUZZ_CHECK(report.recordsWritten == static_cast<long>(MasterRecords(outcome.master).size()));
  }
  return outcome;
}

// The CSV packed as the one member of a zip archive, built in memory.
std::string Zip(const std::string& csv, bool deflate) {
  archive* w = archive_write_new();
  archive_write_set_format_zip(w);
  if (deflate)
    archive_write_zip_set_compression_deflate(w);
  else
    archive_write_zip_set_compression_store(w);
  archive_write_set_bytes_in_last_block(w, 1);
  std::string out(csv.size() * 2 + 4096, '\0');
  size_t used = 0;
  FUZZ_CHECK(archive_write_open_memory(w, out.data(), out.size(), &used) == ARCHIVE_OK);
  archive_entry* entry = archive_entry_new();
  archive_entry_set_pathname(entry, "KEN_ALL.CSV");
  archive_entry_set_filetype(entry, AE_IFREG);
  archive_entry_set_perm(entry, 0644);
  archive_entry_set_size(entry, static_cast<la_int64_t>(csv.size()));
  FUZZ_CHECK(archive_write_header(w, entry) == ARCHIVE_OK);
  FUZZ_CHECK(archive_write_data(w, csv.data(), csv.size()) == static_cast<la_ssize_t>(csv.size()));
  FUZZ_CHECK(archive_write_close(w) == ARCHIVE_OK);
  archive_entry_free(entry);
  archive_write_free(w);
  out.resize(used);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  unsigned form = data[0] & 3;
  size_t corruptions = form >= 2 ? (data[0] >> 2) & 3 : 0;
  size_t skip = 1 + 3 * corruptions;
  if (size < skip) return 0;
  std::string csv(reinterpret_cast<const char*>(data) + skip, size - skip);

  fuzz::WriteFile("KEN_ALL.CSV", csv);
  Outcome plain = Import("KEN_ALL.CSV");
  Expected expected = Model(csv);
  if (expected.clean) FUZZ_CHECK(plain.result == 0);
  if (plain.result == 0) FUZZ_CHECK(expected.acceptable);
  if (plain.result == 0 && !expected.uncertain) {
    std::vector<Record> written = MasterRecords(plain.master);
    FUZZ_CHECK(written.size() == expected.records.size());
    for (size_t r = 0; r < written.size(); ++r) {
      FUZZ_CHECK(written[r].size() == kFields);
      for (size_t f = 0; f < kFields; ++f)
        FUZZ_CHECK(!expected.compared[r][f] || written[r][f] == expected.records[r][f]);
    }
  }
  if (form < 2) return 0;

  std::string zip = Zip(csv, form == 3);
  for (size_t k = 0; k < corruptions && !zip.empty(); ++k) {
    const uint8_t* c = data + 1 + 3 * k;
    size_t at = (static_cast<size_t>(c[0]) << 8 | c[1]) % zip.size();
    if (c[2] == 0)
      zip.resize(at);
    else
      zip[at] = static_cast<char>(zip[at] ^ c[2]);
  }
  fuzz::WriteFile("KEN_ALL.ZIP", zip);
  Outcome packed = Import("KEN_ALL.ZIP");
  if (corruptions == 0) FUZZ_CHECK(packed.result == plain.result);
  if (packed.result == 0) FUZZ_CHECK(plain.result == 0 && packed.master == plain.master);
  return 0;
}
