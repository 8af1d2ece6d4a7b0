#include "platform/dialog/window_rules.h"

#include <algorithm>
#include <cstdlib>  // std::abs
#include <tuple>
#include <utility>

#include "platform/dialog/backend.h"

namespace platform::dialog {

ControlState ControlState::FromTemplate(const ControlTemplate& t) {
  ControlState state;
  state.tmpl = &t;
  state.enabled = (t.style & kDisabled) == 0;
  state.visible = (t.style & kHidden) == 0;
  return state;
}

void ControlState::SetCheck(int state) {
  if (tmpl->kind == ControlKind::kRadioButton || tmpl->kind == ControlKind::kCheckBox) check = state != 0 ? 1 : 0;
}

WindowRules::WindowRules(const DialogTemplate& tmpl, StateAt state) : tmpl_(tmpl), state_(std::move(state)) {}

int WindowRules::IndexOf(int id) const {
  if (id == kNoId) return -1;
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i)
    if (tmpl_.controls[i].id == id) return static_cast<int>(i);
  return -1;
}

bool WindowRules::TakesFocusAt(std::size_t index) const {
  const ControlTemplate& t = tmpl_.controls[index];
  if (t.id == kNoId) return false;
  if (t.kind != ControlKind::kPushButton && t.kind != ControlKind::kRadioButton && t.kind != ControlKind::kCheckBox &&
      t.kind != ControlKind::kEdit)
    return false;
  ControlState state = state_(index);
  return state.enabled && state.visible;
}

bool WindowRules::TakesFocus(int id) const {
  int index = IndexOf(id);
  return index >= 0 && TakesFocusAt(static_cast<std::size_t>(index));
}

int WindowRules::FirstTabStop() const { return NextTabStop(kNoId, false); }

int WindowRules::NextTabStop(int focus, bool backwards) const {
  int count = static_cast<int>(tmpl_.controls.size());
  int current = IndexOf(focus);
  int step = backwards ? -1 : 1;
  int start = current >= 0 ? current : (backwards ? 0 : count - 1);
  for (int n = 1; n <= count; ++n) {
    std::size_t i = static_cast<std::size_t>(((start + step * n) % count + count) % count);
    if ((tmpl_.controls[i].style & kTabStop) != 0 && TakesFocusAt(i)) return tmpl_.controls[i].id;
  }
  return kNoId;
}

int WindowRules::RadioNeighbour(int from, bool forward) const {
  std::vector<int> group = RadioGroupOf(tmpl_, from);
  int count = static_cast<int>(group.size());
  int at = static_cast<int>(std::find(group.begin(), group.end(), from) - group.begin());
  for (int n = 1; n < count; ++n) {
    int id = group[static_cast<std::size_t>(((at + (forward ? n : -n)) % count + count) % count)];
    if (TakesFocus(id)) return id;
  }
  return kNoId;
}

// Among the push buttons whose middle lies that way, first those level
// with `from` (their extents across the direction overlap, as the keys of
// one row or column of a grid do), nearest edge to edge and then best
// lined up; without such a button, the nearest by middles, with an offset
// to the side counting twice. Dialog units, so that no rounding to pixels
// or cells plays a part.
int WindowRules::ButtonNeighbour(int from, MoveKey direction) const {
  bool across = direction == MoveKey::kLeft || direction == MoveKey::kRight;
  int sign = direction == MoveKey::kRight || direction == MoveKey::kDown ? 1 : -1;
  // A rectangle along the direction and across it: start, end, doubled middle.
  struct Span {
    int begin, end, mid2;
  };
  auto along = [&](const Rect& r) {
    return across ? Span{r.x, r.x + r.width, 2 * r.x + r.width} : Span{r.y, r.y + r.height, 2 * r.y + r.height};
  };
  auto aside = [&](const Rect& r) {
    return across ? Span{r.y, r.y + r.height, 2 * r.y + r.height} : Span{r.x, r.x + r.width, 2 * r.x + r.width};
  };
  const ControlTemplate& origin = tmpl_.controls[static_cast<std::size_t>(IndexOf(from))];
  Span a = along(origin.rect);
  Span as = aside(origin.rect);
  int best = kNoId;
  std::tuple<int, long, long> bestRank{2, 0, 0};
  for (std::size_t i = 0; i < tmpl_.controls.size(); ++i) {
    const ControlTemplate& c = tmpl_.controls[i];
    if (c.id == from || c.kind != ControlKind::kPushButton || !TakesFocusAt(i)) continue;
    Span b = along(c.rect);
    Span bs = aside(c.rect);
    long ahead = sign * (b.mid2 - a.mid2);
    if (ahead <= 0) continue;
    long offset = std::abs(bs.mid2 - as.mid2);
    bool level = bs.begin < as.end && as.begin < bs.end;
    std::tuple<int, long, long> rank =
        level ? std::tuple<int, long, long>{0, std::max(0, sign > 0 ? b.begin - a.end : a.begin - b.end), offset}
              : std::tuple<int, long, long>{1, ahead + 2 * offset, 0};
    if (best == kNoId || rank < bestRank) {
      bestRank = rank;
      best = c.id;
    }
  }
  return best;
}

FocusMove WindowRules::Move(int focus, MoveKey key) const {
  FocusMove move;
  if (key == MoveKey::kTab || key == MoveKey::kBackTab) {
    move.taken = true;
    move.target = NextTabStop(focus, key == MoveKey::kBackTab);
    move.selectText = true;
    return move;
  }
  int index = IndexOf(focus);
  if (index < 0) return move;
  const ControlTemplate& t = tmpl_.controls[static_cast<std::size_t>(index)];
  if (t.kind == ControlKind::kRadioButton) {
    move.taken = true;
    move.target = RadioNeighbour(focus, key == MoveKey::kDown || key == MoveKey::kRight);
    const ControlTemplate* target = FindControl(tmpl_, move.target);
    move.click = target != nullptr && (target->style & kAuto) != 0;
  } else if (t.kind == ControlKind::kPushButton) {
    move.taken = true;
    move.target = ButtonNeighbour(focus, key);
  }
  return move;
}

std::vector<CheckChange> WindowRules::ChecksOnClick(int id) const {
  std::vector<CheckChange> changes;
  int index = IndexOf(id);
  if (index < 0) return changes;
  const ControlTemplate& t = tmpl_.controls[static_cast<std::size_t>(index)];
  if ((t.style & kAuto) == 0) return changes;
  if (t.kind == ControlKind::kRadioButton) {
    for (int member : RadioGroupOf(tmpl_, id)) changes.push_back({member, member == id ? 1 : 0});
  } else if (t.kind == ControlKind::kCheckBox) {
    changes.push_back({id, state_(static_cast<std::size_t>(index)).check != 0 ? 0 : 1});
  }
  return changes;
}

int ShownDefaultButton(const DialogTemplate& tmpl, const Dialog* attached) {
  if (attached != nullptr) return DialogEvents::DefaultButton(*attached);
  const ControlTemplate* def = FindControl(tmpl, DefaultButtonOf(tmpl));
  return def != nullptr && (def->style & kDefault) != 0 ? def->id : kNoId;
}

}  // namespace platform::dialog
