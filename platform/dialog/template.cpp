#include "platform/dialog/template.h"

#include "platform/text/cp932.h"

namespace platform::dialog {

std::string TemplateText(std::string_view utf8) { return text::Cp932(utf8); }

const ControlTemplate* FindControl(const DialogTemplate& t, int id) {
  if (id == kNoId) return nullptr;
  for (const ControlTemplate& c : t.controls)
    if (c.id == id) return &c;
  return nullptr;
}

std::vector<int> RadioGroupOf(const DialogTemplate& t, int id) {
  std::vector<int> group;
  const ControlTemplate* target = FindControl(t, id);
  if (target == nullptr || target->kind != ControlKind::kRadioButton) return group;
  // The group is the run of controls between two kGroup marks; only its
  // radio buttons take part.
  size_t at = static_cast<size_t>(target - t.controls.data());
  size_t first = at;
  while (first > 0 && !(t.controls[first].style & kGroup)) --first;
  for (size_t i = first; i < t.controls.size(); ++i) {
    if (i > first && (t.controls[i].style & kGroup)) break;
    if (t.controls[i].kind == ControlKind::kRadioButton && t.controls[i].id != kNoId)
      group.push_back(t.controls[i].id);
  }
  return group;
}

int DefaultButtonOf(const DialogTemplate& t) {
  for (const ControlTemplate& c : t.controls)
    if (c.kind == ControlKind::kPushButton && (c.style & kDefault) && c.id != kNoId) return c.id;
  return kIdOk;
}

}  // namespace platform::dialog
