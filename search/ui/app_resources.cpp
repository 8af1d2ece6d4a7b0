#include "search/ui/app_resources.h"

#include <cstdint>
#include <string_view>

#include "platform/dialog/template_registry.h"
#include "search/ui/resource.h"
#include "search/ui/templates.h"

namespace search::ui {
namespace {

using namespace platform::dialog;

// Every template of the program, for the template check.
const TemplateRegistration kTemplates("tolvane", {&kMainDialogTemplate, &kAboutBoxTemplate,
                                                 &kSettingsDialogTemplate, &kRegexSearchDialogTemplate});

const std::vector<StringResource> kStrings = {
    {kComponentsFailedString,
     "OLE の初期化に失敗しました。OLE ﾗｲﾌﾞﾗﾘが正しいﾊﾞｰｼﾞｮﾝのものか確認してください。"},
    {kAboutMenuString, "ﾊﾞｰｼﾞｮﾝ情報(Tolvane) (&A)..."},
    {kSocketsFailedString, "Windows ｿｹｯﾄの初期化に失敗しました。"},
};

// The icon's pictures, a character a pixel: D the tile's dark red edge,
// R its red, W the white 〒, '.' transparent. The mark is drawn two pixels
// thick at 16, so that it stays legible in a caption or a menu.
constexpr std::string_view kIcon32[32] = {
    "...DDDDDDDDDDDDDDDDDDDDDDDDDD...",
    "..DRRRRRRRRRRRRRRRRRRRRRRRRRRD..",
    ".DRRRRRRRRRRRRRRRRRRRRRRRRRRRRD.",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRWWWWWWWWWWWWWWWWWWRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRWWWWRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRD",
    ".DRRRRRRRRRRRRRRRRRRRRRRRRRRRRD.",
    "..DRRRRRRRRRRRRRRRRRRRRRRRRRRD..",
    "...DDDDDDDDDDDDDDDDDDDDDDDDDD...",
};

constexpr std::string_view kIcon16[16] = {
    ".DDDDDDDDDDDDDD.",
    "DRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRD",
    "DRRWWWWWWWWWWRRD",
    "DRRWWWWWWWWWWRRD",
    "DRRRRRRRRRRRRRRD",
    "DRRWWWWWWWWWWRRD",
    "DRRWWWWWWWWWWRRD",
    "DRRRRRRWWRRRRRRD",
    "DRRRRRRWWRRRRRRD",
    "DRRRRRRWWRRRRRRD",
    "DRRRRRRWWRRRRRRD",
    "DRRRRRRWWRRRRRRD",
    "DRRRRRRRRRRRRRRD",
    "DRRRRRRRRRRRRRRD",
    ".DDDDDDDDDDDDDD.",
};

std::uint32_t Pixel(char c) {
  switch (c) {
    case 'D': return 0xFF8A1712u;
    case 'R': return 0xFFD8261Cu;
    case 'W': return 0xFFFFFFFFu;
    default: return 0x00000000u;
  }
}

template <std::size_t N>
IconImage Image(const std::string_view (&rows)[N]) {
  IconImage image;
  image.size = static_cast<int>(N);
  for (std::string_view row : rows)
    for (char c : row) image.argb.push_back(Pixel(c));
  return image;
}

}  // namespace

IconResource AppIcon() { return {kAppIcon, {Image(kIcon32), Image(kIcon16)}}; }

void RegisterAppResources() {
  RegisterStrings(kStrings);
  RegisterIcon(AppIcon());
}

}  // namespace search::ui
