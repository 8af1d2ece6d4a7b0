// Test helper: writes its arguments (its own name first) to "argv.txt" in
// the current directory, each followed by a NUL byte, writes how it handles
// SIGPIPE ("default" or "ignored") to "sigpipe.txt", and exits with the
// number of arguments.
#include <csignal>
#include <cstdio>

int main(int argc, char** argv) {
  std::FILE* out = std::fopen("argv.txt", "wb");
  if (out == nullptr) return 100;
  for (int i = 0; i < argc; ++i) {
    std::fputs(argv[i], out);
    std::fputc('\0', out);
  }
  std::fclose(out);
  struct sigaction handling {};
  sigaction(SIGPIPE, nullptr, &handling);
  if (std::FILE* sig = std::fopen("sigpipe.txt", "wb")) {
    std::fputs(handling.sa_handler == SIG_IGN ? "ignored" : "default", sig);
    std::fclose(sig);
  }
  return argc;
}
