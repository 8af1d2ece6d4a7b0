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
  size_t count = 0;
  size_t at = 0;
  while (true) {
    if (fields.size() <= count) fields.emplace_back();
    std::string& field = fields[count++];
    field.clear();
    if (at < line.size() && line[at] == '"') {
      ++at;
      while (true) {
        size_t quote = line.find('"', at);
        if (quote == std::string_view::npos) return false;
        field.append(line.substr(at, quote - at));
        at = quote + 1;
        if (at < line.size() && line[at] == '"') {
          field += '"';
          ++at;
          continue;
        }
        break;
      }
      // What follows the closing quote up to the comma belongs to the field.
      size_t comma = line.find(',', at);
      field.append(line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
      at = comma;
    } else {
      size_t comma = line.find(',', at);
      field.append(line.substr(at, comma == std::string_view::npos ? std::string_view::npos : comma - at));
      at = comma;
    }
    if (at == std::string_view::npos) break;
    ++at;
  }
  fields.resize(count);
  return true;
}

}  // namespace address
