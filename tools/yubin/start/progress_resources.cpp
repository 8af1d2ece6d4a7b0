#include "tools/yubin/start/progress_resources.h"

#include "platform/dialog/template_registry.h"

namespace yubin::start {

using namespace platform::dialog;

const DialogTemplate kProgressTemplate = {
    .id = kProgressDialog,
    .caption = "郵便番号検索：データの準備",
    .width = 220,
    .height = 78,
    .font = {"ＭＳ Ｐゴシック", 9},
    .style = kCaption | kTaskBar,
    .controls = {
        Icon(kWindowIcon, {10, 10, 21, 20}),
        Label("郵便番号データを準備しています。", {40, 8, 172, 8}),
        ControlTemplate{.id = kStepText, .kind = ControlKind::kStatic, .rect = {40, 24, 172, 8}},
        ControlTemplate{.id = kStepBar, .kind = ControlKind::kStatic, .rect = {40, 40, 172, 10}},
        ControlTemplate{.id = kStatusText, .kind = ControlKind::kStatic, .rect = {10, 56, 202, 18}},
    }};

const TemplateRegistration kTemplates("yubin", {&kProgressTemplate});

}  // namespace yubin::start
