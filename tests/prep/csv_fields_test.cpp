#include "prep/import/csv_fields.h"

#include <gtest/gtest.h>

using prep::import::SplitCsvFields;

namespace {

std::vector<std::string> Split(std::string_view line) {
  std::vector<std::string> fields;
  std::string error;
  EXPECT_TRUE(SplitCsvFields(line, fields, error)) << error;
  return fields;
}

std::string ErrorOf(std::string_view line) {
  std::vector<std::string> fields;
  std::string error;
  EXPECT_FALSE(SplitCsvFields(line, fields, error));
  return error;
}

}  // namespace

TEST(SplitCsvFields, TakesQuotesOffAndKeepsTheRest) {
  EXPECT_EQ(Split("01101,\"060  \",\"0600000\",0"), (std::vector<std::string>{"01101", "060  ", "0600000", "0"}));
  EXPECT_EQ(Split(",\"\","), (std::vector<std::string>{"", "", ""}));
  EXPECT_EQ(Split("\"a\"\"b\""), (std::vector<std::string>{"a\"b"}));
  EXPECT_EQ(Split(""), (std::vector<std::string>{""}));
}

TEST(SplitCsvFields, BrokenQuotingNamesTheField) {
  EXPECT_EQ(ErrorOf("a,\"open"), "field 2 has no closing quote");
  EXPECT_EQ(ErrorOf("\"a\"b,c"), "field 1 goes on after its closing quote");
  EXPECT_EQ(ErrorOf("a,b\"c"), "field 2 holds a stray quote");
}

TEST(SplitCsvFields, CommaInsideAFieldIsRefused) {
  EXPECT_EQ(ErrorOf("1,\"a,b\""), "field 2 holds a comma, which the master file cannot store");
}
