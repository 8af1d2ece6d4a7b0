#include "platform/dialog/qt/dialog_units.h"

#include <gtest/gtest.h>

#include <tuple>

#include <QFontInfo>

#include "tests/platform/dialog/qt/qt_script.h"

namespace {

using platform::dialog::Font;
using platform::dialog::Rect;
using platform::dialog::qt::BaseUnits;
using platform::dialog::qt::BaseUnitsOf;
using platform::dialog::qt::DialogFont;
using platform::dialog::qt::DluToPixels;
using platform::dialog::qt::DluToPixelsX;
using platform::dialog::qt::DluToPixelsY;

TEST(DialogUnits, ConvertWithRoundingToTheNearestPixel) {
  BaseUnits units{7, 17};
  EXPECT_EQ(DluToPixelsX(0, units), 0);
  EXPECT_EQ(DluToPixelsX(1, units), 2);      // 1.75
  EXPECT_EQ(DluToPixelsX(2, units), 4);      // 3.5 rounds up
  EXPECT_EQ(DluToPixelsX(4, units), 7);      // one average character
  EXPECT_EQ(DluToPixelsX(443, units), 775);  // 775.25
  EXPECT_EQ(DluToPixelsY(1, units), 2);      // 2.125
  EXPECT_EQ(DluToPixelsY(4, units), 9);      // 8.5 rounds up
  EXPECT_EQ(DluToPixelsY(8, units), 17);     // one character height
  EXPECT_EQ(DluToPixelsY(295, units), 627);  // 626.875
  EXPECT_EQ(DluToPixelsX(-2, units), -4);    // negative positions round away from zero too
}

TEST(DialogUnits, ARectangleScalesEachSideOnItsOwn) {
  BaseUnits units{6, 12};
  EXPECT_EQ(DluToPixels(Rect{298, 7, 50, 14}, units), QRect(447, 11, 75, 21));
}

TEST(DialogUnits, BaseUnitsFollowTheFontsPixelSizeNotTheStandInsLineHeight) {
  qt_test::TheQtBackend();  // the application and its font substitutes
  // 9 points at 96, 144 and 192 dots per inch; the stand-in face's line
  // is 17 pixels high at the first, but the cell is the original's.
  for (auto [pixels, x, y] : {std::tuple{12, 6, 13}, std::tuple{18, 9, 20}, std::tuple{24, 12, 26}}) {
    QFont font = DialogFont(Font{"ＭＳ Ｐゴシック", 9});
    font.setPixelSize(pixels);
    BaseUnits units = BaseUnitsOf(font);
    EXPECT_EQ(units.x, x) << pixels;
    EXPECT_EQ(units.y, y) << pixels;
  }
}

TEST(DialogFonts, JapaneseFacesTheHostLacksAreDrawnWithStandIns) {
  qt_test::TheQtBackend();  // the application and its font substitutes
  // The proportional gothic face with IPA P Gothic, whose half-width kana
  // read clearly at 9 points; the others with Noto Sans CJK JP.
  for (const char* face : {"ＭＳ Ｐゴシック", "MS PGothic"})
    EXPECT_EQ(QFontInfo(DialogFont(Font{face, 9})).family(), QStringLiteral("IPAPGothic")) << face;
  EXPECT_EQ(QFontInfo(DialogFont(Font{"ＭＳ ゴシック", 9})).family(), QStringLiteral("Noto Sans CJK JP"));
  // A face the host has stays itself.
  EXPECT_EQ(QFontInfo(DialogFont(Font{"DejaVu Sans", 9})).family(), QStringLiteral("DejaVu Sans"));
}

}  // namespace
