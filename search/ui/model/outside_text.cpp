#include "search/ui/model/outside_text.h"

#include <optional>

#include "platform/text/cp932.h"

namespace search::ui {

std::string BoxLine(std::string_view utf8) {
  std::string_view line = utf8.substr(0, utf8.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::string cp932;
  std::size_t i = 0;
  while (i < line.size()) {
    // One UTF-8 character: its lead byte gives its length.
    auto lead = static_cast<unsigned char>(line[i]);
    std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + length > line.size()) break;
    std::optional<std::string> character = platform::text::ToCp932Strict(line.substr(i, length));
    // A control byte would break the box's one line.
    if (character && !(character->size() == 1 && static_cast<unsigned char>((*character)[0]) < 0x20))
      cp932 += *character;
    else
      cp932 += '?';
    i += length;
  }
  return cp932;
}

}  // namespace search::ui
