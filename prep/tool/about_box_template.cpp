// Dialog 100, the about box: the icon, the version, the notices and OK.
#include "prep/tool/templates.h"

#include "prep/tool/resource.h"

namespace prep::tool {

using namespace platform::dialog;

const DialogTemplate kPrepAboutDialog = {.id = kAboutDialogId,
                                         .caption = "ﾊﾞｰｼﾞｮﾝ情報 Kestrum",
                                         .width = 218,
                                         .height = 123,
                                         .font = {"ＭＳ Ｐゴシック", 9},
                                         .style = kCaption | kSystemMenu,
                                         .controls = {
                                             Icon(kToolIcon, {11, 17, 18, 20}),
                                             Label("Kestrum Version 1.01", {40, 10, 119, 8}),
                                             Label("(C) 2026 yubin プロジェクト", {40, 25, 119, 8}),
                                             PushButton(kIdOk, "OK", {179, 7, 32, 14}, kDefault | kTabStop),
                                             Label("Kestrum（データー作成ツール）と\r\n"
                                                   "Tolvane（郵便番号検索ソフト）の著作権は\r\n"
                                                   "yubin プロジェクトにあります。\r\n"
                                                   "どなたでも、プロジェクトのライセンスの\r\n"
                                                   "条件に従って無料でお使いいただけます。",
                                                   {40, 41, 162, 65}),
                                         }};

}  // namespace prep::tool
