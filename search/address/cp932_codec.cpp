#include "search/address/cp932_codec.h"

#include <cstdint>
#include <vector>

#include "platform/text/cp932.h"

namespace address {
namespace {

constexpr int kTrailCount = 256;

bool IsLead(unsigned b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(unsigned b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Both directions for every two-byte sequence. Made by one conversion of
// all sequences through the platform's converter, each on a line of its
// own, so that one a converter refuses costs only its own line.
struct Tables {
  std::vector<char32_t> pairs;     // (lead - 0x80) * 256 + trail -> character
  std::vector<uint16_t> fromChar;  // BMP character -> CP932 bytes (0: none)

  Tables() : pairs(128 * kTrailCount, kReplacement), fromChar(0x10000, 0) {
    std::string all;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(lead)) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrail(trail)) continue;
        all += static_cast<char>(lead);
        all += static_cast<char>(trail);
        all += '\n';
      }
    }
    std::string utf8 = platform::text::ToUtf8(all);
    size_t at = 0;
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      if (!IsLead(lead)) continue;
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        if (!IsTrail(trail)) continue;
        size_t lineEnd = utf8.find('\n', at);
        if (lineEnd == std::string::npos) return;
        std::string_view line(utf8.data() + at, lineEnd - at);
        at = lineEnd + 1;
        char32_t c = 0;
        int count = 0;
        DecodeUtf8(line, [&](char32_t d) {
          c = d;
          ++count;
        });
        if (count != 1 || c == kReplacement) continue;
        pairs[(lead - 0x80) * kTrailCount + trail] = c;
        // The first sequence of a character is its CP932 form, as the
        // platform's converter writes it for the common ones.
        if (c < 0x10000 && fromChar[c] == 0) fromChar[c] = static_cast<uint16_t>(lead << 8 | trail);
      }
    }
    // The JIS forms of a few signs land on their full-width kin, as the
    // platform's converter has them.
    const std::pair<char32_t, char32_t> kin[] = {{0x301C, 0xFF5E}, {0x2212, 0xFF0D}, {0x2016, 0x2225}, {0x2014, 0x2015},
                                                 {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}};
    for (auto [from, to] : kin)
      if (fromChar[from] == 0) fromChar[from] = fromChar[to];
  }
};

const Tables& TheTables() {
  static const Tables* tables = new Tables();
  return *tables;
}

}  // namespace

namespace detail {
char32_t Cp932Pair(unsigned char lead, unsigned char trail) {
  return TheTables().pairs[(lead - 0x80) * kTrailCount + trail];
}
}  // namespace detail

bool AppendCp932(char32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return true;
  }
  if (c >= 0xFF61 && c <= 0xFF9F) {
    out += static_cast<char>(0xA1 + (c - 0xFF61));
    return true;
  }
  if (c >= 0x10000) return false;
  uint16_t bytes = TheTables().fromChar[c];
  if (bytes == 0) return false;
  out += static_cast<char>(bytes >> 8);
  out += static_cast<char>(bytes & 0xFF);
  return true;
}

void AppendUtf8(char32_t c, std::string& out) {
  char bytes[4];
  size_t length;
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  } else if (c < 0x800) {
    bytes[0] = static_cast<char>(0xC0 | (c >> 6));
    bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
    length = 2;
  } else if (c < 0x10000) {
    bytes[0] = static_cast<char>(0xE0 | (c >> 12));
    bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
    length = 3;
  } else {
    bytes[0] = static_cast<char>(0xF0 | (c >> 18));
    bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
    length = 4;
  }
  out.append(bytes, length);
}

bool Utf8ToCp932(std::string_view utf8, std::string& cp932) {
  cp932.clear();
  bool ok = true;
  DecodeUtf8(utf8, [&](char32_t c) {
    if (ok && (c == kReplacement || !AppendCp932(c, cp932))) ok = false;
  });
  return ok;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  DecodeCp932(cp932, [&](char32_t c) { AppendUtf8(c, out); });
  return out;
}

}  // namespace address
