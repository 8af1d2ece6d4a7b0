// Times the kana town index build on the bundled postal data against the
// cost of creating the same files at all (extracting a tar archive of the
// resulting tree), and reports the build's peak memory.
//
// usage: index_build_bench [KEN_ALL.CSV]
// Without an argument it extracts data/ken_all.zip itself.
#include <spawn.h>         // posix_spawnp
#include <sys/resource.h>  // struct rusage
#include <sys/wait.h>      // wait4
#include <unistd.h>        // chdir

#include <chrono>
#include <cstdio>
#include <cstdlib>  // mkdtemp
#include <filesystem>
#include <string>
#include <vector>

#include "prep/import/ken_all_import.h"

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
  if (prep::import::ImportKenAll(source.string(), (build / "ALL_ZIP.TXT").string(), report,
                                 error) != 0) {
    std::fprintf(stderr, "import failed: %s\n", error.c_str());
    return 1;
  }
  double importSeconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - importStart).count();

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
  std::vector<std::string> create = gnuTar ? std::vector<std::string>{"tar", "cf", "../tree.tar", "Zip_Code"}
                                           : std::vector<std::string>{"cmake", "-E", "tar", "cf", "../tree.tar", "Zip_Code"};
  if (RunChild(create, build).status != 0) {
    std::fprintf(stderr, "cannot archive the index\n");
    return 1;
  }
  fs::path extract = work / "extract";
  fs::create_directory(extract);
  std::vector<std::string> unpack = gnuTar ? std::vector<std::string>{"tar", "xf", "../tree.tar"}
                                           : std::vector<std::string>{"cmake", "-E", "tar", "xf", "../tree.tar"};
  ChildRun tar = RunChild(unpack, extract);
  if (tar.status != 0) {
    std::fprintf(stderr, "cannot extract the archive\n");
    return 1;
  }

  double ratio = index.seconds / tar.seconds;
  double rssMiB = index.maxRssKiB / 1024.0;
  std::printf("import:          %ld lines -> %ld records in %.3f s\n", report.linesRead,
              report.recordsWritten, importSeconds);
  std::printf("index build:     %ld records into %ld files in %ld directories\n",
              report.recordsWritten, files, directories);
  std::printf("build wall time: %.3f s (%.0f records/s)\n", index.seconds,
              report.recordsWritten / index.seconds);
  std::printf("tar extraction:  %.3f s (%s, same tree)\n", tar.seconds,
              gnuTar ? "tar xf" : "cmake -E tar xf");
  std::printf("build / tar:     %.2f (goal: at most 2.5)\n", ratio);
  std::printf("peak RSS build:  %.1f MiB (goal: under 16 MiB)\n", rssMiB);

  std::error_code ignored;
  fs::remove_all(work, ignored);
  return 0;
}
