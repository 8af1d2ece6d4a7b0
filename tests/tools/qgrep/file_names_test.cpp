#include "tools/qgrep/file_names.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

using qgrep::ExpandOperand;
using qgrep::FitsWildcards;

using Names = std::vector<std::string>;

TEST(FileNames, WildcardsWithoutRegardToCase) {
  EXPECT_TRUE(FitsWildcards("*.csv", "KEN_ALL.CSV"));
  EXPECT_TRUE(FitsWildcards("k?n_*.c*v", "KEN_ALL.CSV"));
  EXPECT_TRUE(FitsWildcards("*a*a*", "banana"));
  EXPECT_FALSE(FitsWildcards("*.csv", "KEN_ALL.CSV.bak"));
  EXPECT_FALSE(FitsWildcards("?", "ab"));
  // ? is one character, of however many bytes; dot files need a dot.
  EXPECT_TRUE(FitsWildcards("?.csv", "札.csv"));
  EXPECT_FALSE(FitsWildcards("*", ".res_s.qgrep-1"));
}

TEST(FileNames, OperandsFindFilesInNameOrder) {
  TempDir dir;
  dir.Write("KEN_ALL.CSV", "");
  dir.Write("JIGYOSYO.CSV", "");
  dir.Write("b.csv", "");
  std::filesystem::create_directories("dir.csv/Sub");
  dir.Write("dir.csv/Sub/x.csv", "");
  EXPECT_EQ(ExpandOperand("*.csv"), (Names{"b.csv", "JIGYOSYO.CSV", "KEN_ALL.CSV"}));
  EXPECT_EQ(ExpandOperand("Ken_all.csv"), Names{"KEN_ALL.CSV"});
  EXPECT_EQ(ExpandOperand("Jigyosyo.csv"), Names{"JIGYOSYO.CSV"});
  EXPECT_EQ(ExpandOperand("DIR.CSV\\sub/*"), Names{"dir.csv/Sub/x.csv"});
  // A directory is named only without wildcards (and then fails to read).
  EXPECT_EQ(ExpandOperand("dir.csv"), Names{"dir.csv"});
  EXPECT_EQ(ExpandOperand("*.txt"), Names{});
  EXPECT_EQ(ExpandOperand("missing.csv"), Names{});
}
