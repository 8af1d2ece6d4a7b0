#include "tools/yubin/stderr_messages.h"

#include <cstdio>  // std::fprintf, std::fflush

#include "platform/text/cp932.h"

namespace yubin {

int StderrMessages::ShowMessage(std::string_view text, std::string_view caption, prep::MessageButtons) {
  std::string line = platform::text::ToUtf8(caption) + ": " + platform::text::ToUtf8(text);
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  return 1;
}

void StderrMessages::ShowReason(std::string_view reason) {
  std::fprintf(stderr, "yubin build: %.*s\n", static_cast<int>(reason.size()), reason.data());
  std::fflush(stderr);
}

}  // namespace yubin
