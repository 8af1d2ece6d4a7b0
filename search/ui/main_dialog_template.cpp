// Menu 129 and dialog 102, the main dialog. Rectangles are dialog units of
// the 9-point face: a full-width character is 8 units across and a line 8
// units down, so a caption of n characters needs 8n units plus the
// control's own margins. The window reads, top to bottom:
//
//   instructions along the top, the note on learning at the top right
//   left: the mode selectors, the four one-letter groups (2 x 2), the
//         right-hand group beside them; below them the result box
//   right: the kana keypad, skip / back / minus one character, the digit
//          group and the clear button, then search start, final
//          narrowing, next page, exit and the status line
#include "search/ui/templates.h"

#include "search/ui/resource.h"

namespace search::ui {
namespace {

using namespace platform::dialog;

constexpr unsigned kKey = kTabStop;
constexpr unsigned kLetterEdit = kReadOnly | kBorder | kTabStop;
constexpr unsigned kSelector = kAuto;

// A key of the kana grid: every one is 12 x 13 units, placed at x, y.
constexpr ControlTemplate Key(int id, std::string_view caption, int x, int y) {
  return PushButton(id, caption, {x, y, 12, 13}, kKey);
}

}  // namespace

const MenuTemplate kMainMenuTemplate = {kMainMenu,
                                        {
                                            {kHelpCommand, "ヘルプ"},
                                            {kSettingsCommand, "初期設定画面"},
                                            {kRegexSearchCommand, "正規表現で検索"},
                                            {kAddressSearchCommand, "住所から検索"},
                                        }};

const DialogTemplate kMainDialogTemplate = {
    .id = kMainDialog,
    .caption =
        "Tolvane 郵便番号検索ソフト  (C) 1998 yubin プロジェクト  "
        "配布は自由です。有償での配布、請負での配布は禁止します。",
    .width = 443,
    .height = 295,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu | kTaskBar,
    .menu = &kMainMenuTemplate,
    .controls = {
        // Instructions along the top. Their widths make the lines break
        // after a clause: the second one after "表示されます。", the note
        // after "学習機能は".
        Label("該当する・都道府県・区・市名・大まかな町名・詳しい町名を指定して下さい。", {5, 3, 290, 8}),
        Label("検索ボタンを押すと、該当郵便番号もしくは、その候補が表示されます。"
              "候補の時には、さらに指定が必要です。",
              {5, 12, 268, 16}),
        Label("このバージョンでは、学習機能はありません。", {311, 3, 127, 16}),

        // Which side of the query the keypad writes.
        Radio(kLeftModeRadio, "左項目入力", {5, 31, 60, 10}, kSelector | kGroup | kTabStop),
        Radio(kRightModeRadio, "右項目入力ー＞＞", {111, 31, 80, 10}, kSelector),

        // The left-hand letters: prefecture and city above, ward and rough
        // town below. Each group: its selector, label and edit on one row,
        // a note below where the letter applies only sometimes. The four
        // selectors are one radio group.
        GroupBox("都道府県 名", {5, 43, 92, 43}),
        Radio(kPrefectureSelector, "", {11, 58, 10, 10}, kSelector | kGroup | kTabStop),
        Label("１文字目", {23, 59, 34, 8}),
        Edit(kPrefectureLetterEdit, {59, 56, 22, 14}, kLetterEdit),
        GroupBox("市・郡 名（東京都区）", {99, 43, 92, 43}),
        Radio(kCitySelector, "", {105, 58, 10, 10}, kSelector),
        Label("１文字目", {117, 59, 34, 8}),
        Edit(kCityLetterEdit, {153, 56, 22, 14}, kLetterEdit),
        GroupBox("区 名（東京都を除く）", {5, 88, 92, 43}),
        Radio(kWardSelector, "", {11, 103, 10, 10}, kSelector),
        Label("１文字目", {23, 104, 34, 8}),
        Edit(kWardLetterEdit, {59, 101, 22, 14}, kLetterEdit),
        Label("＜郡でない時だけ＞", {11, 119, 80, 8}),
        GroupBox("大まかな町名", {99, 88, 92, 43}),
        Radio(kRoughTownSelector, "", {105, 103, 10, 10}, kSelector),
        Label("１文字目", {117, 104, 34, 8}),
        Edit(kRoughTownLetterEdit, {153, 101, 22, 14}, kLetterEdit),
        Label("＜郡 の 時 だけ＞", {105, 119, 80, 8}),

        // The right-hand group: the detailed town's two letters and the
        // narrowing string, with their selectors as one radio group.
        GroupBox("詳しい町名、姫路区", {194, 43, 84, 88}),
        Radio(kDetailFirstSelector, "", {200, 58, 10, 10}, kSelector | kGroup | kTabStop),
        Label("１文字目", {212, 59, 34, 8}),
        Edit(kDetailFirstLetterEdit, {248, 56, 22, 14}, kLetterEdit),
        Radio(kDetailSecondSelector, "", {200, 76, 10, 10}, kSelector),
        Label("２文字目", {212, 77, 34, 8}),
        Edit(kDetailSecondLetterEdit, {248, 74, 22, 14}, kLetterEdit),
        Label("結果から、以下の文字列を探し表示する", {200, 91, 74, 16}),
        Radio(kNarrowingSelector, "", {200, 113, 10, 10}, kSelector),
        Edit(kNarrowingEdit, {212, 108, 62, 20}, kMultiLine | kReadOnly | kBorder | kVScrollBar | kTabStop),

        // The kana keypad reads as the table of the fifty sounds is
        // written: in columns from the right, あ first, each column a to o
        // downwards; the twelfth column, at the left end, holds the long
        // vowel mark, the two voicing marks and the blank key, two rows
        // tall. The group mark ends the right-hand selectors' radio group.
        GroupBox("５０音選択", {282, 29, 156, 80}, kGroup),
        Key(1145, "あ", 420, 40),
        Key(1146, "い", 420, 53),
        Key(1147, "う", 420, 66),
        Key(1148, "え", 420, 79),
        Key(1149, "お", 420, 92),
        Key(1150, "か", 408, 40),
        Key(1151, "き", 408, 53),
        Key(1152, "く", 408, 66),
        Key(1153, "け", 408, 79),
        Key(1154, "こ", 408, 92),
        Key(1155, "さ", 396, 40),
        Key(1156, "し", 396, 53),
        Key(1157, "す", 396, 66),
        Key(1158, "せ", 396, 79),
        Key(1159, "そ", 396, 92),
        Key(1160, "た", 384, 40),
        Key(1161, "ち", 384, 53),
        Key(1162, "つ", 384, 66),
        Key(1163, "て", 384, 79),
        Key(1164, "と", 384, 92),
        Key(1165, "な", 372, 40),
        Key(1166, "に", 372, 53),
        Key(1167, "ぬ", 372, 66),
        Key(1168, "ね", 372, 79),
        Key(1169, "の", 372, 92),
        Key(1170, "は", 360, 40),
        Key(1171, "ひ", 360, 53),
        Key(1172, "ふ", 360, 66),
        Key(1173, "へ", 360, 79),
        Key(1174, "ほ", 360, 92),
        Key(1175, "ま", 348, 40),
        Key(1176, "み", 348, 53),
        Key(1177, "む", 348, 66),
        Key(1178, "め", 348, 79),
        Key(1179, "も", 348, 92),
        Key(1180, "や", 336, 40),
        Key(1181, "", 336, 53),
        Key(1182, "ゆ", 336, 66),
        Key(1183, "", 336, 79),
        Key(1184, "よ", 336, 92),
        Key(1185, "ら", 324, 40),
        Key(1186, "り", 324, 53),
        Key(1187, "る", 324, 66),
        Key(1188, "れ", 324, 79),
        Key(1189, "ろ", 324, 92),
        Key(1190, "わ", 312, 40),
        Key(1191, "", 312, 53),
        Key(1192, "", 312, 66),
        Key(1193, "", 312, 79),
        Key(1194, "を", 312, 92),
        Key(1195, "ん", 300, 40),
        Key(1196, "", 300, 53),
        Key(1197, "", 300, 66),
        Key(1198, "", 300, 79),
        Key(1199, "", 300, 92),
        Key(1200, "－", 288, 40),
        Key(1201, "゛", 288, 53),
        Key(1202, "ﾟ", 288, 66),
        PushButton(1203, "空白", {288, 79, 12, 26}, kKey | kMultiLine),

        PushButton(kSkipButton, "スキップ", {282, 112, 42, 14}, kTabStop),
        PushButton(kBackButton, "前入力へ", {327, 112, 42, 14}, kTabStop),
        PushButton(kDeleteLastCharacterButton, "文字列ー１文字", {372, 112, 66, 14}, kTabStop),

        // The digits and signs, in two rows of six.
        GroupBox("数字", {282, 128, 90, 39}),
        PushButton(1205, "１", {288, 139, 13, 12}, kKey),
        PushButton(1206, "２", {301, 139, 13, 12}, kKey),
        PushButton(1207, "３", {314, 139, 13, 12}, kKey),
        PushButton(1208, "４", {327, 139, 13, 12}, kKey),
        PushButton(1209, "５", {340, 139, 13, 12}, kKey),
        PushButton(1210, "６", {353, 139, 13, 12}, kKey),
        PushButton(1211, "７", {288, 151, 13, 12}, kKey),
        PushButton(1212, "８", {301, 151, 13, 12}, kKey),
        PushButton(1213, "９", {314, 151, 13, 12}, kKey),
        PushButton(1214, "０", {327, 151, 13, 12}, kKey),
        PushButton(1216, "＋", {340, 151, 13, 12}, kKey),
        PushButton(1217, "－", {353, 151, 13, 12}, kKey),
        // Six characters a line, so that the caption breaks after "の".
        PushButton(kClearSelectionButton, "選択ボタンのクリア", {379, 131, 59, 36}, kTabStop | kMultiLine),

        // The result: one page, two lines a record, the code in the middle
        // of the first; right-aligned, so a long first line shows its end.
        Edit(kResultEdit, {5, 135, 273, 155},
             kMultiLine | kReadOnly | kRightAlign | kHScrollBar | kVScrollBar | kBorder | kTabStop),

        PushButton(kSearchButton, "検索開始", {282, 171, 76, 28}, kTabStop),
        PushButton(kFinalNarrowingButton, "最終絞り込みのみ", {362, 171, 76, 28}, kTabStop),
        PushButton(kNextPageButton, "次のページへ", {282, 203, 90, 20}, kTabStop),
        PushButton(kIdOk, "終了", {376, 203, 62, 20}, kDefault | kTabStop),
        // The status line: a large button without a caption of its own.
        PushButton(kStatusButton, "", {282, 227, 156, 63}),
    }};

}  // namespace search::ui
