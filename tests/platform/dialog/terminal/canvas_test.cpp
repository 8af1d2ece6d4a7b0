// Texts on the terminal's grid of cells: a full-width character takes two
// cells, a text that does not fit is cut at a character boundary and ends
// in the cut mark, and the grid never holds half a character.
#include "platform/dialog/terminal/canvas.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "platform/text/cp932.h"

namespace platform::dialog::terminal {
namespace {

std::string Sj(const char* utf8) { return text::Cp932(utf8); }

class CanvasText : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }
  Canvas canvas_{1, 12};
};

TEST_F(CanvasText, ATextThatDoesNotFitIsCutBetweenCharactersWithTheMark) {
  // 東京都千代田区: seven full-width characters, 14 cells, in 6: two
  // characters, the mark, and a blank where a third would not fit whole.
  EXPECT_EQ(canvas_.Text(0, 0, Sj("東京都千代田区"), Ink::kPlain, 6), 5);
  EXPECT_EQ(canvas_.Lines(), (std::vector<std::string>{"東京…"}));
  // Half-width letters fill every cell; one that fits takes no mark.
  canvas_.Clear();
  EXPECT_EQ(canvas_.Text(0, 0, Sj("ｻﾂﾎﾟﾛ"), Ink::kPlain, 5), 5);
  EXPECT_EQ(canvas_.Lines(), (std::vector<std::string>{"ｻﾂﾎﾟﾛ"}));
}

TEST_F(CanvasText, ATextEndingInHalfACharacterEndsBeforeIt) {
  std::string cut = Sj("郵便番号");
  cut.pop_back();  // the second byte of 号
  canvas_.Text(0, 0, cut, Ink::kPlain, 12);
  EXPECT_EQ(canvas_.Lines(), (std::vector<std::string>{"郵便番"}));
}

TEST_F(CanvasText, DrawingOverHalfAFullWidthCharacterClearsTheOtherHalf) {
  canvas_.Text(0, 0, Sj("検索開始"), Ink::kPlain, 8);
  canvas_.Put(0, 3, U'x', 1, Ink::kPlain);  // the second half of 索
  EXPECT_EQ(canvas_.Lines(), (std::vector<std::string>{"検 x開始"}));
  // A full-width character that would stand half outside the clip is not
  // drawn.
  canvas_.SetView({0, 0, 1, 9}, 0, 0);
  EXPECT_FALSE(canvas_.Put(0, 8, U'終', 2, Ink::kPlain));
}

}  // namespace
}  // namespace platform::dialog::terminal
