#include "tools/qgrep/line_scan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <optional>
#include <string>
#include <vector>

#include "platform/files/file.h"
#include "platform/files/system_calls.h"
#include "platform/seam.h"
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
  platform::files::File file = platform::files::OpenHostPath(name, platform::files::kRead);
  out.report = scanner.Scan(file, [&](std::string_view line) { out.lines.emplace_back(line); });
  return out;
}

}  // namespace

TEST(LineScan, SameLinesWhereverTheBufferBoundariesFall) {
  TempDir dir;
  // Two-byte characters (ア 0x83 0x41, whose trail byte is "A"), bytes that
  // form no character, CR LF and LF ends, an empty line, and a last line
  // without a line end. No line is longer than 12 bytes with its end.
  const std::string a = Cp932("ア"), ka = Cp932("ｶﾞ");
  const std::string text = "x" + a + a + "A\r\n" +
                           "\x85\x41"
                           "A\r\n" +
                           a + "\x83\r\n" + "\r\n" + ka + a + "yy\n" + "AAAAAAAAA\r\n" + "Z" + a + a + "A";
  dir.Write("f.csv", text);
  const std::vector<std::string> withA = {"x" + a + a + "A",
                                          "\x85\x41"
                                          "A",
                                          "AAAAAAAAA", "Z" + a + a + "A"};
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
  dir.Write("f", "a\n");
  platform::files::File file = platform::files::OpenHostPath("f", platform::files::kRead);
  platform::ScopedOverride calls(platform::files::Sys());
  platform::files::Sys().read = [](int, void*, size_t) -> ssize_t {
    errno = EIO;
    return -1;
  };
  Pattern p("a");
  LineScanner scanner(p, nullptr);
  ScanReport report = scanner.Scan(file, [](std::string_view) {});
  EXPECT_EQ(report.readError, EIO);
}
