// The commands of yubin. Each lives in its own file; main.cpp lists them in
// its dispatch table, so a new command is one file and one table row.
#pragma once

#include <string>
#include <vector>

namespace yubin {

// Arguments after the command's name. Each returns the exit status.
int RunImport(const std::vector<std::string>& args);
int RunBuild(const std::vector<std::string>& args);
int RunSearch(const std::vector<std::string>& args);
int RunStart(const std::vector<std::string>& args);
int RunUpdate(const std::vector<std::string>& args);
int RunLookup(const std::vector<std::string>& args);

// The help texts of "yubin search", "yubin start", "yubin update" and
// "yubin lookup".
extern const char kSearchUsage[];
extern const char kStartUsage[];
extern const char kUpdateUsage[];
extern const char kLookupUsage[];

// Converts a command-line path (UTF-8) into the CP932 text the file layer
// takes. False, after a message on stderr, when it has no CP932 form.
bool ToCp932Path(const std::string& utf8, std::string& cp932);

}  // namespace yubin
