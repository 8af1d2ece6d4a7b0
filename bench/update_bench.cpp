// yubin update on the whole bundled data from a server on 127.0.0.1: a
// full update (the address and office files fetched, imported and indexed)
// against an update by one month of difference files touching a few
// hundred records. Prints the time of each and the bytes downloaded; the
// goals are a fifth of the time and a twentieth of the bytes.
#include <unistd.h>  // sync

#include <cstdio>
#include <cstdlib>  // std::getenv
#include <filesystem>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "tests/support/loopback_server.h"
#include "tests/support/postal_months.h"
#include "tests/support/temp_dir.h"
#include "tools/yubin/update/updater.h"

using namespace postal_months;
using namespace yubin;

namespace {

bool RunSteps(start::Steps& steps, std::string& error) { return start::RunAllSteps(steps, error); }

bool Update(const start::Installation& installation, const std::string& root, const std::string& base) {
  start::Workspaces workspaces(root);
  update::UpdateOptions options;
  options.base = base;
  auto begin = std::chrono::steady_clock::now();
  update::Updater updater(installation, workspaces, options, [&](const std::string& line) {
    if (std::getenv("UPDATE_BENCH_STEPS"))
      std::fprintf(stderr, "%8.0f ms  %s\n", bench::Milliseconds(std::chrono::steady_clock::now() - begin),
                   line.c_str());
  });
  std::string message;
  bool done = updater.Run(RunSteps, message) == update::UpdateResult::kUpdated;
  if (!done) std::fprintf(stderr, "update_bench: %s\n", message.c_str());
  if (std::getenv("UPDATE_BENCH_STEPS"))
    std::fprintf(stderr, "%8.0f ms  %s\n", bench::Milliseconds(std::chrono::steady_clock::now() - begin),
                 message.c_str());
  return done;
}

}  // namespace

int main() {
  TempDir dir;
  std::string data = std::string(YUBIN_SOURCE_DIR) + "/data/";
  std::vector<std::string> addresses = ArchiveLines(data + "ken_all.zip", 1 << 20);
  std::vector<std::string> offices = ArchiveLines(data + "jigyosyo.zip", 1 << 20);
  std::filesystem::create_directories(dir.path() + "/share");
  dir.Write("share/郵便番号検索ヘルプ.hlp", "help\n");
  start::Installation installation{dir.path() + "/bin", dir.path() + "/share"};
  std::string scratch = dir.path() + "/scratch.zip";

  LoopbackServer server;
  server.Put("/kogaki/zip/ken_all.zip",
             {ZipOf("KEN_ALL.CSV", Joined(addresses), scratch), "\"may\"", "Fri, 29 May 2026 01:00:00 GMT"});
  server.Put("/jigyosyo/zip/jigyosyo.zip", {ZipOf("JIGYOSYO.CSV", Joined(offices), scratch), "", ""});
  std::vector<double> fullMs, differenceMs;
  long long fullBytes = 0, differenceBytes = 0;
  constexpr int kRounds = 3;
  Change june = MakeChange(addresses, 6, 100), juneOffices = MakeChange(offices, 6, 20);
  for (int round = 0; round < kRounds; ++round) {
    std::string root = dir.path() + "/root-" + std::to_string(round);
    server.Put("/kogaki/zip/ken_all.zip",
               {ZipOf("KEN_ALL.CSV", Joined(addresses), scratch), "\"may\"", "Fri, 29 May 2026 01:00:00 GMT"});
    server.Forget();
    // Each update starts with the disk's writing of the one before done, so
    // that neither pays for the other's.
    sync();
    auto start = std::chrono::steady_clock::now();
    if (!Update(installation, root, server.Base())) return 1;
    fullMs.push_back(bench::Milliseconds(std::chrono::steady_clock::now() - start));
    fullBytes = server.BodyBytesSent();

    server.Put("/kogaki/zip/del_2606.zip", {ZipOf("DEL.CSV", Joined(june.deletions), scratch), "", ""});
    server.Put("/kogaki/zip/add_2606.zip", {ZipOf("ADD.CSV", Joined(june.additions), scratch), "", ""});
    server.Put("/jigyosyo/zip/jdel_2606.zip", {ZipOf("JDEL.CSV", Joined(juneOffices.deletions), scratch), "", ""});
    server.Put("/jigyosyo/zip/jadd_2606.zip", {ZipOf("JADD.CSV", Joined(juneOffices.additions), scratch), "", ""});
    server.Put("/kogaki/zip/ken_all.zip", {"", "\"june\"", "Tue, 30 Jun 2026 01:00:00 GMT"});
    server.Forget();
    sync();
    start = std::chrono::steady_clock::now();
    if (!Update(installation, root, server.Base())) return 1;
    differenceMs.push_back(bench::Milliseconds(std::chrono::steady_clock::now() - start));
    differenceBytes = server.BodyBytesSent();
  }
  std::printf(
      "bundled data: %zu address lines, %zu office lines; one month: %zu + %zu address records "
      "deleted + added, %zu + %zu office records\n",
      addresses.size(), offices.size(), june.deletions.size(), june.additions.size(), juneOffices.deletions.size(),
      juneOffices.additions.size());
  bench::Report("full update (fetch, import, index)", fullMs, 0);
  bench::Report("update by one month of differences", differenceMs, bench::Median(fullMs) / 5);
  std::printf("time ratio differences / full: %.3f (goal <= 0.2)\n",
              bench::Median(differenceMs) / bench::Median(fullMs));
  std::printf("bytes downloaded: full %lld, differences %lld, ratio %.4f (goal <= 0.05)\n", fullBytes, differenceBytes,
              static_cast<double>(differenceBytes) / static_cast<double>(fullBytes));
  return 0;
}
