#include "search/ui/app_resources.h"

#include <string_view>
#include <vector>

#include "platform/dialog/template_registry.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"

namespace search::ui {
namespace {

using namespace platform::dialog;

// Every template of the program, for the template check.
const TemplateRegistration kTemplates("tolvane", {&kMainDialogTemplate, &kAboutBoxTemplate, &kSettingsDialogTemplate,
                                                  &kRegexSearchDialogTemplate});

const std::vector<StringResource> kStrings = {
    {kComponentsFailedString, "OLE の初期化に失敗しました。OLE ﾗｲﾌﾞﾗﾘが正しいﾊﾞｰｼﾞｮﾝのものか確認してください。"},
    {kAboutMenuString, "ﾊﾞｰｼﾞｮﾝ情報(Tolvane) (&A)..."},
    {kSocketsFailedString, "Windows ｿｹｯﾄの初期化に失敗しました。"},
};

// The icon's pictures, a character a pixel: D the tile's dark red edge,
// R its red, W the white 〒, '.' transparent. The mark is drawn two pixels
// thick at 16, so that it stays legible in a caption or a menu.
const std::vector<std::string_view> kIcon32 = {
    "...DDDDDDDDDDDDDDDDDDDDDDDDDD...", "..DRRRRRRRRRRRRRRRRRRRRRRRRRRD..", ".DRRRRRRRRRRRRRRRRRRRRRRRRRRRRD.",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD", "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD", "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD", "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD", "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD", ".DRRRRRRRRRRRRRRRRRRRRRRRRRRRRD.",
    "..DRRRRRRRRRRRRRRRRRRRRRRRRRRD..", "...DDDDDDDDDDDDDDDDDDDDDDDDDD...",
};

const std::vector<std::string_view> kIcon16 = {
    ".DDDDDDDDDDDDDD.", "DRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRD", "DRRWWWWWWWWWWRRD",
    "DRRWWWWWWWWWWRRD", "DRRRRRRRRRRRRRRD", "DRRWWWWWWWWWWRRD", "DRRWWWWWWWWWWRRD",
    "DRRRRRRWWRRRRRRD", "DRRRRRRWWRRRRRRD", "DRRRRRRWWRRRRRRD", "DRRRRRRWWRRRRRRD",
    "DRRRRRRWWRRRRRRD", "DRRRRRRRRRRRRRRD", "DRRRRRRRRRRRRRRD", ".DDDDDDDDDDDDDD.",
};

const std::vector<IconColour> kIconColours = {{'D', 0xFF8A1712u}, {'R', 0xFFD8261Cu}, {'W', 0xFFFFFFFFu}};

}  // namespace

IconResource AppIcon() {
  return {kAppIcon, {IconFromRows(kIcon32, kIconColours), IconFromRows(kIcon16, kIconColours)}};
}

void RegisterAppResources() {
  RegisterStrings(kStrings);
  RegisterIcon(AppIcon());
}

}  // namespace search::ui
