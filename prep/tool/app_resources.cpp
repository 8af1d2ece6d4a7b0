#include "prep/tool/app_resources.h"

#include <string_view>
#include <vector>

#include "platform/dialog/resources.h"
#include "platform/dialog/template_registry.h"
#include "prep/tool/resource.h"
#include "prep/tool/templates.h"

namespace prep::tool {

using namespace platform::dialog;

namespace {

// Every template of the program, for the template check.
const TemplateRegistration kTemplates("kestrum", {&kPrepToolDialog, &kPrepAboutDialog});

// Icon 128: an index card with its tab, the postal mark and ruled lines.
const std::vector<IconColour> kCardColours = {
    {'k', 0xFF404040},  // outline
    {'w', 0xFFFFF8E0},  // card
    {'t', 0xFFE8A030},  // tab
    {'r', 0xFFD02020},  // postal mark
    {'b', 0xFF8FB8E0},  // ruled lines
    {'s', 0xFFC8BEA0},  // shadow at the foot
};

const std::vector<std::string_view> kCard32 = {
    "................................", "................................", "...kkkkkkkkkkk..................",
    "...ktttttttttk..................", "...ktttttttttk..................", "...ktttttttttk..................",
    ".kkktttttttttkkkkkkkkkkkkkkkkkk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kwwrrrrrrrrrrrwwwwwwwwwwwwwwwk.", ".kwwrrrrrrrrrrrwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwwwwbbbbbbbbbbbwwk.", ".kwwrrrrrrrrrrrwwwwwwwwwwwwwwwk.", ".kwwrrrrrrrrrrrwwwwwwwwwwwwwwwk.",
    ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwrrrwwwwwwbbbbbbbbbbbwwk.", ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwrrrwwwwwwbbbbbbbbbbbwwk.",
    ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwwwwrrrwwwwwwbbbbbbbbbbbwwk.", ".kwwwwwwrrrwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kssssssssssssssssssssssssssssk.", ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.", "................................",
    "................................", "................................",
};

const std::vector<std::string_view> kCard16 = {
    ".kkkkkkk........", ".ktttttk........", ".ktttttk........", "kktttttkkkkkkkkk",
    "kwwwwwwwwwwwwwwk", "kwrrrrrrwwwwwwwk", "kwwwwwwwwwwwwwwk", "kwrrrrrrwbbbbbwk",
    "kwwwrrwwwwwwwwwk", "kwwwrrwwwwwwwwwk", "kwwwrrwwwbbbbbwk", "kwwwrrwwwwwwwwwk",
    "kwwwrrwwwwwwwwwk", "kwwwrrwwwbbbbbwk", "kwwwwwwwwwwwwwwk", "kkkkkkkkkkkkkkkk",
};

}  // namespace

void RegisterPrepResources() {
  RegisterStrings({
      {kComponentFailureString, "OLE の初期化に失敗しました。OLE ﾗｲﾌﾞﾗﾘが正しいﾊﾞｰｼﾞｮﾝのものか確認してください。"},
      {kAboutMenuString, "ﾊﾞｰｼﾞｮﾝ情報(Kestrum) (&A)..."},
  });
  RegisterIcon({kToolIcon, {IconFromRows(kCard32, kCardColours), IconFromRows(kCard16, kCardColours)}});
}

}  // namespace prep::tool
