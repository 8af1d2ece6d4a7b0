#include "platform/text/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>   // std::fprintf
#include <cstdlib>  // std::abort

namespace platform::text {
namespace {

// One conversion with iconv. With `lenient`, an input byte that cannot be
// converted is replaced by U+FFFD and skipped; otherwise the whole conversion
// fails.
std::optional<std::string> Convert(const char* to, const char* from,
                                   std::string_view in, bool lenient) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
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
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - dstLeft);
  return out;
}

}  // namespace

std::string ToUtf8(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, true).value_or(std::string());
}

std::optional<std::string> ToUtf8Strict(std::string_view cp932) {
  return Convert("UTF-8", "CP932", cp932, false);
}

std::optional<std::string> ToCp932Strict(std::string_view utf8) {
  return Convert("CP932", "UTF-8", utf8, false);
}

std::string Cp932(std::string_view utf8) {
  std::optional<std::string> out = ToCp932Strict(utf8);
  if (!out) {
    std::fprintf(stderr, "text has no CP932 form: %.*s\n",
                 static_cast<int>(utf8.size()), utf8.data());
    std::abort();
  }
  return *out;
}

}  // namespace platform::text
