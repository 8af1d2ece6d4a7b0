// The data the search application ships beside its code: the keypad's key
// table and the help file.
#include <gtest/gtest.h>

#include <cstdlib>  // std::getenv
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/text/cp932.h"
#include "search/ui/keypad_keys.h"

namespace search::ui {
namespace {

TEST(KeypadKeys, EveryKeyPassesItsOneByte) {
  std::set<int> ids;
  std::vector<unsigned char> kana;
  std::vector<std::pair<int, char>> others;
  for (const platform::dialog::KeyRow& key : kKeypadKeys) {
    EXPECT_TRUE(ids.insert(key.id).second) << key.id << " comes twice";
    std::string byte = platform::text::Cp932(key.passes);
    ASSERT_EQ(byte.size(), 1u) << key.id;
    if (key.id < 1200)
      kana.push_back(static_cast<unsigned char>(byte[0]));
    else
      others.emplace_back(key.id, byte[0]);
  }
  // Column by column the grid holds ｱ (0xB1) to ﾜ (0xDC) in code order,
  // then ｦ (0xA6) and ﾝ (0xDD); the nine blank buttons are not keys.
  std::vector<unsigned char> expected;
  for (unsigned char b = 0xB1; b <= 0xDC; ++b) expected.push_back(b);
  expected.push_back(0xA6);
  expected.push_back(0xDD);
  EXPECT_EQ(kana, expected);
  for (int blank : {1181, 1183, 1191, 1192, 1193, 1196, 1197, 1198, 1199}) EXPECT_EQ(ids.count(blank), 0u) << blank;
  EXPECT_EQ(others, (std::vector<std::pair<int, char>>{{1200, '-'},
                                                       {1201, '\xDE'},
                                                       {1202, '\xDF'},
                                                       {1203, ' '},
                                                       {1205, '1'},
                                                       {1206, '2'},
                                                       {1207, '3'},
                                                       {1208, '4'},
                                                       {1209, '5'},
                                                       {1210, '6'},
                                                       {1211, '7'},
                                                       {1212, '8'},
                                                       {1213, '9'},
                                                       {1214, '0'},
                                                       {1216, '+'},
                                                       {1217, '-'}}));
}

TEST(HelpFile, IsHtmlTheViewerShowsAndItsContentsLinksLead) {
  const char* top = std::getenv("YUBIN_SOURCE_DIR");
  ASSERT_NE(top, nullptr);
  std::ifstream in(std::string(top) + "/search/ui/help/郵便番号検索ヘルプ.hlp", std::ios::binary);
  ASSERT_TRUE(in) << "the help file ships in search/ui/help";
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The viewer reads UTF-8 and renders a text that starts with "<" as HTML.
  EXPECT_TRUE(platform::text::ToCp932Strict(text).has_value()) << "UTF-8 throughout";
  EXPECT_TRUE(text.starts_with("<html>"));
  std::set<std::string> anchors;
  const std::regex name("<a name=\"([^\"]+)\">");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), name); it != std::sregex_iterator(); ++it)
    anchors.insert((*it)[1]);
  const std::regex link("<a href=\"#([^\"]+)\">");
  int links = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), link); it != std::sregex_iterator(); ++it, ++links)
    EXPECT_EQ(anchors.count((*it)[1]), 1u) << (*it)[1];
  EXPECT_GT(links, 0);
}

}  // namespace
}  // namespace search::ui
