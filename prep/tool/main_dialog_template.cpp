// Dialog 102, the main dialog: the operation buttons, the drive group with
// its field, OK and ｷｬﾝｾﾙ.
#include "prep/tool/templates.h"

#include "prep/tool/resource.h"

namespace prep::tool {

using namespace platform::dialog;

// The operation buttons wrap their texts over several lines. Only 1006, OK
// and ｷｬﾝｾﾙ are enabled; nothing in the tool enables the rest.
const DialogTemplate kPrepToolDialog = {
    .id = kPrepToolDialogId,
    .caption = "Kestrum：このソフトは郵政省とは一切関係ありません。何が起きても、すべて自己責任でお使いください。",
    .width = 355,
    .height = 203,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu | kTaskBar,
    .controls = {
        PushButton(kIdOk, "OK", {298, 7, 50, 14}, kDefault | kTabStop),
        PushButton(kIdCancel, "ｷｬﾝｾﾙ", {298, 23, 50, 14}, kTabStop),
        PushButton(kSplitByPrefectureButton, "ファイル分割開始（県別）", {225, 27, 57, 60},
                   kMultiLine | kDisabled | kTabStop),
        PushButton(kTownIndexButton, "町名インデックス作成（詳しい町名と郵便番号", {165, 101, 48, 87},
                   kMultiLine | kDisabled | kTabStop),
        PushButton(kPrefectureCityIndexButton, "都道府県名と市・郡・区索引", {31, 102, 110, 85},
                   kMultiLine | kDisabled | kTabStop),
        PushButton(kKanaTownIndexButton, "（あーん）町名インデックス作成", {30, 27, 48, 60},
                   kMultiLine | kDisabled | kTabStop),
        PushButton(kTwoLetterTownButton, "（あーん）町名 ２文字", {93, 28, 48, 60}, kMultiLine | kDisabled | kTabStop),
        PushButton(kCityAndTownLettersButton, "市名１文字と（あーん）町名 ２文字", {164, 27, 48, 60},
                   kMultiLine | kDisabled | kTabStop),
        PushButton(kBuildIndexButton, "形式：詳しい町名ー県ー番号ー市名ー漢字町名", {219, 99, 126, 21},
                   kMultiLine | kTabStop),
        Edit(kDriveEdit, {222, 173, 117, 14}, kBorder | kAutoHScroll | kDisabled | kTabStop),
        GroupBox("ドライブ位置：必ずZip_Codeディレクトリー", {216, 123, 132, 67}, kDisabled),
        Label("例：   C  （あらかじめデーターを格納したディレクトリー作成の事", {223, 145, 116, 18}, kDisabled),
        Label("著作権者：yubin プロジェクト", {32, 9, 141, 12}),
    }};

}  // namespace prep::tool
