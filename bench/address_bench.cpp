// The written-address lookup on the bundled data: the table's load, one
// lookup, and a batch of 100,000 written addresses through yubin lookup,
// with the memory each takes; beside them a plain scan of the CSV for the
// same addresses (each address against every row, the longest written
// prefecture, city and town winning).
//
// usage: address_bench
#include <sys/resource.h>  // rusage
#include <sys/wait.h>      // wait4
#include <spawn.h>         // posix_spawn
#include <fcntl.h>         // open

#include <unistd.h>  // fork, pipe

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>  // clock_gettime
#include <memory>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "platform/text/cp932.h"
#include "search/address/address_table.h"
#include "search/address/data_file.h"
#include "tests/support/temp_dir.h"
#include "written_addresses.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

double CpuMilliseconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Runs programs for the bench from a process forked before the bench grew:
// a child's peak memory counts what its parent held when it was made, so
// yubin started from the bench itself would be charged with the bench's.
class Launcher {
 public:
  Launcher() {
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      close(toChild[1]);
      close(fromChild[0]);
      Serve(toChild[0], fromChild[1]);
      _exit(0);
    }
    close(toChild[0]);
    close(fromChild[1]);
    to_ = toChild[1];
    from_ = fromChild[0];
  }
  ~Launcher() {
    if (to_ >= 0) close(to_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }

  struct Run {
    bool ok = false;
    double wallMs = 0, cpuMs = 0;
    long peakKiB = 0;
  };

  // Runs argv (NUL-separated in one request) with output to /dev/null.
  Run Start(const std::vector<std::string>& args) {
    std::string request;
    for (const std::string& a : args) request += a + '\0';
    uint32_t size = static_cast<uint32_t>(request.size());
    Run run;
    if (write(to_, &size, sizeof size) != sizeof size || write(to_, request.data(), size) != size) return run;
    if (read(from_, &run, sizeof run) != sizeof run) return Run{};
    return run;
  }

 private:
  pid_t pid_ = -1;
  int to_ = -1, from_ = -1;

  static void Serve(int in, int out) {
    uint32_t size;
    while (read(in, &size, sizeof size) == sizeof size) {
      std::string request(size, '\0');
      if (read(in, request.data(), size) != static_cast<long>(size)) return;
      std::vector<char*> argv;
      for (size_t at = 0; at < request.size(); at = request.find('\0', at) + 1) argv.push_back(&request[at]);
      argv.push_back(nullptr);
      posix_spawn_file_actions_t actions;
      posix_spawn_file_actions_init(&actions);
      posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
      posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
      Run run;
      pid_t pid;
      Clock::time_point start = Clock::now();
      if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        run.wallMs = bench::Milliseconds(Clock::now() - start);
        run.cpuMs = usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
                    usage.ru_stime.tv_usec / 1e3;
        run.peakKiB = usage.ru_maxrss;
        run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
      }
      posix_spawn_file_actions_destroy(&actions);
      if (write(out, &run, sizeof run) != sizeof run) return;
    }
  }
};

long ResidentKiB(const char* field) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::string(field).size());
  return -1;
}

bool Load(const std::string& dir, address::AddressTable& table) {
  std::string bytes, error;
  address::LoadReport report;
  bool ok = address::ReadDataFile(dir + "/KEN_ALL.CSV", bytes, error) && table.AddAreas(bytes, report, error) &&
            address::ReadDataFile(dir + "/JIGYOSYO.CSV", bytes, error) && table.AddOffices(bytes, report, error);
  if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
  return ok;
}

// The plain scan: every row of the UTF-8 CSV, the one whose prefecture,
// city and town name (up to its bracket) begin the written text longest.
struct ScanRow {
  std::string code, name;
};

std::vector<ScanRow> ScanRows(const std::string& utf8) {
  std::vector<ScanRow> rows;
  size_t at = 0;
  while (at < utf8.size()) {
    size_t end = utf8.find('\n', at);
    if (end == std::string::npos) end = utf8.size();
    std::string line = utf8.substr(at, end - at);
    at = end + 1;
    std::vector<std::string> f = address::testing::Fields(line);
    if (f.size() < 9) continue;
    std::string town = f[8].substr(0, f[8].find("（"));
    rows.push_back({f[2], f[6] + f[7] + town});
  }
  return rows;
}

std::string Scan(const std::vector<ScanRow>& rows, const std::string& written) {
  size_t best = 0;
  std::string code;
  for (const ScanRow& row : rows)
    if (row.name.size() > best && written.compare(0, row.name.size(), row.name) == 0) {
      best = row.name.size();
      code = row.code;
    }
  return code;
}

}  // namespace

