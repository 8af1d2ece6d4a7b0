// yubin: command-line front end of the postal-code lookup.
#include <iostream>
#include <string>
#include <vector>

#include "tools/yubin/search_command.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && args[0] == "search")
    return tools::yubin::RunSearchCommand({args.begin() + 1, args.end()}, std::cout, std::cerr);
  std::cerr << "usage: yubin search [options]   (yubin search --help)\n";
  return 2;
}
