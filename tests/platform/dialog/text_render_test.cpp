#include "platform/dialog/headless/text_render.h"

#include <gtest/gtest.h>

#include <cstdlib>  // std::getenv
#include <fstream>
#include <sstream>
#include <string>

#include "tests/platform/dialog/script_fixture.h"

namespace demo {
namespace {

using namespace platform::dialog;

std::string GoldenPath(const std::string& name) {
  const char* top = std::getenv("YUBIN_SOURCE_DIR");
  return std::string(top != nullptr ? top : ".") + "/tests/platform/dialog/golden/" + name;
}

// The golden picture; with YUBIN_RENEW_GOLDEN set, `picture` replaces it
// first (after a deliberate change of the drawing, to be reviewed).
std::string Golden(const std::string& name, const std::string& picture) {
  if (std::getenv("YUBIN_RENEW_GOLDEN") != nullptr) std::ofstream(GoldenPath(name), std::ios::binary) << picture;
  std::ifstream in(GoldenPath(name), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

using TextRender = ScriptTest;

TEST_F(TextRender, TheDemoDialogMatchesItsGoldenPicture) {
  MainDialog d;
  d.letter = Sj("ｱ");
  d.result = Sj("060-0001\r\nｻｯﾎﾟﾛｼ");
  std::string picture;
  backend_.Choose(1140)
      .Type(kSearchEdit, Sj("札幌"))
      .Do([&] { picture = headless::RenderText(*backend_.Top()); })
      .Escape();
  d.DoModal();
  EXPECT_EQ(picture, Golden("demo_main.txt", picture)) << picture;
}

TEST_F(TextRender, OverlappingTextNeverLeavesHalfACharacter) {
  DialogTemplate t;
  t.id = 1;
  t.width = 40;
  t.height = 16;
  t.controls = {
      {10, ControlKind::kStatic, "漢字漢字", {0, 0, 40, 8}},
      // Starts on the second half of 字 and so clears its first half.
      {11, ControlKind::kStatic, "x", {12, 0, 4, 8}},
  };
  Dialog d(t);
  std::string picture;
  backend_.Do([&] { picture = headless::RenderText(*backend_.Top()); }).Escape();
  d.DoModal();
  // Row 1 holds the statics: 漢, the cleared half of 字, x, then 漢字.
  std::istringstream lines(picture);
  std::string first, second;
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_EQ(second, "|漢 x漢字  |");
}

TEST_F(TextRender, MultiLineButtonsWrapAndHiddenControlsAreLeftOut) {
  DialogTemplate t;
  t.id = 1;
  t.width = 40;
  t.height = 24;
  t.controls = {
      {10, ControlKind::kPushButton, "形式：町名", {0, 0, 24, 24}, kMultiLine},
      {11, ControlKind::kStatic, "secret", {28, 0, 12, 8}, kHidden},
  };
  Dialog d(t);
  std::string picture;
  backend_.Do([&] { picture = headless::RenderText(*backend_.Top()); }).Escape();
  d.DoModal();
  EXPECT_EQ(picture,
            "+----------+\n"
            "|[形式]    |\n"
            "|[：町]    |\n"
            "|[名  ]    |\n"
            "+----------+\n");
}

}  // namespace
}  // namespace demo
