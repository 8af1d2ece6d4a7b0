#include "platform/dialog/template.h"

#include <set>

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
    if (t.controls[i].kind == ControlKind::kRadioButton && t.controls[i].id != kNoId) group.push_back(t.controls[i].id);
  }
  return group;
}

int DefaultButtonOf(const DialogTemplate& t) {
  for (const ControlTemplate& c : t.controls)
    if (c.kind == ControlKind::kPushButton && (c.style & kDefault) && c.id != kNoId) return c.id;
  return kIdOk;
}

namespace {

std::string Named(const DialogTemplate& t, size_t index) {
  const ControlTemplate& c = t.controls[index];
  std::string name = "dialog " + std::to_string(t.id) + ": ";
  if (c.id != kNoId) return name + "control " + std::to_string(c.id);
  return name + "control without ID at row " + std::to_string(index + 1);
}

}  // namespace

std::vector<std::string> TemplateProblems(const DialogTemplate& t) {
  std::vector<std::string> problems;
  std::string dialog = "dialog " + std::to_string(t.id);
  auto convertible = [](std::string_view utf8) { return text::ToCp932Strict(utf8).has_value(); };
  if (!convertible(t.caption)) problems.push_back(dialog + ": the caption has no CP932 form");
  std::set<int> seen;
  int defaults = 0;
  for (size_t i = 0; i < t.controls.size(); ++i) {
    const ControlTemplate& c = t.controls[i];
    if (c.id != kNoId && !seen.insert(c.id).second) problems.push_back(Named(t, i) + " is used twice");
    const Rect& r = c.rect;
    if (r.x < 0 || r.y < 0 || r.width < 0 || r.height < 0 || r.x + r.width > t.width || r.y + r.height > t.height)
      problems.push_back(Named(t, i) + " at " + std::to_string(r.x) + ", " + std::to_string(r.y) + " size " +
                         std::to_string(r.width) + " x " + std::to_string(r.height) + " lies outside the dialog's " +
                         std::to_string(t.width) + " x " + std::to_string(t.height));
    if (c.kind == ControlKind::kPushButton && (c.style & kDefault) && ++defaults == 2)
      problems.push_back(Named(t, i) + " is a second default button");
    if (!convertible(c.text)) problems.push_back(Named(t, i) + ": the text has no CP932 form");
  }
  if (t.menu != nullptr)
    for (const MenuItem& item : t.menu->items)
      if (!convertible(item.text))
        problems.push_back(dialog + ": menu command " + std::to_string(item.command) + " has no CP932 form");
  return problems;
}

}  // namespace platform::dialog
