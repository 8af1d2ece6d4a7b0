#include "search/address/postal_csv.h"

#include "search/address/cp932_codec.h"

namespace address {

CsvEncoding GuessEncoding(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) return CsvEncoding::kUtf8;
  bool result = false;
  bool decided = false;
  ForEachLine(text.substr(0, 1 << 20), [&](std::string_view line, long) {
    if (decided) return;
    bool high = false;
    for (char c : line) high |= static_cast<unsigned char>(c) >= 0x80;
    if (!high) return;
    decided = true;
    result = true;
    DecodeUtf8(line, [&](char32_t c) { result &= c != kReplacement; });
  });
  return result ? CsvEncoding::kUtf8 : CsvEncoding::kCp932;
}

bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields) {
  // One pass over the bytes: a call to find the next comma per field costs
  // more than the field's few bytes.
  size_t count = 0;
  const char* p = line.data();
  const char* end = p + line.size();
  while (true) {
    if (fields.size() <= count) fields.emplace_back();
    std::string& field = fields[count++];
    field.clear();
    if (p < end && *p == '"') {
      ++p;
      while (true) {
        const char* start = p;
        while (p < end && *p != '"') ++p;
        if (p == end) return false;
        field.append(start, p);
        ++p;
        if (p < end && *p == '"') {
          field += '"';
          ++p;
          continue;
        }
        break;
      }
    }
    // Up to the comma; after a closing quote, what stands there belongs to
    // the field too.
    const char* start = p;
    while (p < end && *p != ',') ++p;
    field.append(start, p);
    if (p == end) break;
    ++p;
  }
  fields.resize(count);
  return true;
}

}  // namespace address
