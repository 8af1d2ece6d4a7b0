// Times the kana town index build on the bundled postal data against the
// cost of creating the same files at all (extracting a tar archive of the
// resulting tree), and reports the build's peak memory.
//
// usage: index_build_bench [KEN_ALL.CSV]
// Without an argument it extracts data/ken_all.zip itself.
#include <fcntl.h>         // open
#include <spawn.h>         // posix_spawnp
#include <sys/stat.h>      // mkdir
#include <sys/resource.h>  // struct rusage
#include <sys/wait.h>      // wait4
#include <unistd.h>        // chdir

#include <algorithm>  // std::sort, std::max
#include <chrono>
#include <cstdio>
#include <cstdlib>  // mkdtemp
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "bench/figures.h"
#include "platform/files/host_path.h"
#include "platform/text/cp932.h"
#include "prep/import/ken_all_import.h"
#include "prep/kana_town_index.h"
#include "prep/master_file.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct ChildRun {
  int status = -1;
  double seconds = 0;
  long maxRssKiB = 0;
};

// Runs a program in `directory` and waits for it; wall time and peak RSS.
ChildRun RunChild(const std::vector<std::string>& argv, const fs::path& directory) {
  ChildRun run;
  fs::path previous = fs::current_path();
  fs::current_path(directory);
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  auto start = std::chrono::steady_clock::now();
  pid_t pid;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) == 0) {
    int status = 0;
    struct rusage usage {};
    if (wait4(pid, &status, 0, &usage) == pid) {
      run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      run.maxRssKiB = usage.ru_maxrss;
    }
  }
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  fs::current_path(previous);
  return run;
}

// What the build would cost at least if it opened, wrote and closed the
// index file once per record: host paths worked out beforehand, no mapping
// and no reading. The build's batching of lines per file is measured against
// it.
double OpenWriteCloseFloor(const fs::path& master, const fs::path& directory) {
  prep::MasterFile file;
  if (file.Open(master.string()) != 0) return -1;
  std::vector<std::pair<std::string, std::string>> appends;
  prep::MasterRecord record;
  for (prep::ReadResult r; (r = file.ReadRecord(record)) != prep::ReadResult::kEnd;) {
    if (r != prep::ReadResult::kRecord) continue;
    std::string key = prep::KanaIndexKey(record);
    size_t slash = key.find('\\');
    appends.emplace_back("Zip_Code/" + platform::files::HostName(key.substr(0, slash)) + "/" +
                             platform::files::HostName(key.substr(slash + 1) + ".Idx"),
                         prep::KanaIndexLine(record));
  }
  fs::path previous = fs::current_path();
  fs::current_path(directory);
  mkdir("Zip_Code", 0777);
  std::string lastDirectory;
  auto start = std::chrono::steady_clock::now();
  for (const auto& [path, line] : appends) {
    std::string dir = path.substr(0, path.rfind('/'));
    if (dir != lastDirectory) {
      mkdir(dir.c_str(), 0777);
      lastDirectory = dir;
    }
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_APPEND, 0666);
    if (fd < 0 || write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
      fs::current_path(previous);
      return -1;
    }
    close(fd);
  }
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  fs::current_path(previous);
  return seconds;
}

using bench::Median;

std::string Samples(const std::vector<double>& values) {
  std::string text;
  for (double v : values) {
    char item[32];
    std::snprintf(item, sizeof item, "%s%.3f", text.empty() ? "" : " ", v);
    text += item;
  }
  return text;
}

bool HaveProgram(const char* name) {
  return RunChild({"sh", "-c", std::string("command -v ") + name + " >/dev/null"}, ".").status == 0;
}

}  // namespace

