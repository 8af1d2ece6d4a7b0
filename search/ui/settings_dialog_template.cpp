// Dialog 130, the settings dialog: the data directory's full path, and
// options that are present but disabled or hidden.
#include "search/ui/templates.h"

#include "search/ui/resource.h"

namespace search::ui {

using namespace platform::dialog;

const DialogTemplate kSettingsDialogTemplate = {
    .id = kSettingsDialog,
    .caption = "郵便番号検索：ディレクトリー指定：(C) 1998 yubin プロジェクト",
    .width = 315,
    .height = 111,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kCentreMouse,
    .controls = {
        PushButton(kIdOk, "OK", {258, 7, 50, 14}, kDefault | kTabStop),
        PushButton(kIdCancel, "ｷｬﾝｾﾙ", {258, 24, 50, 14}, kTabStop),
        Label("データーファイルのフルパス", {7, 7, 150, 8}),
        // The path and its NUL fill the 500-byte settings record.
        Edit(kSettingsPathEdit, {7, 18, 244, 14}, kBorder | kAutoHScroll | kTabStop, kSettingsPathMaxBytes),
        Label("入力例：    c:\\Zip_Code\\Zip_Code\\", {7, 36, 244, 8}),
        Label("オプション", {7, 52, 50, 8}, kDisabled),
        Edit(kSettingsOptionEdit, {60, 50, 80, 14}, kBorder | kHidden | kDisabled),
        CheckBox(kSettingsOption1Check, "オプション１", {150, 51, 64, 10}, kAuto | kDisabled),
        CheckBox(kSettingsOption2Check, "オプション２", {220, 51, 64, 10}, kAuto | kDisabled),
        Label("このソフトウェアの使用は、ご自身の責任でお願いします。"
              "使用によって生じたいかなる損害についても、yubin プロジェクトは責任を負いません。",
              {7, 74, 301, 24}),
    }};

}  // namespace search::ui
