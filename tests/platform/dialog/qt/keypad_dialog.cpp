#include "tests/platform/dialog/qt/keypad_dialog.h"

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/dialog/resources.h"
#include "platform/dialog/template_registry.h"
#include "platform/text/cp932.h"

namespace keypad {

using namespace platform::dialog;

namespace {

// Resources:
//   menu 129     three commands on the bar
//   dialog 102   the keypad dialog (built once, below)

const MenuTemplate kMenu = {129,
                            {
                                {kHelpCommand, "ヘルプ"},
                                {kSettingsCommand, "初期設定画面"},
                                {kRegexCommand, "正規表現で検索"},
                            }};

// The kana grid: eleven columns of five rows, あ column first; an empty
// caption is a blank key.
const char* const kKana[11][5] = {
    {"あ", "い", "う", "え", "お"}, {"か", "き", "く", "け", "こ"}, {"さ", "し", "す", "せ", "そ"},
    {"た", "ち", "つ", "て", "と"}, {"な", "に", "ぬ", "ね", "の"}, {"は", "ひ", "ふ", "へ", "ほ"},
    {"ま", "み", "む", "め", "も"}, {"や", "", "ゆ", "", "よ"},     {"ら", "り", "る", "れ", "ろ"},
    {"わ", "", "", "", "を"},       {"ん", "", "", "", ""},
};
const char* const kDigits[12] = {"１", "２", "３", "４", "５", "６", "７", "８", "９", "０", "＋", "－"};
const int kDigitIds[12] = {1205, 1206, 1207, 1208, 1209, 1210, 1211, 1212, 1213, 1214, 1216, 1217};

constexpr unsigned kKey = kTabStop;
constexpr unsigned kField = kReadOnly | kBorder | kTabStop;

// One group of a single query letter: frame, selector, label and edit.
void LetterGroup(std::vector<ControlTemplate>& c, const char* title, int x, int y, int selector, int edit,
                 bool startsGroup, const char* note) {
  c.push_back(GroupBox(title, {x, y, 84, 58}));
  c.push_back(Radio(selector, "", {x + 6, y + 13, 10, 10}, kAuto | (startsGroup ? kGroup | kTabStop : 0u)));
  c.push_back(Label("１文字目", {x + 18, y + 14, 40, 8}));
  c.push_back(Edit(edit, {x + 18, y + 26, 22, 14}, kField));
  if (note != nullptr) c.push_back(Label(note, {x + 6, y + 44, 74, 8}));
}

DialogTemplate Build() {
  std::vector<ControlTemplate> c;
  c.push_back(Label("該当する・都道府県・区・市名・大まかな町名・詳しい町名を指定して下さい。", {7, 4, 316, 8}));
  c.push_back(
      Label("検索ボタンを押すと、該当郵便番号もしくは、その候補が表示されます。候補の時には、"
            "さらに指定が必要です。",
            {7, 13, 316, 16}));
  c.push_back(Label("このバージョンでは、学習機能はありません。", {330, 4, 106, 16}));
  c.push_back(Radio(1219, "左項目入力", {7, 32, 70, 10}, kAuto | kGroup | kTabStop));
  c.push_back(Radio(1220, "右項目入力ー＞＞", {160, 32, 92, 10}, kAuto));

  LetterGroup(c, "都道府県 名", 7, 44, 1138, 1057, true, nullptr);
  LetterGroup(c, "市・郡 名", 95, 44, 1139, 1058, false, "（東京都区）");
  LetterGroup(c, "区 名", 7, 106, 1140, 1059, false, "＜郡でない時だけ＞");
  LetterGroup(c, "大まかな町名", 95, 106, 1141, 1060, false, "＜郡 の 時 だけ＞");

  c.push_back(GroupBox("詳しい町名", {186, 44, 68, 120}));
  c.push_back(Radio(1132, "", {192, 57, 10, 10}, kAuto | kGroup | kTabStop));
  c.push_back(Label("１文字目", {204, 58, 40, 8}));
  c.push_back(Edit(1053, {204, 70, 22, 14}, kField));
  c.push_back(Radio(1135, "", {192, 90, 10, 10}, kAuto));
  c.push_back(Label("２文字目", {204, 91, 40, 8}));
  c.push_back(Edit(1054, {204, 103, 22, 14}, kField));
  c.push_back(Radio(1136, "", {192, 122, 10, 10}, kAuto));
  c.push_back(Label("絞り込み", {204, 122, 44, 10}));
  c.push_back(Edit(1223, {192, 134, 56, 24}, kMultiLine | kReadOnly | kBorder | kVScrollBar | kTabStop));

  // The keypad: あ at the right, as a table of the kana reads; the twelfth
  // column at the left holds the long vowel mark, the two voicing marks and
  // the blank key, two rows tall.
  c.push_back(GroupBox("５０音選択", {258, 28, 178, 86}));
  for (int column = 0; column < 11; ++column)
    for (int row = 0; row < 5; ++row)
      c.push_back(PushButton(kFirstKana + 5 * column + row, kKana[column][row],
                             {417 - 14 * column, 39 + 14 * row, 14, 14}, kKey));
  c.push_back(PushButton(1200, "－", {263, 39, 14, 14}, kKey));
  c.push_back(PushButton(1201, "゛", {263, 53, 14, 14}, kKey));
  c.push_back(PushButton(1202, "ﾟ", {263, 67, 14, 14}, kKey));
  c.push_back(PushButton(1203, "空白", {263, 81, 14, 28}, kKey | kMultiLine));

  c.push_back(PushButton(1224, "スキップ", {258, 117, 56, 14}, kKey));
  c.push_back(PushButton(1225, "前入力へ", {318, 117, 56, 14}, kKey));
  c.push_back(PushButton(1226, "文字列ー１文字", {378, 117, 58, 14}, kKey));

  c.push_back(GroupBox("数字", {258, 134, 120, 46}));
  for (int i = 0; i < 12; ++i)
    c.push_back(PushButton(kDigitIds[i], kDigits[i], {263 + 18 * (i % 6), 145 + 16 * (i / 6), 18, 14}, kKey));
  c.push_back(PushButton(1128, "選択ボタンのクリア", {382, 138, 54, 42}, kKey | kMultiLine));

  c.push_back(Edit(kResultEdit, {7, 170, 245, 118},
                   kMultiLine | kReadOnly | kRightAlign | kHScrollBar | kVScrollBar | kBorder | kTabStop));
  c.push_back(PushButton(kSearchButton, "検索開始", {258, 188, 86, 22}, kKey));
  c.push_back(PushButton(1046, "最終絞り込みのみ", {350, 188, 86, 22}, kKey));
  c.push_back(PushButton(1230, "これだけです。", {258, 214, 86, 22}, kKey));
  c.push_back(PushButton(kIdOk, "終了", {350, 214, 86, 22}, kKey | kDefault));
  c.push_back(PushButton(kStatusButton, "＊ 検索終了 ＊", {258, 240, 178, 48}, kKey));

  return DialogTemplate{
      .id = kKeypadDialogId,
      .caption = "郵便番号検索",
      .width = 443,
      .height = 295,
      .font = {"ＭＳ Ｐゴシック", 9},
      .style = kCaption | kSystemMenu | kTaskBar,
      .menu = &kMenu,
      .controls = std::move(c),
  };
}

}  // namespace

const DialogTemplate& KeypadTemplate() {
  static const DialogTemplate tmpl = Build();
  return tmpl;
}

namespace {
const TemplateRegistration kTemplates("keypad dialog", {&KeypadTemplate()});
}  // namespace

void RegisterKeypadIcon() {
  // A postbox red square with a white bar, in the two sizes.
  IconResource icon;
  icon.id = kIconId;
  for (int size : {32, 16}) {
    IconImage image;
    image.size = size;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
        bool bar = y >= size / 4 && y < size / 4 + size / 8 && x >= size / 4 && x < size - size / 4;
        image.argb.push_back(edge ? 0xFF801010u : bar ? 0xFFFFFFFFu : 0xFFD02020u);
      }
    icon.images.push_back(image);
  }
  RegisterIcon(icon);
}

KeypadDialog::KeypadDialog() : Dialog(KeypadTemplate()) {}

bool KeypadDialog::OnInitDialog() {
  Dialog::OnInitDialog();
  AppendSystemMenuSeparator();
  AppendSystemMenuItem(kAboutSysCommand, platform::text::Cp932("ﾊﾞｰｼﾞｮﾝ情報(見本) (&A)..."));
  SetIcon(LoadIcon(kIconId), true);
  SetIcon(LoadIcon(kIconId), false);
  CheckRadio(1219);
  CheckRadio(1138);
  CheckRadio(1132);
  return true;
}

}  // namespace keypad
