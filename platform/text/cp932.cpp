#include "platform/text/cp932.h"

#include <iconv.h>

#include <algorithm>  // std::min
#include <cerrno>
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::abort

namespace platform::text {
namespace {

// A conversion descriptor for one direction, opened at its first use and
// kept for the life of the process: opening one costs far more than most
// conversions (a file name, a field). Each program has one thread, so one
// descriptor per direction serves every caller. Never closed, so that a
// conversion in a destructor at the end of the process still finds it.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // The descriptor in its initial state: a conversion cut short by an
  // invalid sequence leaves nothing behind for the next.
  iconv_t Fresh() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  iconv_t cd_;
};

Converter& ToUtf8Converter() {
  static Converter* converter = new Converter("UTF-8", "CP932");
  return *converter;
}

Converter& ToCp932Converter() {
  static Converter* converter = new Converter("CP932", "UTF-8");
  return *converter;
}

// One conversion with iconv. With `lenient`, an input byte that cannot be
// converted is replaced by U+FFFD and skipped; otherwise the whole conversion
// fails.
std::optional<std::string> Convert(Converter& converter, std::string_view in, bool lenient) {
  if (!converter.ok()) return std::nullopt;
  iconv_t cd = converter.Fresh();
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  bool ok = true;
  while (srcLeft > 0) {
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      size_t used = out.size() - dstLeft;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: an invalid or incomplete sequence.
    if (!lenient) {
      ok = false;
      break;
    }
    if (dstLeft < 3) {
      size_t used = out.size() - dstLeft;
      out.resize(out.size() * 2);
      dst = out.data() + used;
      dstLeft = out.size() - used;
    }
    static const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD
    for (char c : std::string_view(kReplacement, 3)) *dst++ = c;
    dstLeft -= 3;
    ++src;
    --srcLeft;
  }
  if (!ok) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::string ToUtf8(std::string_view cp932) { return Convert(ToUtf8Converter(), cp932, true).value_or(std::string()); }

std::optional<std::string> ToUtf8Strict(std::string_view cp932) { return Convert(ToUtf8Converter(), cp932, false); }

std::optional<std::string> ToCp932Strict(std::string_view utf8) { return Convert(ToCp932Converter(), utf8, false); }

std::string_view WholeCharacters(std::string_view cp932, std::size_t start, std::size_t length) {
  std::size_t end = start < cp932.size() ? start + std::min(length, cp932.size() - start) : cp932.size();
  std::size_t at = 0;
  while (at < start && at < end) at += static_cast<std::size_t>(Cp932CharLength(static_cast<unsigned char>(cp932[at])));
  std::size_t first = std::min(at, end);
  while (at < end) {
    std::size_t next = at + static_cast<std::size_t>(Cp932CharLength(static_cast<unsigned char>(cp932[at])));
    if (next > end) break;
    at = next;
  }
  return first < at ? cp932.substr(first, at - first) : std::string_view();
}

std::string Cp932(std::string_view utf8) {
  std::optional<std::string> out = ToCp932Strict(utf8);
  if (!out) {
    std::fprintf(stderr, "text has no CP932 form: %.*s\n", static_cast<int>(utf8.size()), utf8.data());
    std::abort();
  }
  return *out;
}

}  // namespace platform::text
