// Runs the qgrep executable in a temporary directory over small CSV files
// made of lines from the postal data, as the search dialog and a user do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/resource.h>  // setrlimit
#include <sys/stat.h>      // mkfifo
#include <sys/wait.h>
#include <unistd.h>  // alarm, getpid

#include <filesystem>
#include <iterator>  // std::distance
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"

using platform::text::Cp932;

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

// Runs `program` (qgrep) with `args`, without a shell; its output is kept in dot
// files, which no wildcard of the tests matches.
Outcome Qgrep(const TempDir& dir, const std::vector<std::string>& args, const std::string& program = QGREP_PATH) {
  std::vector<std::string> all{program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, ".out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, ".err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid;
  int status = -1;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) waitpid(pid, &status, 0);
  posix_spawn_file_actions_destroy(&actions);
  Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, dir.Read(".out"), dir.Read(".err")};
  fs::remove(".out");
  fs::remove(".err");
  return outcome;
}

// Lines of the two files, in CP932 with CR LF, as the postal data has them.
std::string Crlf(const std::string& utf8) { return Cp932(utf8) + "\r\n"; }
const std::string kMinami = Crlf(
    "01101,\"060  \",\"0600061\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ﾐﾅﾐ1ｼﾞｮｳﾆｼ(1-19ﾁｮｳﾒ)\",\"北海道\","
    "\"札幌市中央区\",\"南一条西（１～１９丁目）\",1,0,1,0,0,0");
const std::string kAsahi = Crlf(
    "01101,\"064  \",\"0640941\",\"ﾎｯｶｲﾄﾞｳ\",\"ｻｯﾎﾟﾛｼﾁｭｳｵｳｸ\",\"ｱｻﾋｶﾞｵｶ\",\"北海道\",\"札幌市中央区\","
    "\"旭ケ丘\",0,0,1,0,0,0");
const std::string kIidabashi =
    Crlf("13101,\"102  \",\"1020072\",\"ﾄｳｷｮｳﾄ\",\"ﾁﾖﾀﾞｸ\",\"ｲｲﾀﾞﾊﾞｼ\",\"東京都\",\"千代田区\",\"飯田橋\",0,0,1,0,0,0");
const std::string kOffice = Crlf(
    "01101,\"(ｶﾌﾞ) ﾆﾎﾝｹｲｻﾞｲｼﾝﾌﾞﾝｼﾔ ｻﾂﾎﾟﾛｼｼﾔ\",\"株式会社　日本経済新聞社　札幌支社\",\"北海道\","
    "\"札幌市中央区\",\"北一条西\",\"６丁目１－２アーバンネット札幌ビル２Ｆ\",\"0608621\",\"060  \","
    "\"札幌中央\",0,0,0");

void WriteData(const TempDir& dir) {
  dir.Write("KEN_ALL.CSV", kMinami + kAsahi + kIidabashi);
  dir.Write("JIGYOSYO.CSV", kOffice);
}

// A copy of the marker program, which records that it ran.
void PlaceMarkerProgram(const std::string& path) {
  fs::copy_file(MARKER_PATH, path, fs::copy_options::overwrite_existing);
}

}  // namespace

TEST(Qgrep, TheSearchDialogsCommandLine) {
  TempDir dir;
  WriteData(dir);
  fs::create_symlink(QGREP_PATH, "qgrep");
  PlaceMarkerProgram("vesk");
  // As the dialog starts it: CP932 command text, split by the platform's
  // rules, handed over in UTF-8. Both files, JIGYOSYO.CSV first; the
  // office's reading spells さっぽろ with a full-size ﾂ.
  std::string command = " -G -V0 -Evesk -Ores_s \"" + Cp932("さっぽろ and 一条") + "\" *.csv";
  EXPECT_EQ(platform::StartAndWait("qgrep.exe", {"qgrep.exe", command}), 0);
  EXPECT_EQ(dir.Read("res_s"), kOffice + kMinami);
  // vesk ran after res_s was written.
  EXPECT_EQ(dir.Read("marker"), "vesk\n" + kOffice + kMinami);

  EXPECT_EQ(platform::StartAndWait("qgrep.exe", {"qgrep.exe", " -G -V0 -Evesk -Ores_s \"060-0061\" Ken_all.csv"}), 0);
  EXPECT_EQ(dir.Read("res_s"), kMinami);
  EXPECT_EQ(platform::StartAndWait("qgrep.exe", {"qgrep.exe", " -G -V0 -Evesk -Ores_s \"\" Jigyosyo.csv"}), 0);
  EXPECT_EQ(dir.Read("res_s"), kOffice);
}

