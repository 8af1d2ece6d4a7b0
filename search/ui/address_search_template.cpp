// Dialog 132, the search by a written address. Top to bottom: the address
// with the search button (the default, so Enter in the edit searches), the
// candidates, the chosen one with the buttons that move the choice and copy
// its code, and back.
#include "search/ui/templates.h"

#include "search/ui/resource.h"

namespace search::ui {

using namespace platform::dialog;

const DialogTemplate kAddressSearchDialogTemplate = {
    .id = kAddressSearchDialog,
    .caption = "住所から郵便番号を検索",
    .width = 360,
    .height = 220,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu,
    .controls = {
        GroupBox("住所（貼り付けるか入力して Enter）", {7, 4, 346, 32}),
        Edit(kAddressEdit, {14, 16, 274, 13}, kBorder | kAutoHScroll | kTabStop, 1000),
        PushButton(kAddressSearchButton, "検索", {294, 15, 52, 14}, kDefault | kTabStop),

        Label("候補（郵便番号・住所・一致の度合い）", {7, 42, 346, 8}),
        Edit(kAddressResultEdit, {7, 52, 346, 112},
             kBorder | kMultiLine | kReadOnly | kHScrollBar | kVScrollBar | kTabStop),

        Label("選んだ候補", {7, 172, 50, 8}),
        Edit(kAddressChosenEdit, {58, 170, 295, 13}, kBorder | kReadOnly | kAutoHScroll),

        PushButton(kAddressPreviousButton, "前の候補", {7, 196, 52, 14}, kTabStop),
        PushButton(kAddressNextButton, "次の候補", {63, 196, 52, 14}, kTabStop),
        PushButton(kAddressCopyButton, "郵便番号をコピー", {119, 196, 80, 14}, kTabStop),
        PushButton(kIdCancel, "戻る", {301, 196, 52, 14}, kTabStop),
    }};

}  // namespace search::ui
