// Resources other than dialog templates: string tables and icons, registered
// by a program at start-up and looked up by ID, as a dialog's code asks for
// them ("string 101", "icon 128").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::dialog {

struct StringResource {
  int id = 0;
  std::string_view text;  // UTF-8 literal
};

// Adds strings; a later text for the same ID replaces the earlier one.
void RegisterStrings(const std::vector<StringResource>& strings);

// The string as CP932, or empty when the ID has none.
std::string LoadString(int id);

// One image of an icon: `size` pixels square, rows top to bottom, each pixel
// 0xAARRGGBB.
struct IconImage {
  int size = 0;
  std::vector<std::uint32_t> argb;
};

// An icon image drawn as text in the source, one string per row and one
// character per pixel, each character a key of the palette:
//
//   IconFromRows({"..kk..", ...}, {{'k', 0xFF404040}, {'r', 0xFFD02020}})
//
// The image is as many pixels square as there are rows. A character that
// is not in the palette, and a pixel that a short row leaves out, is
// transparent.
struct IconColour {
  char key = '.';
  std::uint32_t argb = 0;
};
IconImage IconFromRows(const std::vector<std::string_view>& rows, const std::vector<IconColour>& palette);

struct IconResource {
  int id = 0;
  std::vector<IconImage> images;  // e.g. 32 x 32 and 16 x 16
};

// Adds an icon; a later one with the same ID replaces it.
void RegisterIcon(IconResource icon);

// The icon with this ID, or nullptr.
const IconResource* FindIcon(int id);

// The ID of a registered icon, or 0 when there is none with that ID: the
// value SetIcon and the drag-icon hook take.
int LoadIcon(int id);

}  // namespace platform::dialog