int main() {
  Launcher launcher;
  TempDir dir;
  for (const char* zip : {"ken_all.zip", "jigyosyo.zip", "utf_ken_all.zip"}) {
    std::string command = std::string("cmake -E tar xf '") + YUBIN_SOURCE_DIR + "/data/" + zip + "'";
    if (std::system(command.c_str()) != 0) return 1;
  }
  std::printf("(the machine's load: wall times count waits for a core; cpu times do not)\n");

  // The first load alone tells the table's memory: the file's bytes are
  // given back when it ends.
  long before = ResidentKiB("VmRSS:");
  auto table = std::make_unique<address::AddressTable>();
  if (!Load(dir.path(), *table)) return 1;
  long tableKiB = ResidentKiB("VmRSS:") - before;
  std::vector<double> loads, loadsCpu;
  for (int run = 0; run < 7; ++run) {
    auto fresh = std::make_unique<address::AddressTable>();
    double cpu = CpuMilliseconds();
    Clock::time_point start = Clock::now();
    if (!Load(dir.path(), *fresh)) return 1;
    loads.push_back(bench::Milliseconds(Clock::now() - start));
    loadsCpu.push_back(CpuMilliseconds() - cpu);
  }
  bench::Report("load of KEN_ALL.CSV and JIGYOSYO.CSV (wall)", loads, 150);
  bench::Report("load of KEN_ALL.CSV and JIGYOSYO.CSV (cpu)", loadsCpu, 150);
  std::printf("%-52s  %ld KiB resident (%.1f MiB)\n", "the table in memory", tableKiB, tableKiB / 1024.0);

  std::string utf8 = dir.Read("utf_ken_all.csv");
  std::vector<address::testing::WrittenAddress> cases = address::testing::MakeWrittenAddresses(utf8, 100000, 7);
  size_t made = cases.size();
  for (size_t i = 0; cases.size() < 100000; ++i) cases.push_back(cases[i % made]);

  // One lookup at a time, timed each.
  std::vector<double> each;
  size_t exact = 0;
  for (size_t i = 0; i < 20000; ++i) {
    Clock::time_point start = Clock::now();
    std::vector<address::Candidate> found = table->LookupUtf8(cases[i].written);
    each.push_back(bench::Milliseconds(Clock::now() - start));
    exact += !found.empty() && found[0].code == cases[i].code && found[0].kind == address::MatchKind::kExact;
  }
  bench::Report("one lookup", each, 0.2);
  std::printf("%-52s  median %.1f us; %zu of %zu found exactly (the first by reading indexes the readings)\n", "",
              bench::Median(each) * 1000, exact, each.size());

  // All of them in process, then through the program as a list.
  double cpu = CpuMilliseconds();
  Clock::time_point start = Clock::now();
  for (const auto& c : cases) table->LookupUtf8(c.written);
  double inProcess = bench::Milliseconds(Clock::now() - start);
  double inProcessCpu = CpuMilliseconds() - cpu;
  std::printf("%-52s  %.0f ms (cpu %.0f ms): %.0f addresses a second (cpu: %.0f)\n", "100,000 lookups in process",
              inProcess, inProcessCpu, cases.size() / inProcess * 1000, cases.size() / inProcessCpu * 1000);

  std::string list;
  for (size_t i = 0; i < cases.size(); ++i) list += std::to_string(i) + "," + cases[i].written + "\n";
  dir.Write("list.csv", list);
  Launcher::Run load = launcher.Start({YUBIN_PROGRAM, "lookup", "--data", dir.path(), "札幌市"});
  Launcher::Run batch = launcher.Start(
      {YUBIN_PROGRAM, "lookup", "--data", dir.path(), "--csv", dir.path() + "/list.csv", "--column", "2"});
  if (!load.ok || !batch.ok) {
    std::fprintf(stderr, "yubin lookup failed\n");
    return 1;
  }
  double rate = cases.size() / (batch.wallMs - load.wallMs) * 1000;
  double cpuRate = cases.size() / (batch.cpuMs - load.cpuMs) * 1000;
  std::printf("%-52s  %.0f ms (cpu %.0f ms); one address alone %.0f ms (cpu %.0f ms)\n",
              "yubin lookup --csv of 100,000 rows", batch.wallMs, batch.cpuMs, load.wallMs, load.cpuMs);
  std::printf("%-52s  %.0f addresses a second (cpu: %.0f)  goal >= 50000%s\n", "the list, after the load", rate,
              cpuRate, cpuRate >= 50000 ? "" : "  MISSED");
  std::printf("%-52s  %ld KiB peak (%.1f MiB)  goal <= 64 MiB%s\n", "its memory", batch.peakKiB, batch.peakKiB / 1024.0,
              batch.peakKiB <= 64 * 1024 ? "" : "  MISSED");

  // The plain scan, on a sample: it takes far longer per address.
  std::vector<ScanRow> rows = ScanRows(utf8);
  std::vector<double> scans;
  size_t scanFound = 0;
  for (size_t i = 0; i < 200; ++i) {
    Clock::time_point at = Clock::now();
    scanFound += Scan(rows, cases[i].written) == cases[i].code;
    scans.push_back(bench::Milliseconds(Clock::now() - at));
  }
  bench::Report("plain scan of the CSV, one address", scans, 0);
  std::printf("%-52s  %zu of %zu found; the table is %.0f times faster\n", "", scanFound, scans.size(),
              bench::Median(scans) / bench::Median(each));
  return 0;
}
