#include "tools/qgrep/line_scan.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/text/cp932.h"
#include "tests/support/temp_dir.h"
#include "tools/qgrep/pattern.h"
#include "tools/qgrep/prefilter.h"

using platform::text::Cp932;
using qgrep::LineScanner;
using qgrep::Pattern;
using qgrep::Prefilter;
using qgrep::ScanReport;

namespace {

struct Scanned {
  std::vector<std::string> lines;
  ScanReport report;
};

// Scans the file `name` with a buffer of `capacity` bytes, with the
// prefilter of the pattern or without one.
Scanned Scan(const std::string& name, const std::string& pattern, size_t capacity, bool prefiltered) {
  Pattern p(pattern);
  std::optional<Prefilter> prefilter = Prefilter::Choose(p.LiteralTerms());
  LineScanner scanner(p, prefiltered && prefilter ? &*prefilter : nullptr, capacity);
  Scanned out;
  int fd = open(name.c_str(), O_RDONLY);
  out.report = scanner.Scan(fd, [&](std::string_view line) { out.lines.emplace_back(line); });
  close(fd);
  return out;
}

}  // namespace

TEST(LineScan, SameLinesWhereverTheBufferBoundariesFall) {
  TempDir dir;
  // Two-byte characters (ア 0x83 0x41, whose trail byte is "A"), bytes that
  // form no character, CR LF and LF ends, an empty line, and a last line
  // without a line end. No line is longer than 12 bytes with its end.
  const std::string a = Cp932("ア"), ka = Cp932("ｶﾞ");
  const std::string text = "x" + a + a + "A\r\n" + "\x85\x41" "A\r\n" + a + "\x83\r\n" + "\r\n" +
                           ka + a + "yy\n" + "AAAAAAAAA\r\n" + "Z" + a + a + "A";
  dir.Write("f.csv", text);
  const std::vector<std::string> withA = {"x" + a + a + "A", "\x85\x41" "A", "AAAAAAAAA", "Z" + a + a + "A"};
  const std::vector<std::string> withKana = {"x" + a + a + "A", a + "\x83", ka + a + "yy", "Z" + a + a + "A"};
  for (size_t capacity = 12; capacity <= text.size() + 1; ++capacity) {
    for (bool prefiltered : {true, false}) {
      Scanned scanned = Scan("f.csv", "a", capacity, prefiltered);
      EXPECT_EQ(scanned.lines, withA) << capacity;
      EXPECT_EQ(scanned.report.tooLong, 0);
      EXPECT_EQ(Scan("f.csv", "あ", capacity, prefiltered).lines, withKana) << capacity;
    }
  }
}

TEST(LineScan, ALineLongerThanTheBufferIsSkippedAndCounted) {
  TempDir dir;
  dir.Write("f.csv", "a1\n" + std::string(40, 'a') + "\na2\r\n" + std::string(50, 'a'));
  Scanned scanned = Scan("f.csv", "a", 16, true);
  EXPECT_EQ(scanned.lines, (std::vector<std::string>{"a1", "a2"}));
  EXPECT_EQ(scanned.report.tooLong, 2);
}

TEST(LineScan, AReadErrorStopsTheScanAndSaysWhy) {
  TempDir dir;
  std::filesystem::create_directory("d");
  Pattern p("a");
  LineScanner scanner(p, nullptr);
  int fd = open("d", O_RDONLY);
  ScanReport report = scanner.Scan(fd, [](std::string_view) {});
  close(fd);
  EXPECT_EQ(report.readError, EISDIR);
}
