#include "prep/import/postal_row.h"

#include <optional>

#include "platform/text/cp932.h"
#include "platform/text/kana.h"

namespace prep::import {

namespace text = platform::text;

namespace {

std::string FieldError(size_t index, const char* what) {
  return "field " + std::to_string(index + 1) + " " + what;
}

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

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    auto b = static_cast<unsigned char>(s[i]);
    size_t len;
    if (b < 0x80) len = 1;
    else if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b >= 0xE0 && b <= 0xEF) len = 3;
    else if (b >= 0xF0 && b <= 0xF4) len = 4;
    else return false;
    if (i + len > s.size()) return false;
    for (size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

}  // namespace

Edition GuessEdition(std::string_view line) {
  return IsValidUtf8(line) ? Edition::kUtf8 : Edition::kCp932;
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
    std::optional<std::string> converted =
        reading ? text::ToHalfWidth(WithAsciiKin(field)) : text::ToCp932Strict(field);
    if (!converted) {
      error = FieldError(i, IsValidUtf8(field) ? "holds a character that CP932 cannot store"
                                               : "holds bytes that form no UTF-8 character");
      return false;
    }
    field = reading ? text::ToFullSizeKana(*converted) : std::move(*converted);
  }
  return true;
}

}  // namespace prep::import
