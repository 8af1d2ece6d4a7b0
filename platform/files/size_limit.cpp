#include "platform/files/size_limit.h"

#include <csignal>  // std::signal, SIGXFSZ

namespace platform::files {

void FailWritesBeyondTheSizeLimit() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace platform::files