TEST(Qgrep, ExitStatusesAndNotes) {
  TempDir dir;
  WriteData(dir);
  Outcome found = Qgrep(dir, {"-V0", "ほっかいどう", "Ken_all.csv"});
  EXPECT_EQ(found.status, 0);
  EXPECT_EQ(found.out, kMinami + kAsahi);
  EXPECT_EQ(found.err, "");
  // The same pattern in CP932 bytes.
  EXPECT_EQ(Qgrep(dir, {"-V0", Cp932("ほっかいどう"), "Ken_all.csv"}).out, kMinami + kAsahi);
  // "-1" is the pattern: only a file follows it.
  EXPECT_EQ(Qgrep(dir, {"-V0", "-1", "Ken_all.csv"}).out, kMinami);
  // So are "--help" and "--": the dialog's user may search for them. Where
  // a pattern and a file follow it, "--" ends the options.
  EXPECT_EQ(Qgrep(dir, {"-V0", "--help", "Ken_all.csv"}).status, 1);
  Outcome dashes = Qgrep(dir, {"-V0", "--", "Ken_all.csv"});
  EXPECT_EQ(dashes.status, 1);
  EXPECT_EQ(dashes.err, "");
  EXPECT_EQ(Qgrep(dir, {"-V0", "--", "-1", "Ken_all.csv"}).out, kMinami);
  EXPECT_EQ(Qgrep(dir, {"--help"}).status, 0);

  Outcome none = Qgrep(dir, {"-V0", "zzz", "*.csv"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(none.out, "");

  // Without -V0: file names before the lines, and a count.
  Outcome named = Qgrep(dir, {"千代田", "*.csv"});
  EXPECT_EQ(named.out, "KEN_ALL.CSV:" + kIidabashi);
  EXPECT_EQ(named.err, "qgrep: 1 matching line(s) in 2 file(s)\n");

  // An operand that names nothing and a file that cannot be read are
  // errors, status 2, each named on a line of its own; the other files are
  // searched all the same.
  // A named pipe is refused without waiting for a writer.
  fs::create_directory("sub");
  ASSERT_EQ(mkfifo("pipe", 0666), 0);
  Outcome missing = Qgrep(dir, {"-V0", "-Ores_s", "東京都", "missing.csv", "sub", "pipe", "*.txt", "Ken_all.csv"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err,
            "qgrep: no file named missing.csv\nqgrep: no file matches *.txt\nqgrep: cannot read sub: Is a directory\n"
            "qgrep: cannot read pipe: Invalid argument\n");
  EXPECT_EQ(dir.Read("res_s"), kIidabashi);
  fs::remove("JIGYOSYO.CSV");
  Outcome office = Qgrep(dir, {"-V0", "-Ores_s", "札幌", "Jigyosyo.csv"});
  EXPECT_EQ(office.status, 2);
  EXPECT_EQ(office.err, "qgrep: no file named Jigyosyo.csv\n");

  // A valid expression that cannot be compiled: status 2 and why, before
  // anything is searched.
  dir.Write("res_s", "old");
  Outcome large = Qgrep(dir, {"-V0", "-Ores_s", "(\\d,?){1,4000}", "Ken_all.csv"});
  EXPECT_EQ(large.status, 2);
  EXPECT_EQ(large.err, "qgrep: expression cannot be searched: \"(\\d,?){1,4000}\" (regular expression is too large)\n");
  EXPECT_EQ(dir.Read("res_s"), "old");

  // A wrong command line: what is wrong on the first line, then usage,
  // status 2, and the output file untouched.
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"-Ores_s", "-X", "a", "*.csv"}, {"-Ores_s", "-V2", "a", "*.csv"}, {"-G"}, {}}) {
    Outcome wrong = Qgrep(dir, args);
    EXPECT_EQ(wrong.status, 2);
    EXPECT_EQ(wrong.err.rfind("qgrep: ", 0), 0u) << wrong.err;
    EXPECT_NE(wrong.err.find("usage: qgrep"), std::string::npos);
  }
  EXPECT_EQ(Qgrep(dir, {"-Ores_s", "-X", "a", "*.csv"}).err.rfind("qgrep: unknown option '-X'\n", 0), 0u);
  EXPECT_EQ(dir.Read("res_s"), "old");
}

