// "yubin search": one search of the kana town index from the command line,
// run by the search engine exactly as the search dialog runs it, with the
// settings file of the current directory. Prints the status line, the page
// label and the shown page; needs no display.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace yubin {

// Kana typed in UTF-8 (hiragana, full- or half-width katakana), digits and
// the signs "+", "-", " " as the bytes of the search keypad: half-width
// katakana, voiced marks as bytes of their own, small kana full-size.
// Nothing when a character has no key.
std::optional<std::string> KeypadBytes(std::string_view utf8);

// Runs the command with the arguments that follow "search". Exit status:
// 0 when the shown page holds records, 1 when it holds none, 2 for a usage
// error, 3 when the search could not be completed (the reason on `err`).
// Message boxes go to `err`, one line each, as "[caption] text".
int RunSearchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace yubin
