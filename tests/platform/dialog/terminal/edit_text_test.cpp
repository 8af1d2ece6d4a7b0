// The terminal's edit text and help text: what the user's keys do to a text
// of two-byte characters, and how a help file is laid out in cells.
#include "platform/dialog/terminal/edit_text.h"

#include <gtest/gtest.h>

#include <algorithm>  // std::any_of
#include <clocale>    // std::setlocale
#include <string>
#include <vector>

#include "platform/dialog/terminal/help_text.h"
#include "platform/text/cp932.h"
#include "platform/text/utf8.h"

namespace platform::dialog::terminal {
namespace {

using text::Cp932;

// Widths as the terminal backend sees them, under a UTF-8 character type.
class TerminalText : public ::testing::Test {
 protected:
  void SetUp() override { std::setlocale(LC_CTYPE, "C.UTF-8"); }
};

// "aｻ旭" in CP932: a (1 byte), ｻ (1 byte, U+FF7B), 旭 (2 bytes, 0x88 0xAE).
TEST_F(TerminalText, TheCaretStepsOverWholeCharactersAndLineEnds) {
  EditText edit(EditText::Shape{.multiLine = true});
  edit.SetText(Cp932("aｻ旭\r\n界"));
  edit.SetView(3, 20);
  std::vector<std::size_t> stops;
  for (int i = 0; i < 6; ++i) {
    stops.push_back(edit.Caret());
    edit.MoveRight();
  }
  // a | ｻ | 旭 (two bytes) | CR LF as one step | 界 (two bytes) | end
  EXPECT_EQ(stops, (std::vector<std::size_t>{0, 1, 2, 4, 6, 8}));
  edit.MoveLeft();
  EXPECT_EQ(edit.Caret(), 6u);
  EXPECT_TRUE(edit.Backspace());  // the line end goes whole
  EXPECT_EQ(edit.Text(), Cp932("aｻ旭界"));
  EXPECT_TRUE(edit.Backspace());  // and 旭 with both its bytes
  EXPECT_EQ(edit.Text(), Cp932("aｻ界"));
}

TEST_F(TerminalText, TheLimitCountsCp932BytesAndRefusesACharacterWhole) {
  EditText edit;
  edit.SetLimit(3);
  edit.SetView(1, 10);
  EXPECT_TRUE(edit.Type(Cp932("ｻ")));    // 1 byte
  EXPECT_TRUE(edit.Type(Cp932("旭")));   // 3 bytes in all
  EXPECT_FALSE(edit.Type(Cp932("旭")));  // would be 5: refused, not cut in half
  EXPECT_FALSE(edit.Type("a"));
  EXPECT_EQ(edit.Text(), Cp932("ｻ旭"));
  // A half-width letter takes one cell, a kanji two.
  EXPECT_EQ(edit.CaretCol(), 3);
}

TEST_F(TerminalText, HelpHtmlBecomesBlocksAndWrapsByCellsNotBytes) {
  std::vector<HelpBlock> blocks = HelpBlocks("<h1>検索</h1><p>ｱｲｳｴｵ 郵便番号&amp;住所</p><ul><li>一つ目</li></ul>");
  std::vector<HelpBlock::Kind> kinds;
  std::string paragraph;
  for (const HelpBlock& block : blocks) {
    if (block.kind == HelpBlock::Kind::kBlank) continue;
    kinds.push_back(block.kind);
    if (block.kind == HelpBlock::Kind::kText) paragraph = block.text;
  }
  EXPECT_EQ(kinds,
            (std::vector<HelpBlock::Kind>{HelpBlock::Kind::kHeading, HelpBlock::Kind::kText, HelpBlock::Kind::kItem}));
  EXPECT_EQ(paragraph, "ｱｲｳｴｵ 郵便番号&住所");
  // Ten cells a line: five half-width kana fill five (fifteen bytes) and
  // stay on one line, each kanji takes two.
  std::vector<HelpLine> lines = LayOutHelp(blocks, 10);
  EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                          [](const HelpLine& line) { return line.text.find("ｱｲｳｴｵ") != std::string::npos; }));
  for (const HelpLine& line : lines) {
    int cells = 0;
    for (std::size_t i = 0; i < line.text.size();) {
      text::Decoded c = text::DecodeUtf8At(line.text, i);
      cells += c.code < 0x80 || (c.code >= 0xFF61 && c.code <= 0xFF9F) ? 1 : 2;
      i += c.length;
    }
    EXPECT_LE(cells, 10) << line.text;
  }
}

}  // namespace
}  // namespace platform::dialog::terminal
