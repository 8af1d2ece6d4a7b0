// Dialog 131, the regular-expression search, as wide and high as the main
// dialog. Top to bottom: the search string in its group with the kinds of
// search beside it, the label, the result box, then clear and back at the
// bottom right. The two edits are the only tab stops.
#include "search/ui/templates.h"

#include "search/ui/resource.h"

namespace search::ui {

using namespace platform::dialog;

const DialogTemplate kRegexSearchDialogTemplate = {
    .id = kRegexSearchDialog,
    .caption = "正規検索ソフトで郵便番号検索",
    .width = 443,
    .height = 295,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu,
    .controls = {
        GroupBox("以下の文字列を フリーソフト  Qgrep（ウィンドーズ３．１用） を利用して 検索します。", {7, 4, 347, 50}),
        // Enter types a line break, which the dialog takes as the start of
        // the search.
        Edit(kRegexSearchEdit, {14, 17, 333, 30}, kBorder | kMultiLine | kWantReturn | kTabStop),

        GroupBox("検索の種類", {361, 4, 75, 50}),
        Radio(kRegexAllRadio, "全部", {369, 16, 60, 10}, kAuto | kGroup),
        Radio(kRegexOfficesRadio, "事業所", {369, 27, 60, 10}, kAuto),
        Radio(kRegexGeneralRadio, "一般番号", {369, 38, 60, 10}, kAuto),

        Label("正規検索ソフトで郵便番号検索します。以下は、その結果です。"
              "データーはCSVそのままで利用可能です。",
              {7, 60, 429, 8}),
        Edit(kRegexResultEdit, {7, 71, 429, 196},
             kBorder | kMultiLine | kReadOnly | kHScrollBar | kVScrollBar | kTabStop),

        PushButton(kRegexClearButton, "クリア", {330, 274, 50, 14}, kGroup),
        PushButton(kIdCancel, "戻る", {386, 274, 50, 14}, kDefault),
    }};

}  // namespace search::ui
