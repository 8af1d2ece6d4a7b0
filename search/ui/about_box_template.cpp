// Dialog 100, the about box: the icon, the version, the notice, and the
// holder's and the disclaimer's paragraphs.
#include "search/ui/templates.h"

#include "search/ui/resource.h"

namespace search::ui {

using namespace platform::dialog;

const DialogTemplate kAboutBoxTemplate = {
    .id = kAboutDialog,
    .caption = "ﾊﾞｰｼﾞｮﾝ情報 Tolvane",
    .width = 218,
    .height = 147,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kSystemMenu,
    .controls = {
        Icon(kAppIcon, {11, 10, 21, 20}),
        Label("Tolvane Version 2.00", {42, 10, 110, 8}),
        Label("Copyright (C) 1998 yubin プロジェクト", {42, 24, 165, 8}),
        PushButton(kIdOk, "OK", {161, 7, 50, 14}, kDefault | kTabStop),
        Label("このソフトウェアの著作権は yubin プロジェクトが持っています。"
              "郵便番号データは、郵便事業者が公開しているものです。",
              {11, 42, 196, 32}),
        Label("このソフトウェアを使用したことによって生じたいかなる問題についても、"
              "yubin プロジェクトは一切の責任を負いません。ご自身の責任でお使いください。"
              "改変・解析（ハッキング）はしないでください。",
              {11, 80, 196, 56}),
    }};

}  // namespace search::ui
