// Times qgrep over both bundled CSV files (KEN_ALL.CSV and JIGYOSYO.CSV,
// about 15.5 MB, page cache warm) against the pipeline
//   LC_ALL=C grep -h -F t1 JIGYOSYO.CSV KEN_ALL.CSV | LC_ALL=C grep -F t2
// in the same run, alternating, ten samples each, every sample printed:
// - two literal terms, which grep gets as they are (goal: at most 1.0x);
// - two hiragana terms, which qgrep folds and grep gets in the half-width
//   form the readings use (goal: at most 2x).
// Checks that both find the same lines, and prints qgrep's peak RSS over
// these files and over a file four times as large (flat: no whole file
// is held). -h only drops the file names that grep would put before each
// line, so that the outputs can be compared.
//
// usage: qgrep_bench
#include <fcntl.h>         // O_* flags
#include <spawn.h>         // posix_spawn
#include <sys/resource.h>  // rusage
#include <sys/wait.h>      // waitpid, wait4
#include <unistd.h>        // chdir, fork, execv, pipe

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "platform/text/cp932.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return argv;
}

// The environment with LC_ALL=C, for grep.
std::vector<char*> CLocaleEnvironment() {
  static std::string cLocale = "LC_ALL=C";
  std::vector<char*> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("LC_ALL=", 0) != 0) env.push_back(*e);
  env.push_back(cLocale.data());
  env.push_back(nullptr);
  return env;
}

