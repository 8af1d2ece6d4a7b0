#include "placeholder/app_resources.h"

#include <string_view>
#include <vector>

#include "placeholder/resource.h"
#include "placeholder/templates.h"
#include "platform/dialog/resources.h"
#include "platform/dialog/template_registry.h"

namespace placeholder {

using namespace platform::dialog;

namespace {

// The program's one template, for the template check.
const TemplateRegistration kTemplates("vesk", {&kPlaceholderDialog});

// Icon 128: an empty window, a dashed frame where its content would be.
const std::vector<IconColour> kWindowColours = {
    {'k', 0xFF404040},  // outline
    {'w', 0xFFFFF8E0},  // window
    {'n', 0xFF28468C},  // caption bar
    {'g', 0xFF808080},  // dashed frame
};

const std::vector<std::string_view> kWindow32 = {
    "................................", "................................", "................................",
    ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.", ".knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.", ".knnnnnnnnnnnnnnnnnnnnnnnwwwwnk.",
    ".knnnnnnnnnnnnnnnnnnnnnnnwkkwnk.", ".knnnnnnnnnnnnnnnnnnnnnnnwwwwnk.", ".knnnnnnnnnnnnnnnnnnnnnnnnnnnnk.",
    ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwggwwggwwggwwggwwggwwggwwwk.", ".kwwwgwwwwwwwwwwwwwwwwwwwwgwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwgwwwwwwwwwwwwwwwwwwwwgwwwk.", ".kwwwgwwwwwwwwwwwwwwwwwwwwgwwwk.",
    ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwgwwwwwwwwwwwwwwwwwwwwgwwwk.",
    ".kwwwgwwwwwwwwwwwwwwwwwwwwgwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwggwwggwwggwwggwwggwwggwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.",
    ".kwwwwwwwwwwwwwwwwwwwwwwwwwwwwk.", ".kkkkkkkkkkkkkkkkkkkkkkkkkkkkkk.", "................................",
    "................................", "................................",
};

const std::vector<std::string_view> kWindow16 = {
    "................", "kkkkkkkkkkkkkkkk", "knnnnnnnnnnnnnnk", "knnnnnnnnnnnwwnk",
    "knnnnnnnnnnnnnnk", "kwwwwwwwwwwwwwwk", "kwwwwwwwwwwwwwwk", "kwwggwggwggwgwwk",
    "kwwgwwwwwwwwgwwk", "kwwwwwwwwwwwwwwk", "kwwgwwwwwwwwgwwk", "kwwgwwwwwwwwgwwk",
    "kwwggwggwggwgwwk", "kwwwwwwwwwwwwwwk", "kkkkkkkkkkkkkkkk", "................",
};

}  // namespace

void RegisterPlaceholderIcon() {
  RegisterIcon({kPlaceholderIcon, {IconFromRows(kWindow32, kWindowColours), IconFromRows(kWindow16, kWindowColours)}});
}

}  // namespace placeholder
