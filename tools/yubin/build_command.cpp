// yubin build: in the current directory, what the tool's button 1006 does.
#include <cstdio>  // std::fprintf

#include "platform/files/file.h"
#include "prep/kana_town_index.h"
#include "tools/yubin/commands.h"
#include "tools/yubin/stderr_messages.h"

namespace yubin {

int RunBuild(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fprintf(stderr, "yubin build: takes no arguments (see yubin build --help)\n");
    return 2;
  }
  StderrMessages messages;
  prep::KanaTownIndexBuilder builder(messages);
  // As the button does: a failure (normally: it exists) is ignored.
  platform::files::MakeDirectory("Zip_Code");
  // After a fatal file error (its messages are on stderr) the command ends
  // with status -1, as the tool does.
  // One build per run: no city initial filed before it.
  std::string cityInitial;
  if (builder.BuildKanaTownIndex("", cityInitial) != 0) return -1;
  if (builder.recordsSkipped() > 0)
    std::fprintf(stderr, "yubin build: %ld malformed records skipped (fewer than nine commas)\n",
                 builder.recordsSkipped());
  if (builder.recordsWithoutFile() > 0)
    std::fprintf(stderr,
                 "yubin build: %ld records skipped whose readings' first bytes name no index file of their "
                 "own (a \"/\" or \"\\\", or a two-byte character as the city's first)\n",
                 builder.recordsWithoutFile());
  return 0;
}

}  // namespace yubin