// Runs qgrep with `args`; its wall time in ms.
double RunQgrep(std::vector<std::string> args) {
  args.insert(args.begin(), QGREP_PROGRAM);
  std::vector<char*> argv = Argv(args);
  auto start = Clock::now();
  pid_t pid;
  if (posix_spawn(&pid, QGREP_PROGRAM, nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  double ms = Milliseconds(Clock::now() - start);
  if (!WIFEXITED(status) || WEXITSTATUS(status) > 1) std::cerr << "qgrep failed\n";
  return ms;
}

// The peak RSS of one qgrep run, in KiB. Started with fork and exec: a
// child started with posix_spawn shares this process's memory until it
// starts qgrep, and the kernel counts that memory in its peak.
long QgrepPeakKiB(std::vector<std::string> args) {
  args.insert(args.begin(), QGREP_PROGRAM);
  std::vector<char*> argv = Argv(args);
  pid_t pid = fork();
  if (pid == 0) {
    execv(QGREP_PROGRAM, argv.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (pid < 0 || wait4(pid, &status, 0, &usage) < 0) return -1;
  return usage.ru_maxrss;
}

// Runs grep -h -F t1 FILES | grep -F t2 > out, without a shell.
double RunGrepPipeline(const std::string& t1, const std::string& t2, const std::vector<std::string>& files,
                       const std::string& out) {
  std::vector<std::string> first{"grep", "-h", "-F", t1};
  first.insert(first.end(), files.begin(), files.end());
  std::vector<std::string> second{"grep", "-F", t2};
  std::vector<char*> argv1 = Argv(first), argv2 = Argv(second), env = CLocaleEnvironment();
  auto start = Clock::now();
  int fds[2];
  if (pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t a1, a2;
  posix_spawn_file_actions_init(&a1);
  posix_spawn_file_actions_adddup2(&a1, fds[1], 1);
  posix_spawn_file_actions_addclose(&a1, fds[0]);
  posix_spawn_file_actions_addclose(&a1, fds[1]);
  posix_spawn_file_actions_init(&a2);
  posix_spawn_file_actions_adddup2(&a2, fds[0], 0);
  posix_spawn_file_actions_addclose(&a2, fds[0]);
  posix_spawn_file_actions_addclose(&a2, fds[1]);
  posix_spawn_file_actions_addopen(&a2, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t p1, p2;
  bool ok = posix_spawnp(&p1, "grep", &a1, nullptr, argv1.data(), env.data()) == 0 &&
            posix_spawnp(&p2, "grep", &a2, nullptr, argv2.data(), env.data()) == 0;
  close(fds[0]);
  close(fds[1]);
  int status;
  if (ok) {
    waitpid(p1, &status, 0);
    waitpid(p2, &status, 0);
  }
  double ms = Milliseconds(Clock::now() - start);
  posix_spawn_file_actions_destroy(&a1);
  posix_spawn_file_actions_destroy(&a2);
  return ok ? ms : -1;
}

using bench::Median;

void PrintSamples(const char* what, const std::vector<double>& samples) {
  std::printf("  %-15s", what);
  for (double s : samples) std::printf(" %6.2f", s);
  std::printf("  median %6.2f ms\n", Median(samples));
}

struct Case {
  const char* name;
  const char* first;   // the terms as a user types them (UTF-8)
  const char* second;
  const char* grepFirst;  // what grep gets, before conversion to CP932
  const char* grepSecond;
  double goal;
};

}  // namespace

int main() {
  std::string pattern = (fs::temp_directory_path() / "qgrep_bench_XXXXXX").string();
  if (!mkdtemp(pattern.data())) return 1;
  fs::path work = pattern;
  for (const char* zip : {"ken_all.zip", "jigyosyo.zip"}) {
    std::string command = "cd " + Quoted(work) + " && " + Quoted(YUBIN_CMAKE) + " -E tar xf " +
                          Quoted(std::string(YUBIN_SOURCE_DIR) + "/data/" + zip);
    if (std::system(command.c_str()) != 0) return 1;
  }
  if (chdir(work.c_str()) != 0) return 1;
  const std::vector<std::string> files = {"JIGYOSYO.CSV", "KEN_ALL.CSV"};
  uintmax_t bytes = 0;
  for (const std::string& file : files) {
    bytes += fs::file_size(file);
    ReadFile(file);  // into the page cache
  }
  std::printf("data: %s and %s, %.1f MB, page cache warm; 10 samples each, alternating (ms)\n",
              files[0].c_str(), files[1].c_str(), static_cast<double>(bytes) / 1e6);

  const Case cases[] = {
      {"two literal terms", "札幌市", "北一条", "札幌市", "北一条", 1.0},
      {"two hiragana terms", "かながわ", "よこはま", "ｶﾅｶﾞﾜ", "ﾖｺﾊﾏ", 2.0},
  };
  for (const Case& c : cases) {
    const std::string terms = std::string(c.first) + " and " + c.second;
    const std::string t1 = platform::text::Cp932(c.grepFirst), t2 = platform::text::Cp932(c.grepSecond);
    const std::vector<std::string> qgrepArgs = {"-G", "-V0", "-Oqgrep.out", terms, "*.csv"};
    std::vector<double> q, g;
    RunQgrep(qgrepArgs);  // one untimed run of each first
    RunGrepPipeline(t1, t2, files, "grep.out");
    for (int i = 0; i < 10; ++i) {
      if (i % 2 == 0) {
        q.push_back(RunQgrep(qgrepArgs));
        g.push_back(RunGrepPipeline(t1, t2, files, "grep.out"));
      } else {
        g.push_back(RunGrepPipeline(t1, t2, files, "grep.out"));
        q.push_back(RunQgrep(qgrepArgs));
      }
    }
    std::string qOut = ReadFile("qgrep.out"), gOut = ReadFile("grep.out");
    long lines = std::count(qOut.begin(), qOut.end(), '\n');
    std::printf("\n%s: qgrep \"%s\" / grep %s | grep %s\n", c.name, terms.c_str(), c.grepFirst, c.grepSecond);
    PrintSamples("qgrep", q);
    PrintSamples("grep | grep", g);
    double ratio = Median(q) / Median(g);
    std::printf("  ratio %.2fx (goal at most %.1fx: %s); same lines: %s (%ld)\n", ratio, c.goal,
                ratio <= c.goal ? "met" : "NOT MET", qOut == gOut ? "yes" : "NO", lines);
  }

  // Peak RSS over these files, and over one four times as large.
  long small = QgrepPeakKiB({"-G", "-V0", "-Oqgrep.out", "かながわ and よこはま", "*.csv"});
  {
    std::string both = ReadFile("JIGYOSYO.CSV") + ReadFile("KEN_ALL.CSV");
    if (!fs::create_directory("large")) return 1;
    std::ofstream out("large/BIG.CSV", std::ios::binary);
    for (int i = 0; i < 4; ++i) out << both;
  }
  long large = QgrepPeakKiB({"-G", "-V0", "-Oqgrep.out", "かながわ and よこはま", "large/BIG.CSV"});
  std::printf("\npeak RSS of qgrep: %ld KiB over %.1f MB, %ld KiB over %.1f MB\n", small,
              static_cast<double>(bytes) / 1e6, large, static_cast<double>(fs::file_size("large/BIG.CSV")) / 1e6);

  fs::remove_all(work);
  return 0;
}