int main(int argc, char** argv) {
  char pattern[] = "/tmp/yubin-bench-XXXXXX";
  if (!mkdtemp(pattern)) {
    std::perror("mkdtemp");
    return 1;
  }
  fs::path work = pattern;
  fs::path source;
  if (argc > 1) {
    source = fs::absolute(argv[1]);
  } else {
    std::string zip = std::string(YUBIN_SOURCE_DIR) + "/data/ken_all.zip";
    if (RunChild({"cmake", "-E", "tar", "xf", zip}, work).status != 0) {
      std::fprintf(stderr, "cannot extract %s\n", zip.c_str());
      return 1;
    }
    source = work / "KEN_ALL.CSV";
  }

  fs::path build = work / "build";
  fs::create_directory(build);
  prep::import::ImportReport report;
  std::string error;
  auto importStart = std::chrono::steady_clock::now();
  // The file layer takes CP932 path texts.
  std::optional<std::string> input = platform::text::ToCp932Strict(source.string());
  std::optional<std::string> output = platform::text::ToCp932Strict((build / "ALL_ZIP.TXT").string());
  if (!input || !output) {
    std::fprintf(stderr, "the paths need a CP932 form\n");
    return 1;
  }
  if (prep::import::ImportKenAll(*input, *output, report, error) != 0) {
    std::fprintf(stderr, "import failed: %s\n", error.c_str());
    return 1;
  }
  double importSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - importStart).count();

  ChildRun index = RunChild({YUBIN_PROGRAM, "build"}, build);
  if (index.status != 0) {
    std::fprintf(stderr, "yubin build failed with status %d\n", index.status);
    return 1;
  }
  long files = 0, directories = 0;
  for (const auto& entry : fs::recursive_directory_iterator(build / "Zip_Code")) {
    if (entry.is_regular_file()) ++files;
    if (entry.is_directory()) ++directories;
  }

  // The same tree as an archive, extracted into a fresh directory.
  bool gnuTar = HaveProgram("tar");
  std::vector<std::string> create =
      gnuTar ? std::vector<std::string>{"tar", "cf", "../tree.tar", "Zip_Code"}
             : std::vector<std::string>{"cmake", "-E", "tar", "cf", "../tree.tar", "Zip_Code"};
  if (RunChild(create, build).status != 0) {
    std::fprintf(stderr, "cannot archive the index\n");
    return 1;
  }
  // Creating files costs the file system more for a while after others
  // were deleted, so nothing is deleted until all is measured, and build and
  // extraction take turns in fresh directories in the order E B B E E B B E,
  // which spreads a cost that fades over time evenly; the medians compare.
  std::vector<std::string> unpack = gnuTar ? std::vector<std::string>{"tar", "xf", "../tree.tar"}
                                           : std::vector<std::string>{"cmake", "-E", "tar", "xf", "../tree.tar"};
  constexpr int kRounds = 4;
  std::vector<double> buildSeconds, tarSeconds;
  long maxRssKiB = index.maxRssKiB;
  for (int round = 0; round < kRounds; ++round) {
    fs::path extract = work / ("extract" + std::to_string(round));
    fs::path rebuild = work / ("build" + std::to_string(round));
    fs::create_directory(extract);
    fs::create_directory(rebuild);
    fs::copy_file(build / "ALL_ZIP.TXT", rebuild / "ALL_ZIP.TXT");
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn + round) % 2 == 0) {
        ChildRun tar = RunChild(unpack, extract);
        if (tar.status != 0) {
          std::fprintf(stderr, "cannot extract the archive\n");
          return 1;
        }
        tarSeconds.push_back(tar.seconds);
      } else {
        ChildRun run = RunChild({YUBIN_PROGRAM, "build"}, rebuild);
        if (run.status != 0) {
          std::fprintf(stderr, "yubin build failed with status %d\n", run.status);
          return 1;
        }
        buildSeconds.push_back(run.seconds);
        maxRssKiB = std::max(maxRssKiB, run.maxRssKiB);
      }
    }
  }
  double buildMedian = Median(buildSeconds);
  double tarMedian = Median(tarSeconds);

  fs::path floorDirectory = work / "floor";
  fs::create_directory(floorDirectory);
  double floor = OpenWriteCloseFloor(build / "ALL_ZIP.TXT", floorDirectory);

  double ratio = buildMedian / tarMedian;
  double rssMiB = maxRssKiB / 1024.0;
  std::printf("import:          %ld lines -> %ld records in %.3f s\n", report.linesRead, report.recordsWritten,
              importSeconds);
  std::printf("index build:     %ld records into %ld files in %ld directories\n", report.recordsWritten, files,
              directories);
  std::printf("first build:     %.3f s (before the archive existed)\n", index.seconds);
  std::printf("build wall time: %.3f s median of %d (%.0f records/s)\n", buildMedian, kRounds,
              report.recordsWritten / buildMedian);
  std::printf("tar extraction:  %.3f s median of %d (%s, same tree)\n", tarMedian, kRounds,
              gnuTar ? "tar xf" : "cmake -E tar xf");
  std::printf("in turn order:   build %s s; tar %s s\n", Samples(buildSeconds).c_str(), Samples(tarSeconds).c_str());
  std::printf("build / tar:     %.2f (goal: at most 2.5)\n", ratio);
  std::printf("one open/write/close per record, nothing else: %.3f s (%.2f x tar)\n", floor, floor / tarMedian);
  std::printf("peak RSS build:  %.1f MiB (goal: under 16 MiB)\n", rssMiB);

  std::error_code ignored;
  fs::remove_all(work, ignored);
  return 0;
}
