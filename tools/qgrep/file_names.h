// File names from the command line, as the programs of this system spell
// them: "/" and "\" separate, and an existing name is found without regard
// to ASCII case ("Ken_all.csv" finds KEN_ALL.CSV). File operands expand the
// wildcards * (any run of characters) and ? (one character) in their last
// component. Opens nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qgrep {

// Whether `name` fits the wildcard pattern, ASCII case aside. A name that
// starts with "." is only matched by a pattern that starts with ".".
bool FitsWildcards(std::string_view pattern, std::string_view name);

// The host path of `path` (UTF-8): each existing component in its existing
// spelling, the rest as given. "" stands for the current directory.
std::string ResolvePath(std::string_view path);

// The files an operand names, in name order (ASCII case aside): for a
// name with wildcards, the regular files that fit it; otherwise the one
// file or directory of that name. Empty when it names nothing.
std::vector<std::string> ExpandOperand(std::string_view operand);

}  // namespace qgrep
