// Escapes any text for the grep program's command line, joins and splits
// it: the text comes back as one argument, less the lead bytes that have no
// trail byte, and the arguments around it stay as they were. Several texts,
// one per line of the input, come back one argument each.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "platform/process.h"

namespace {

using Args = std::vector<std::string>;

// The text with every lead byte that has no trail byte after it dropped.
std::string WholeCharacters(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    size_t length = fuzz::Cp932CharAt(text, i);
    auto b = static_cast<unsigned char>(text[i]);
    bool loneLead = length == 1 && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
    if (!loneLead) out.append(text.substr(i, length));
    i += length;
  }
  return out;
}

std::string Quoted(std::string_view text) { return "\"" + platform::EscapeForQuotes(text) + "\""; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);

  // As the regular-expression search passes it: options, pattern, files.
  Args split = platform::SplitCommandLine(
      platform::JoinCommandLine({"qgrep.exe", " -G -V0 -Evesk -Ores_s " + Quoted(text) + " *.csv"}));
  Args expected = {"qgrep.exe", "-G", "-V0", "-Evesk", "-Ores_s", WholeCharacters(text), "*.csv"};
  FUZZ_CHECK(split == expected);

  Args quoted, lines;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line = std::string_view(text).substr(start, end - start);
    quoted.push_back(Quoted(line));
    lines.push_back(WholeCharacters(line));
    start = end + 1;
  }
  FUZZ_CHECK(platform::SplitCommandLine(platform::JoinCommandLine(quoted)) == lines);
  return 0;
}
