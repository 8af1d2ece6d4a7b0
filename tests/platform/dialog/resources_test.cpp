#include "platform/dialog/resources.h"

#include <gtest/gtest.h>

#include "platform/text/cp932.h"

namespace platform::dialog {
namespace {

TEST(Resources, StringsLoadAsCp932AndUnknownOnesAreEmpty) {
  RegisterStrings({{101, "ﾊﾞｰｼﾞｮﾝ情報(Tolvane) (&A)..."}, {103, "old"}});
  RegisterStrings({{103, "ｿｹｯﾄの初期化に失敗しました。"}});
  EXPECT_EQ(LoadString(101), text::Cp932("ﾊﾞｰｼﾞｮﾝ情報(Tolvane) (&A)..."));
  EXPECT_EQ(LoadString(103), text::Cp932("ｿｹｯﾄの初期化に失敗しました。"));  // replaced
  EXPECT_EQ(LoadString(999), "");
}

TEST(Resources, IconsAreFoundByIdOnlyWhenRegistered) {
  // An ID no other test of the program registers: the table is the process's.
  EXPECT_EQ(LoadIcon(3128), 0);
  RegisterIcon({3128, {{16, std::vector<std::uint32_t>(16 * 16, 0xFF0000FFu)}}});
  EXPECT_EQ(LoadIcon(3128), 3128);
  ASSERT_NE(FindIcon(3128), nullptr);
  EXPECT_EQ(FindIcon(3128)->images.at(0).size, 16);
  EXPECT_EQ(FindIcon(3129), nullptr);
}

TEST(Resources, AnIconDrawnAsRowsTakesItsPaletteRowByRow) {
  IconImage image = IconFromRows({"r.k", "kr", "..r"}, {{'r', 0xFFD02020u}, {'k', 0xFF404040u}});
  ASSERT_EQ(image.size, 3);
  // Unknown keys and the pixel a short row leaves out are transparent.
  EXPECT_EQ(image.argb, (std::vector<std::uint32_t>{0xFFD02020u, 0, 0xFF404040u,  //
                                                    0xFF404040u, 0xFFD02020u, 0,  //
                                                    0, 0, 0xFFD02020u}));
}

}  // namespace
}  // namespace platform::dialog
