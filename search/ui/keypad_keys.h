// The main dialog's key table: every keypad button that passes a byte, and
// that byte. The kana grid runs 1145 + 5 x column + row (column 0 the あ
// column, row 0 the a row); its blank buttons 1181, 1183, 1191 to 1193 and
// 1196 to 1199 pass nothing and are left out, so they stay unbound. The
// dialog hands the table to BindKeys and each byte to InputModel::EnterKey.
#pragma once

#include <vector>

#include "platform/dialog/dialog.h"  // KeyRow

namespace search::ui {

inline const std::vector<platform::dialog::KeyRow> kKeypadKeys = {
    {1145, "ｱ"}, {1146, "ｲ"}, {1147, "ｳ"}, {1148, "ｴ"}, {1149, "ｵ"},  // あいうえお
    {1150, "ｶ"}, {1151, "ｷ"}, {1152, "ｸ"}, {1153, "ｹ"}, {1154, "ｺ"},  // かきくけこ
    {1155, "ｻ"}, {1156, "ｼ"}, {1157, "ｽ"}, {1158, "ｾ"}, {1159, "ｿ"},  // さしすせそ
    {1160, "ﾀ"}, {1161, "ﾁ"}, {1162, "ﾂ"}, {1163, "ﾃ"}, {1164, "ﾄ"},  // たちつてと
    {1165, "ﾅ"}, {1166, "ﾆ"}, {1167, "ﾇ"}, {1168, "ﾈ"}, {1169, "ﾉ"},  // なにぬねの
    {1170, "ﾊ"}, {1171, "ﾋ"}, {1172, "ﾌ"}, {1173, "ﾍ"}, {1174, "ﾎ"},  // はひふへほ
    {1175, "ﾏ"}, {1176, "ﾐ"}, {1177, "ﾑ"}, {1178, "ﾒ"}, {1179, "ﾓ"},  // まみむめも
    {1180, "ﾔ"}, {1182, "ﾕ"}, {1184, "ﾖ"},                            // や ゆ よ
    {1185, "ﾗ"}, {1186, "ﾘ"}, {1187, "ﾙ"}, {1188, "ﾚ"}, {1189, "ﾛ"},  // らりるれろ
    {1190, "ﾜ"}, {1194, "ｦ"},                                         // わ を
    {1195, "ﾝ"},                                                      // ん
    {1200, "-"},                                                      // "－", a twelfth column
    {1201, "ﾞ"},                                                      // "゛", the voiced mark 0xDE
    {1202, "ﾟ"},                                                      // "ﾟ", the semi-voiced mark 0xDF
    {1203, " "},                                                      // "空白"
    {1205, "1"}, {1206, "2"}, {1207, "3"}, {1208, "4"}, {1209, "5"}, {1210, "6"},
    {1211, "7"}, {1212, "8"}, {1213, "9"}, {1214, "0"}, {1216, "+"},  // "＋"
    {1217, "-"},                                                      // "－" of the digit group
};

}  // namespace search::ui
