#include "prep/import/postal_row.h"

#include <algorithm>  // std::all_of
#include <optional>

#include "platform/text/cp932.h"
#include "platform/text/kana.h"
#include "platform/text/utf8.h"

namespace prep::import {

namespace text = platform::text;

namespace {

std::string FieldError(size_t index, const char* what) { return "field " + std::to_string(index + 1) + " " + what; }

// The UTF-8 edition writes a few signs of its readings in their JIS forms,
// which have no half-width kin: the minus sign U+2212 and the wave dash
// U+301C. The CP932 edition has "-" and "~" there, so they are first
// written as their full-width ASCII forms, which do.
std::string WithAsciiKin(std::string_view utf8) {
  static constexpr std::string_view kMinus = "\xE2\x88\x92";      // U+2212 MINUS SIGN
  static constexpr std::string_view kWaveDash = "\xE3\x80\x9C";   // U+301C WAVE DASH
  static constexpr std::string_view kFullMinus = "\xEF\xBC\x8D";  // U+FF0D FULLWIDTH HYPHEN-MINUS
  static constexpr std::string_view kFullTilde = "\xEF\xBD\x9E";  // U+FF5E FULLWIDTH TILDE
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    std::string_view rest = utf8.substr(i);
    if (rest.starts_with(kMinus)) {
      out += kFullMinus;
      i += kMinus.size();
    } else if (rest.starts_with(kWaveDash)) {
      out += kFullTilde;
      i += kWaveDash.size();
    } else {
      out += utf8[i++];
    }
  }
  return out;
}

// A reading of the UTF-8 edition in the CP932 edition's half-width
// spelling. Four full-width signs keep their full-width CP932 form: their
// half-width kin would be the master file's field separator, a quote, or a
// separator in the index file's path.
std::optional<std::string> NarrowReading(std::string_view utf8) {
  static constexpr std::string_view kKeptWide[] = {
      "\xEF\xBC\x8C",  // U+FF0C FULLWIDTH COMMA
      "\xEF\xBC\x82",  // U+FF02 FULLWIDTH QUOTATION MARK
      "\xEF\xBC\x8F",  // U+FF0F FULLWIDTH SOLIDUS
      "\xEF\xBC\xBC",  // U+FF3C FULLWIDTH REVERSE SOLIDUS
  };
  const std::string text = WithAsciiKin(utf8);
  std::string out;
  size_t runStart = 0;  // start of the run not yet narrowed
  auto narrowRun = [&](size_t end) {
    std::string_view run = std::string_view(text).substr(runStart, end - runStart);
    std::optional<std::string> half = text::ToHalfWidth(run);
    if (half) out += *half;
    return half.has_value();
  };
  // 0xEF only ever starts a sequence, so a match is a whole character; in a
  // broken text the run around the break fails to convert.
  for (size_t i = 0; i < text.size(); ++i) {
    std::string_view rest = std::string_view(text).substr(i);
    bool kept = false;
    for (std::string_view wide : kKeptWide) kept = kept || rest.starts_with(wide);
    if (!kept) continue;
    std::optional<std::string> wide = text::ToCp932Strict(rest.substr(0, 3));
    if (!narrowRun(i) || !wide) return std::nullopt;
    out += *wide;
    i += 2;
    runStart = i + 1;
  }
  if (!narrowRun(text.size())) return std::nullopt;
  return out;
}

}  // namespace

Edition GuessEdition(std::string_view line) {
  return platform::text::IsValidUtf8(line) ? Edition::kUtf8 : Edition::kCp932;
}

bool ToMasterFields(Edition edition, std::vector<std::string>& fields, std::string& error) {
  for (size_t i = 0; i < fields.size(); ++i) {
    std::string& field = fields[i];
    bool reading = i >= kFirstReading && i <= kLastReading;
    if (edition == Edition::kCp932) {
      if (!text::ToUtf8Strict(field)) {
        error = FieldError(i, "holds bytes that form no CP932 character");
        return false;
      }
      if (reading) field = text::ToFullSizeKana(field);
      continue;
    }
    std::optional<std::string> converted = reading ? NarrowReading(field) : text::ToCp932Strict(field);
    if (!converted) {
      error = FieldError(i, platform::text::IsValidUtf8(field) ? "holds a character that CP932 cannot store"
                                                               : "holds bytes that form no UTF-8 character");
      return false;
    }
    field = reading ? text::ToFullSizeKana(*converted) : std::move(*converted);
  }
  return true;
}

bool CheckRecordFields(const std::vector<std::string>& fields, std::string& error) {
  auto isDigits = [](const std::string& field, size_t count) {
    return field.size() == count &&
           std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  if (!isDigits(fields[kLocalGovernmentCode], 5)) {
    error = FieldError(kLocalGovernmentCode, "is no local government code of five digits");
    return false;
  }
  if (!isDigits(fields[kPostalCode], 7)) {
    error = FieldError(kPostalCode, "is no postal code of seven digits");
    return false;
  }
  for (size_t i = kFirstReading; i <= kTownKanji; ++i) {
    if (fields[i].empty()) {
      static constexpr const char* kNames[] = {"the prefecture's reading", "the city's reading", "the town's reading",
                                               "the prefecture",           "the city",           "the town"};
      error = FieldError(i, "is empty where ") + kNames[i - kFirstReading] + " belongs";
      return false;
    }
  }
  return true;
}

bool CheckIndexKeys(const std::vector<std::string>& fields, std::string& error) {
  auto isSeparator = [](char c) { return c == '/' || c == '\\'; };
  const std::string& city = fields[kCityReading];
  if (!city.empty() && isSeparator(city[0])) {
    error = FieldError(kCityReading, "begins with \"") + city[0] + "\", which would split the index file's path";
    return false;
  }
  const std::string& town = fields[kTownReading];
  for (size_t i = 0; i < 2 && i < town.size(); ++i) {
    // A 0x5C after a lead byte is that character's trail byte; 0x2F never
    // is one.
    bool trail = i == 1 && town[1] == '\\' && text::Cp932CharLength(static_cast<unsigned char>(town[0])) == 2;
    if (isSeparator(town[i]) && !trail) {
      error = FieldError(kTownReading, "has \"") + town[i] +
              "\" in its first two bytes, which would split the index file's path";
      return false;
    }
  }
  // The key bytes must hold whole characters: a directory or file named
  // after half a character is a name no keypad letter leads to.
  auto isLead = [](char c) { return text::Cp932CharLength(static_cast<unsigned char>(c)) == 2; };
  if (!city.empty() && isLead(city[0])) {
    error = FieldError(kCityReading,
                       "begins with a two-byte character, which the index "
                       "directory's one-byte name would cut in half");
    return false;
  }
  if (town.size() >= 2 && !isLead(town[0]) && isLead(town[1])) {
    error = FieldError(kTownReading,
                       "has a two-byte character from its second byte on, which the "
                       "index file's two-byte name would cut in half");
    return false;
  }
  return true;
}

}  // namespace prep::import
