#include "search/engine/result_records.h"

#include "platform/text/cp932.h"
#include "search/engine/designated_cities.h"

namespace search::engine {
namespace {

// "ｸﾞﾝ", the kana of the word for county, between county and town names.
constexpr std::string_view kCountyMarker = "\xB8\xDE\xDD";

// A county name stands before the marker, so the marker is looked for from
// this byte offset on.
constexpr size_t kCountyMarkerFirstOffset = 3;

bool PrefectureFits(const std::string& letter, const std::string& prefecture) {
  return letter.empty() || prefecture.starts_with(letter);
}

bool WardFits(const std::string& letter, std::string_view city) {
  if (letter.empty()) return true;
  size_t cityLength = DesignatedCityPrefix(city);
  return cityLength != 0 && city.substr(cityLength).starts_with(letter);
}

bool RoughTownFits(const std::string& letter, std::string_view city) {
  if (letter.empty()) return true;
  // Only the first marker counts, even when another one follows.
  size_t at = city.find(kCountyMarker, kCountyMarkerFirstOffset);
  return at != std::string_view::npos && city.substr(at + kCountyMarker.size()).starts_with(letter);
}

}  // namespace

bool RecordFits(const SearchState& query, const RecordFields& fields) {
  return PrefectureFits(query.PrefectureLetter, fields[1]) && WardFits(query.WardLetter, fields[3]) &&
         RoughTownFits(query.RoughTownLetter, fields[3]) && fields[0].find(query.NarrowingString) != std::string::npos;
}

void AppendDisplayForm(std::string& text, const RecordFields& fields) {
  text += fields[1];
  text += " (^O^) ";
  text += fields[3];
  text += " (^O^)=>>> ";
  text += fields[2];
  text += " <<=(^O^) ";
  text += fields[0];
  text += "\r\n(";
  text += fields[4];
  text += ")\r\n";
}

std::vector<std::string> CutPages(std::string_view text) {
  size_t count = text.size() < kPageBytes ? 1 : text.size() / kPageBytes + 1;
  std::vector<std::string> pages;
  pages.reserve(count);
  size_t start = 0;
  size_t boundary = 0;  // a character boundary at or after start
  for (size_t k = 1; k <= count; ++k) {
    size_t end = text.size();
    if (k < count) {
      // The cut lies at the multiple of the page size, or a byte before it
      // where a two-byte character straddles it; an earlier cut that moved
      // back does not move the later ones.
      size_t limit = k * kPageBytes;
      while (boundary < text.size()) {
        auto lead = static_cast<unsigned char>(text[boundary]);
        size_t length = static_cast<size_t>(platform::text::Cp932CharLength(lead));
        if (boundary + length > limit) break;
        boundary += length;
      }
      end = boundary;
    }
    pages.emplace_back(text.substr(start, end - start));
    start = end;
  }
  return pages;
}

}  // namespace search::engine