TEST(Qgrep, TheOutputFileIsReplacedOnlyWhenTheSearchHasFinished) {
  TempDir dir;
  // Searching the output file itself reads it as it was before the run.
  dir.Write("res_s", "old line\r\nother\r\n");
  EXPECT_EQ(Qgrep(dir, {"-V0", "-Ores_s", "old", "res_s"}).status, 0);
  EXPECT_EQ(dir.Read("res_s"), "old line\r\n");

  // An expression that backtracks without end stops the search: the old
  // output stays, nothing else is left behind, and no program is started.
  dir.Write("x.csv", "match\n" + std::string(60, 'a') + "c\n");
  PlaceMarkerProgram("vesk");
  Outcome stopped = Qgrep(dir, {"-V0", "-Evesk", "-Ores_s", "^(a|aa)*(?=b)", "x.csv"});
  EXPECT_EQ(stopped.status, 2);
  EXPECT_EQ(stopped.err,
            "qgrep: expression too costly to search: \"^(a|aa)*(?=b)\" (stopped in x.csv; res_s left as it was)\n");
  EXPECT_EQ(dir.Read("res_s"), "old line\r\n");
  EXPECT_FALSE(dir.Exists("marker"));
  auto entries = fs::directory_iterator(".");
  EXPECT_EQ(std::distance(fs::begin(entries), fs::end(entries)), 3);  // res_s, x.csv, vesk
}

// The output file can be a named pipe that another program reads: it is
// written in place, and one without a reader is a failure, never a wait.
TEST(Qgrep, AnOutputFileThatIsNoRegularFileIsWrittenInPlace) {
  TempDir dir;
  WriteData(dir);
  alarm(20);
  ASSERT_EQ(mkfifo("pipe", 0666), 0);
  int reader = open("pipe", O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  Outcome read = Qgrep(dir, {"-V0", "-Opipe", "旭ケ丘", "*.csv"});
  EXPECT_EQ(read.status, 0) << read.err;
  char buffer[1024];
  ssize_t n = ::read(reader, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0), kAsahi);
  close(reader);
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("pipe")));

  Outcome unread = Qgrep(dir, {"-V0", "-Opipe", "旭ケ丘", "*.csv"});
  EXPECT_EQ(unread.status, 2);
  EXPECT_EQ(unread.err, "qgrep: cannot write pipe: No such device or address\n");
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status("pipe")));
  alarm(0);
}

// Under a file size limit the write fails like any other: status 2, a
// message, and the old output file as it was.
TEST(Qgrep, AFileSizeLimitIsAFailedWrite) {
  TempDir dir;
  WriteData(dir);
  dir.Write("res_s", "old");
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit limit = saved;
  limit.rlim_cur = 100;  // below the three lines found
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  Outcome run = Qgrep(dir, {"-V0", "-Ores_s", "", "Ken_all.csv"});
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "qgrep: cannot write res_s: File too large\n");
  EXPECT_EQ(dir.Read("res_s"), "old");
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_FALSE(entry.path().string().ends_with(".tmp")) << entry.path() << " left behind";
}

TEST(Qgrep, TheProgramToStartIsLookedForHereThenBesideQgrep) {
  TempDir dir;
  WriteData(dir);
  fs::create_directory("bin");
  fs::copy_file(QGREP_PATH, "bin/qgrep");
  PlaceMarkerProgram("bin/vesk");
  Outcome beside = Qgrep(dir, {"-V0", "-Evesk", "-Ores_s", "旭ケ丘", "*.csv"}, dir.path() + "/bin/qgrep");
  EXPECT_EQ(beside.status, 0);
  EXPECT_EQ(dir.Read("marker"), "vesk\n" + kAsahi);

  // One that is nowhere is a note; the search stands.
  Outcome missing = Qgrep(dir, {"-V0", "-Enothere", "-Ores_s", "旭ケ丘", "*.csv"});
  EXPECT_EQ(missing.status, 0);
  EXPECT_EQ(missing.err, "qgrep: program nothere not found; the search is done all the same\n");
  EXPECT_EQ(dir.Read("res_s"), kAsahi);
}

TEST(Qgrep, AKilledRunsTemporaryFileIsRemovedByTheNextRun) {
  TempDir dir;
  WriteData(dir);
  // A process that has ended, and one that runs: this test.
  pid_t ended = 0;
  char* argv[] = {const_cast<char*>("true"), nullptr};
  ASSERT_EQ(posix_spawnp(&ended, "true", nullptr, nullptr, argv, environ), 0);
  waitpid(ended, nullptr, 0);
  const std::string stale = "res_s." + std::to_string(ended) + ".tmp";
  const std::string running = "res_s." + std::to_string(getpid()) + ".tmp";
  const std::string other = "other." + std::to_string(ended) + ".tmp";
  for (const std::string& name : {stale, running, other}) dir.Write(name, "half a result");
  EXPECT_EQ(Qgrep(dir, {"-V0", "-Ores_s", "旭ケ丘", "Ken_all.csv"}).status, 0);
  EXPECT_FALSE(dir.Exists(stale));
  EXPECT_TRUE(dir.Exists(running));
  EXPECT_TRUE(dir.Exists(other));
}
