// A help file as text for a terminal: HTML (a file whose text starts with
// "<") becomes headings, paragraphs, list items and table rows without
// tags, with its character references resolved; any other file is shown
// line by line as it stands. Then the text is wrapped to a width, list
// items with a hanging indent. All UTF-8. Draws nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::dialog::terminal {

struct HelpBlock {
  enum class Kind { kHeading, kText, kItem, kRow, kRule, kBlank };
  Kind kind = Kind::kText;
  std::string text;    // UTF-8, white space collapsed
  int level = 0;       // a heading's level (1 to 6)
  std::string marker;  // a list item's "・" or "3."
};

std::vector<HelpBlock> HelpBlocks(std::string_view utf8);

struct HelpLine {
  std::string text;  // UTF-8
  bool strong = false;
};

// The blocks as lines of at most `width` cells. Blank lines stand between
// blocks as a reader expects: around headings, after paragraphs.
std::vector<HelpLine> LayOutHelp(const std::vector<HelpBlock>& blocks, int width);

}  // namespace platform::dialog::terminal
