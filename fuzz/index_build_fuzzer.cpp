// Builds the kana town index from any bytes as the master file, in a fresh
// "Zip_Code" each time, and compares it with a model of the index worked
// out here from the master's bytes: the build succeeds; it files exactly
// the lines with nine commas or more (NUL bytes passed over) whose key
// names a file of its own, and counts the others; each index file holds,
// in the order of the master, the lines "town,prefecture,code,city,kanji"
// of exactly the records whose key names it; its host name is worked out
// here too (UTF-8, %XX escapes, ASCII case folded, the first spelling
// kept), not by the file layer's mapping; and nothing is written outside
// "Zip_Code".
#include <iconv.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/files/file.h"
#include "prep/kana_town_index.h"

namespace {

namespace fs = std::filesystem;

// Boxes are counted; nothing is shown.
class CountingMessages : public prep::PrepMessages {
 public:
  int ShowMessage(std::string_view, std::string_view, prep::MessageButtons) override {
    ++shown;
    return 1;
  }
  void ShowReason(std::string_view) override {}
  int shown = 0;
};

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Whether the key of a record with these city and town readings names a
// file of its own: no separator among its bytes, and no lead byte as the
// city initial, which would take the "\\" after it as its trail byte.
bool KeyNamesAFile(std::string_view city, std::string_view town) {
  auto initial = static_cast<unsigned char>(city.empty() ? ',' : city[0]);
  bool lead = (initial >= 0x81 && initial <= 0x9F) || (initial >= 0xE0 && initial <= 0xFC);
  if (lead || IsSeparator(static_cast<char>(initial))) return false;
  std::string name = std::string(town.substr(0, 2)) + ".Idx";
  for (size_t i = 0; i < name.size(); i += fuzz::Cp932CharAt(name, i))
    if (fuzz::Cp932CharAt(name, i) == 1 && IsSeparator(name[i])) return false;
  return true;
}

// A CP932 name as a host name, by the rules, apart from the file layer:
// half-width kana and two-byte characters in UTF-8 (glibc's converter),
// anything else that forms no character and control bytes as %XX. A "%"
// never needs escaping here: an index name never holds one before two hex
// digits.
std::string HostName(std::string_view name) {
  static iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
  FUZZ_CHECK(toUtf8 != reinterpret_cast<iconv_t>(-1));
  auto escape = [](std::string& out, unsigned char b) {
    static const char kHex[] = "0123456789ABCDEF";
    out += '%';
    out += kHex[b >> 4];
    out += kHex[b & 15];
  };
  std::string out;
  for (size_t i = 0; i < name.size();) {
    auto b = static_cast<unsigned char>(name[i]);
    size_t length = fuzz::Cp932CharAt(name, i);
    if (b < 0x20) {
      escape(out, b);
    } else if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (b >= 0xA1 && b <= 0xDF) {
      char32_t cp = 0xFF61 + (b - 0xA1);
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (length == 2) {
      iconv(toUtf8, nullptr, nullptr, nullptr, nullptr);
      std::string pair(name.substr(i, 2));
      char utf8[8];
      char* src = pair.data();
      size_t srcLeft = 2;
      char* dst = utf8;
      size_t dstLeft = sizeof utf8;
      if (iconv(toUtf8, &src, &srcLeft, &dst, &dstLeft) != static_cast<size_t>(-1) && srcLeft == 0) {
        out.append(utf8, sizeof utf8 - dstLeft);
      } else {
        escape(out, b);
        escape(out, static_cast<unsigned char>(name[i + 1]));
      }
    } else {
      escape(out, b);
    }
    i += length;
  }
  return out;
}

std::string Folded(std::string name) {
  for (char& c : name)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return name;
}

// The index the master should give: per host path (case folded), the path
// as the first record spelled it and the lines in the master's order.
struct IndexFile {
  std::string path;
  std::string lines;
};

struct Model {
  long filed = 0, withoutFile = 0, skipped = 0;
  std::map<std::string, IndexFile> files;
  std::map<std::string, std::string> directories;  // folded -> spelling
};

Model Expect(std::string_view master) {
  Model model;
  std::vector<std::string> fields(1);
  bool inLine = false;
  auto endLine = [&] {
    if (fields.size() < 10) {
      ++model.skipped;
    } else if (!KeyNamesAFile(fields[4], fields[5])) {
      ++model.withoutFile;
    } else {
      ++model.filed;
      std::string initial = fields[4].empty() ? "," : fields[4].substr(0, 1);
      std::string directory = "N_" + HostName(initial);
      std::string& spelled = model.directories.try_emplace(Folded(directory), directory).first->second;
      std::string path = "Zip_Code/" + spelled + "/" + HostName(fields[5].substr(0, 2) + ".Idx");
      IndexFile& file = model.files.try_emplace(Folded(path), IndexFile{path, ""}).first->second;
      file.lines += fields[5] + "," + fields[3] + "," + fields[2] + "," + fields[4] + "," + fields[8] + "\n";
    }
    fields.assign(1, std::string());
    inLine = false;
  };
  for (char c : master) {
    if (c == '\0') continue;
    if (c == '\n') {
      endLine();
      continue;
    }
    inLine = true;
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  if (inLine) endLine();
  return model;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::EnterScratchDirectory();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string master(reinterpret_cast<const char*>(data), size);
  std::error_code ignored;
  fs::remove_all("Zip_Code", ignored);
  fuzz::WriteFile("ALL_ZIP.TXT", master);
  FUZZ_CHECK(platform::files::MakeDirectory("Zip_Code") == 0);

  CountingMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  std::string cityInitial;
  FUZZ_CHECK(builder.BuildKanaTownIndex("", cityInitial) == 0);
  FUZZ_CHECK(messages.shown == 0);
  Model model = Expect(master);
  FUZZ_CHECK(builder.recordsWritten() == model.filed);
  FUZZ_CHECK(builder.recordsWithoutFile() == model.withoutFile);
  FUZZ_CHECK(builder.recordsSkipped() == model.skipped);

  size_t files = 0, directories = 0;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
    std::string path = entry.path().lexically_normal().string();
    if (path == "ALL_ZIP.TXT" || path == "Zip_Code") continue;
    FUZZ_CHECK(path.starts_with("Zip_Code/"));
    if (entry.is_directory()) {
      auto it = model.directories.find(Folded(path.substr(9)));
      FUZZ_CHECK(it != model.directories.end() && "Zip_Code/" + it->second == path);
      ++directories;
      continue;
    }
    FUZZ_CHECK(entry.is_regular_file());
    auto it = model.files.find(Folded(path));
    FUZZ_CHECK(it != model.files.end());
    FUZZ_CHECK(it->second.path == path);
    FUZZ_CHECK(fuzz::ReadFile(path) == it->second.lines);
    ++files;
  }
  FUZZ_CHECK(files == model.files.size());
  FUZZ_CHECK(directories == model.directories.size());
  return 0;
}
