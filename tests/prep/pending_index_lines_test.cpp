#include "prep/pending_index_lines.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using prep::PendingIndexLines;

namespace {

using Taken = std::vector<std::pair<std::string, std::string>>;

Taken TakeAll(PendingIndexLines& pending) {
  Taken taken;
  pending.TakeEachFile([&](const std::string& path, std::string_view lines) {
    taken.emplace_back(path, std::string(lines));
    return true;
  });
  return taken;
}

}  // namespace

TEST(PendingIndexLines, FilesComeInTheOrderOfTheirFirstLineWithTheirLinesInOrder) {
  PendingIndexLines pending;
  pending.Add("b", "1\n");
  pending.Add("a", "2\n");
  pending.Add("b", "3\n");
  pending.Add("c", "4\n");
  pending.Add("a", "5\n");
  pending.Add("b", "6\n");
  EXPECT_EQ(pending.bytes(), 12u);
  EXPECT_EQ(TakeAll(pending), (Taken{{"b", "1\n3\n6\n"}, {"a", "2\n5\n"}, {"c", "4\n"}}));
}

TEST(PendingIndexLines, PathsNamingOneHostFileAreOneFileInTheOrderOfItsLines) {
  PendingIndexLines pending;
  pending.Add("Z\\ab.Idx", "1\n");
  pending.Add("z\\AB.IDX", "2\n");        // other case: one file
  pending.Add("Z\\\x87\x90.Idx", "3\n");  // U+2252 in the NEC row
  pending.Add("Z\\ab.Idx", "4\n");
  pending.Add("Z\\\x81\xE0.Idx", "5\n");  // and in the JIS row: one file
  pending.Add("Z\\\x83\x41.Idx", "6\n");  // ア and ビ: a trail byte is no letter
  pending.Add("Z\\\x83\x61.Idx", "7\n");
  EXPECT_EQ(TakeAll(pending), (Taken{{"Z\\ab.Idx", "1\n2\n4\n"},
                                     {"Z\\\x87\x90.Idx", "3\n5\n"},
                                     {"Z\\\x83\x41.Idx", "6\n"},
                                     {"Z\\\x83\x61.Idx", "7\n"}}));
}

TEST(PendingIndexLines, TakingForgetsEverythingAndStartsAfresh) {
  PendingIndexLines pending;
  pending.Add("a", "1\n");
  pending.Add("b", "2\n");
  TakeAll(pending);
  EXPECT_TRUE(pending.empty());
  EXPECT_TRUE(TakeAll(pending).empty());
  // A file seen before is new again, and comes after the one added first.
  pending.Add("b", "3\n");
  pending.Add("a", "4\n");
  EXPECT_EQ(TakeAll(pending), (Taken{{"b", "3\n"}, {"a", "4\n"}}));
}
