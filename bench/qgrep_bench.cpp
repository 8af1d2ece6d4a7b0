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
// Then costly expressions, each once, over both files and over a file of
// one line of 1 MB (the data with its line ends made commas), beside
// `grep -E` on the same files where it takes the expression (stopped after
// 20 s): wall and processor time of each, and qgrep's exit status (2: it
// stopped the search as too costly). Goal: qgrep ends within 1 s of
// processor time every time; the slowest is printed last.
//
// usage: qgrep_bench
#include <fcntl.h>         // O_* flags
#include <spawn.h>         // posix_spawn
#include <sys/resource.h>  // rusage
#include <signal.h>        // kill
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

struct Timed {
  double wallMs = -1;
  double cpuMs = -1;
  int status = -1;  // exit status; -1 when stopped or not started
};

// Runs `args` (args[0] looked up in PATH) with `env`, standard output to
// `out`, standard error to /dev/null; stops it after `limitMs`.
Timed RunTimed(std::vector<std::string> args, char** env, const std::string& out, double limitMs) {
  std::vector<char*> argv = Argv(args);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Timed timed;
  auto start = Clock::now();
  pid_t pid;
  bool started = posix_spawnp(&pid, args[0].c_str(), &actions, nullptr, argv.data(), env) == 0;
  posix_spawn_file_actions_destroy(&actions);
  if (!started) return timed;
  int status = 0;
  struct rusage usage {};
  while (wait4(pid, &status, WNOHANG, &usage) == 0) {
    if (Milliseconds(Clock::now() - start) > limitMs) {
      kill(pid, SIGKILL);
      wait4(pid, &status, 0, &usage);
      break;
    }
    usleep(1000);
  }
  timed.wallMs = Milliseconds(Clock::now() - start);
  timed.cpuMs =
      (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  timed.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return timed;
}

std::string Figure(const Timed& t) {
  char text[64];
  if (t.status < 0)
    std::snprintf(text, sizeof text, "%8.0f/%-8.0f stopped", t.wallMs, t.cpuMs);
  else
    std::snprintf(text, sizeof text, "%8.0f/%-8.0f exit %d", t.wallMs, t.cpuMs, t.status);
  return text;
}

// Costly expressions: what the hostile tests tried, the classic shapes of
// backtracking without end, a DFA that grows without end, and what only
// the backtracking engine takes (back-references, look-around), which grep
// -E does not know (not run there).
struct Costly {
  const char* expression;  // UTF-8
  bool forGrep;
};
const Costly kCostly[] = {
    {"(.*)(.*)(.*)(.*)1$", true},
    {"(.*)(.*)(.*)(.*)番地$", true},
    {"a.*a.*z", true},
    {"^(a|aa)*(b|c)*$", true},
    {"(x+x+)+y", true},
    {"[0-9,]*1[0-9,]{20}9", true},
    {".{1000}z", true},
    {"(\\d,?){1,1000}x", true},
    {"(.)\\1\\1\\1", true},
    {"(.*)(.*)\\2\\1x", true},
    {"(?=.*札幌)(?=.*中央).*区", false},
    {"^(?:(?!\"[0-9]{7}\").)*$", false},
    {"(?<=,)(a|aa)*(?=c)", false},
};

void CostlyExpressions(const std::vector<std::string>& files) {
  // One line of 1 MB: the data, its line ends made commas.
  {
    std::string line = ReadFile("KEN_ALL.CSV").substr(0, 1'000'000);
    std::replace(line.begin(), line.end(), '\r', ',');
    std::replace(line.begin(), line.end(), '\n', ',');
    std::ofstream("long/LONG.CSV", std::ios::binary) << line << "\n";
  }
  const std::vector<std::vector<std::string>> sets = {files, {"long/LONG.CSV"}};
  const char* setNames[] = {"both files", "1 MB line"};
  std::vector<char*> env = CLocaleEnvironment();
  std::printf("\ncostly expressions, once each: wall/processor ms\n");
  std::printf("  %-34s %-10s %-26s %-26s\n", "expression", "files", "qgrep", "grep -E");
  double slowestCpu = -1;
  std::string slowest;
  for (const Costly& c : kCostly) {
    for (size_t k = 0; k < sets.size(); ++k) {
      std::vector<std::string> q = {QGREP_PROGRAM, "-G", "-V0", "-Oqgrep.out", c.expression};
      q.insert(q.end(), sets[k].begin(), sets[k].end());
      Timed qt = RunTimed(q, environ, "/dev/null", 600'000);
      std::string grep = "-";
      if (c.forGrep) {
        std::vector<std::string> g = {"grep", "-E", "-c", platform::text::Cp932(c.expression)};
        g.insert(g.end(), sets[k].begin(), sets[k].end());
        grep = Figure(RunTimed(g, env.data(), "grep.out", 20'000));
      }
      std::printf("  %-34s %-10s %-26s %-26s\n", c.expression, setNames[k], Figure(qt).c_str(), grep.c_str());
      if (qt.cpuMs > slowestCpu) {
        slowestCpu = qt.cpuMs;
        slowest = std::string(c.expression) + " over " + setNames[k] + ": qgrep " + Figure(qt) + ", grep -E " + grep;
      }
    }
  }
  std::printf("  slowest: %s (goal: processor time at most 1000 ms: %s)\n", slowest.c_str(),
              slowestCpu <= 1000 ? "met" : "NOT MET");
}

void PrintSamples(const char* what, const std::vector<double>& samples) {
  std::printf("  %-15s", what);
  for (double s : samples) std::printf(" %6.2f", s);
  std::printf("  median %6.2f ms\n", Median(samples));
}

struct Case {
  const char* name;
  const char* first;  // the terms as a user types them (UTF-8)
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
  std::printf("data: %s and %s, %.1f MB, page cache warm; 10 samples each, alternating (ms)\n", files[0].c_str(),
              files[1].c_str(), static_cast<double>(bytes) / 1e6);

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

  if (!fs::create_directory("long")) return 1;
  CostlyExpressions(files);

  fs::remove_all(work);
  return 0;
}
