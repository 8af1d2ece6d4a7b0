// Cuts display texts of any length into pages: the pages join back to the
// text, their count follows the page size, and every cut lies at the page
// boundary or one byte before it, where a two-byte character would
// otherwise be split. The input's first two bytes choose the text's length,
// up to a little over five pages (so pages past the fourth are cut too);
// the rest is repeated to fill it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "search/engine/result_records.h"

// Reading the result file through the search engine: result_file_fuzzer.

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  constexpr size_t kPage = search::engine::kPageBytes;
  if (size < 2) return 0;
  size_t length = (static_cast<size_t>(data[0]) << 8 | data[1]) * 4;
  std::string unit(reinterpret_cast<const char*>(data) + 2, size - 2);
  if (unit.empty()) unit = "a";
  std::string text = unit;
  while (text.size() < length) text += text;
  text.resize(length);

  std::vector<std::string> pages = search::engine::CutPages(text);
  size_t count = text.size() < kPage ? 1 : text.size() / kPage + 1;
  FUZZ_CHECK(pages.size() == count);

  // The character boundaries of the text, walked from its start.
  std::vector<bool> boundary(text.size() + 1, false);
  for (size_t i = 0; i < text.size(); i += fuzz::Cp932CharAt(text, i)) boundary[i] = true;
  boundary[text.size()] = true;

  std::string joined;
  for (size_t k = 1; k <= pages.size(); ++k) {
    joined += pages[k - 1];
    if (k == pages.size()) break;
    size_t cut = joined.size();
    FUZZ_CHECK(boundary[cut]);
    FUZZ_CHECK(cut == k * kPage || cut + 1 == k * kPage);
  }
  FUZZ_CHECK(joined == text);
  return 0;
}
