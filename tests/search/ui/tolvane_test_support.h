// What the search application's tests share: the bundled data's kana town
// index (built once per test program), a settings file naming it, and the
// keypad key that passes a letter.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <string_view>

#include "platform/text/cp932.h"
#include "search/ui/keypad_keys.h"
#include "tests/search/engine/full_index.h"

namespace search::ui::testing {

// The data directory of the bundled data's index, ending in "/"; empty
// (with a test failure) when it cannot be built.
inline std::string BundledDataDirectory() {
  std::string problem;
  std::string index = search::engine::testing::FullIndexDirectory(problem);
  if (index.empty()) {
    ADD_FAILURE() << "no index of the bundled data: " << problem;
    return "";
  }
  return index + "/Zip_Code/";
}

// Writes "Tolvane.ini" in the current directory: the 500-byte record of
// `directory` (UTF-8), a NUL and zero filler.
inline void WriteSettingsFile(const std::string& directory) {
  std::string record = platform::text::Cp932(directory);
  record.resize(500, '\0');
  std::ofstream("Tolvane.ini", std::ios::binary | std::ios::trunc) << record;
}

// The keypad button that passes `letter` (one half-width kana, UTF-8).
inline int KeyFor(std::string_view letter) {
  for (const platform::dialog::KeyRow& key : kKeypadKeys)
    if (key.passes == letter) return key.id;
  ADD_FAILURE() << "no key passes " << letter;
  return 0;
}

}  // namespace search::ui::testing
