#include "platform/dialog/resources.h"

#include <map>
#include <utility>

#include "platform/text/cp932.h"

namespace platform::dialog {
namespace {

// The tables live in functions so that a program may register from the
// initialisers of its own static objects.
std::map<int, std::string>& Strings() {
  static std::map<int, std::string> strings;
  return strings;
}

std::map<int, IconResource>& Icons() {
  static std::map<int, IconResource> icons;
  return icons;
}

}  // namespace

void RegisterStrings(const std::vector<StringResource>& strings) {
  for (const StringResource& s : strings) Strings()[s.id] = text::Cp932(s.text);
}

std::string LoadString(int id) {
  auto it = Strings().find(id);
  return it == Strings().end() ? std::string() : it->second;
}

IconImage IconFromRows(const std::vector<std::string_view>& rows, const std::vector<IconColour>& palette) {
  IconImage image;
  image.size = static_cast<int>(rows.size());
  image.argb.assign(rows.size() * rows.size(), 0);
  for (std::size_t y = 0; y < rows.size(); ++y)
    for (std::size_t x = 0; x < rows[y].size() && x < rows.size(); ++x)
      for (const IconColour& colour : palette)
        if (colour.key == rows[y][x]) image.argb[y * rows.size() + x] = colour.argb;
  return image;
}

void RegisterIcon(IconResource icon) {
  int id = icon.id;
  Icons()[id] = std::move(icon);
}

const IconResource* FindIcon(int id) {
  auto it = Icons().find(id);
  return it == Icons().end() ? nullptr : &it->second;
}

int LoadIcon(int id) { return FindIcon(id) != nullptr ? id : 0; }

}  // namespace platform::dialog
