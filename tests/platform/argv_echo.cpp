// Test helper: writes its arguments (its own name first) to "argv.txt" in
// the current directory, each followed by a NUL byte, writes how it handles
// SIGPIPE ("default" or "ignored") to "sigpipe.txt", the values of the
// dialog variables it was given to "env.txt", and exits with the number of
// arguments. With the argument "complain" it writes two lines on standard
// error.
#include <csignal>
#include <cstdio>
#include <cstdlib>  // std::getenv
#include <cstring>  // std::strcmp
#include <initializer_list>

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
  if (std::FILE* env = std::fopen("env.txt", "wb")) {
    for (const char* name : {"DIALOG_BACKEND", "DIALOG_SCRIPT", "YUBIN_PASSED"}) {
      const char* value = std::getenv(name);
      std::fprintf(env, "%s=%s\n", name, value != nullptr ? value : "(unset)");
    }
    std::fclose(env);
  }
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "complain") == 0) std::fputs("argv_echo: 引数がおかしい\nsecond line\n", stderr);
  return argc;
}
