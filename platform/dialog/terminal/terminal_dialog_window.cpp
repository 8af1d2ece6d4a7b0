#include "platform/dialog/terminal/terminal_dialog_window.h"

#include <algorithm>

#include "platform/dialog/backend.h"
#include "platform/dialog/terminal/glyphs.h"
#include "platform/dialog/terminal/terminal_backend.h"
#include "platform/text/cp932.h"

namespace platform::dialog::terminal {
namespace {

// The standard items of the system menu: moving is the terminal's own
// business, so it is shown as the frame has it, greyed.
const char kMoveText[] = "移動(&M)";
const char kCloseText[] = "閉じる(&C)\tAlt+F4";

CellRect Intersect(const CellRect& a, const CellRect& b) {
  int top = std::max(a.row, b.row);
  int left = std::max(a.col, b.col);
  int bottom = std::min(a.Bottom(), b.Bottom());
  int right = std::min(a.Right(), b.Right());
  return {top, left, std::max(0, bottom - top), std::max(0, right - left)};
}

bool IsMultiLineEdit(const TerminalControl& c) { return c.IsEdit() && (c.tmpl->style & kMultiLine) != 0; }

// What a turn of the wheel scrolls: lines down, cells across.
constexpr int kWheelLines = 3;
constexpr int kWheelCells = 8;

// A text that cannot be typed into is read by moving its view: the arrow
// keys scroll it by a line down and two cells (one full-width character)
// across, Page Up and Page Down by a view's height, Home and End to its
// left and right ends. False for any other key.
bool ScrollView(EditText& e, Key key) {
  switch (key) {
    case Key::kLeft: e.ScrollAcross(-2); return true;
    case Key::kRight: e.ScrollAcross(2); return true;
    case Key::kUp: e.Scroll(-1); return true;
    case Key::kDown: e.Scroll(1); return true;
    case Key::kPageUp: e.Scroll(-std::max(1, e.ViewRows() - 1)); return true;
    case Key::kPageDown: e.Scroll(std::max(1, e.ViewRows() - 1)); return true;
    case Key::kHome: e.ScrollAcross(-e.ContentCols()); return true;
    case Key::kEnd: e.ScrollAcross(e.ContentCols()); return true;
    default: return false;
  }
}

// The access letter of a CP932 menu text ("閉じる(&C)" has C), upper case;
// 0 when it has none.
char AccessLetter(std::string_view cp932) {
  for (std::size_t i = 0; i + 1 < cp932.size();
       i += static_cast<std::size_t>(text::Cp932CharLength(static_cast<unsigned char>(cp932[i])))) {
    if (cp932[i] == '&' && cp932[i + 1] != '&') {
      char c = cp932[i + 1];
      return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
  }
  return 0;
}

}  // namespace

TerminalDialogWindow::TerminalDialogWindow(TerminalBackend& backend, Dialog& dialog)
    : backend_(backend), dialog_(dialog), tmpl_(dialog.Template()) {
  title_ = TemplateText(tmpl_.caption);
  for (const ControlTemplate& t : tmpl_.controls) controls_.push_back(MakeControl(t));
}

TerminalDialogWindow::~TerminalDialogWindow() { backend_.KillTimers(this); }

TerminalControl* TerminalDialogWindow::Find(int id) {
  if (id == kNoId) return nullptr;
  for (TerminalControl& c : controls_)
    if (c.tmpl->id == id) return &c;
  return nullptr;
}

const TerminalControl* TerminalDialogWindow::Find(int id) const {
  return const_cast<TerminalDialogWindow*>(this)->Find(id);
}

// ---- DialogWindow ----

std::string TerminalDialogWindow::ControlText(int id) const {
  const TerminalControl* c = Find(id);
  if (c == nullptr) return {};
  return c->IsEdit() ? c->edit.Text() : c->caption;
}

void TerminalDialogWindow::SetControlText(int id, std::string_view cp932) {
  TerminalControl* c = Find(id);
  if (c == nullptr) return;
  if (c->IsEdit())
    c->edit.SetText(cp932);
  else
    c->caption = std::string(cp932);
}

int TerminalDialogWindow::CheckState(int id) const {
  const TerminalControl* c = Find(id);
  return c != nullptr ? c->check : 0;
}

void TerminalDialogWindow::SetCheckState(int id, int state) {
  if (TerminalControl* c = Find(id)) c->SetCheck(state);
}

bool TerminalDialogWindow::IsControlEnabled(int id) const {
  const TerminalControl* c = Find(id);
  return c != nullptr && c->enabled;
}

void TerminalDialogWindow::EnableControl(int id, bool enabled) {
  TerminalControl* c = Find(id);
  if (c == nullptr) return;
  c->enabled = enabled;
  if (!enabled && focus_ == id) focus_ = kNoId;
}

bool TerminalDialogWindow::IsControlVisible(int id) const {
  const TerminalControl* c = Find(id);
  return c != nullptr && c->visible;
}

void TerminalDialogWindow::ShowControl(int id, bool visible) {
  TerminalControl* c = Find(id);
  if (c == nullptr) return;
  c->visible = visible;
  if (!visible && focus_ == id) focus_ = kNoId;
}

WindowRules TerminalDialogWindow::Rules() const {
  return WindowRules(tmpl_, [this](std::size_t index) -> ControlState { return controls_[index]; });
}

void TerminalDialogWindow::MoveFocus(TerminalControl& control, bool selectText) {
  if (!Rules().TakesFocus(control.tmpl->id)) return;
  focus_ = control.tmpl->id;
  if (selectText && control.IsEdit()) control.edit.SelectAll();
  // Every arrival: the core tells a gain from the focus coming back.
  if (Delivering()) DialogEvents::DeliverFocus(dialog_, focus_);
}

void TerminalDialogWindow::SetFocus(int id) {
  if (TerminalControl* c = Find(id)) MoveFocus(*c, false);
}

void TerminalDialogWindow::FocusNextTabStop(bool backwards) {
  Follow(Rules().Move(focus_, backwards ? MoveKey::kBackTab : MoveKey::kTab));
}

void TerminalDialogWindow::FocusFirstTabStop() {
  if (TerminalControl* c = Find(Rules().FirstTabStop())) MoveFocus(*c, true);
}

void TerminalDialogWindow::Follow(const FocusMove& move) {
  TerminalControl* target = Find(move.target);
  if (target == nullptr) return;
  MoveFocus(*target, move.selectText);
  if (move.click) Click(*target);
}

void TerminalDialogWindow::SetTextLimit(int id, int limit) {
  TerminalControl* c = Find(id);
  if (c != nullptr && c->IsEdit()) c->edit.SetLimit(limit);
}

void TerminalDialogWindow::AppendSystemMenuSeparator() { appended_.push_back({}); }

void TerminalDialogWindow::AppendSystemMenuItem(int command, std::string_view cp932) {
  appended_.push_back({command, std::string(cp932), true});
}

void TerminalDialogWindow::SetIcon(int, bool) {
  // The title line's icon mark stands for every window's icon.
}

void TerminalDialogWindow::SetTimer(int id, int milliseconds) {
  if (!detached_) backend_.SetTimer(this, id, milliseconds);
}

void TerminalDialogWindow::KillTimer(int id) { backend_.KillTimer(this, id); }

// ---- Where it stands ----

int TerminalDialogWindow::MenuRows() const { return tmpl_.menu != nullptr && !tmpl_.menu->items.empty() ? 1 : 0; }

CellSize TerminalDialogWindow::Needed() const {
  CellSize client = ClientCells(tmpl_);
  // The outermost window's top is the title line; the others have a frame.
  return {client.rows + MenuRows() + (outermost_ ? 1 : 2), client.cols + 2};
}

CellRect TerminalDialogWindow::ClientOnScreen() const {
  CellSize client = ClientCells(tmpl_);
  return {topLeft_.row + (outermost_ ? 0 : 1) + MenuRows(), topLeft_.col + 1, client.rows, client.cols};
}

void TerminalDialogWindow::Place(const CellRect& desk, bool outermost) {
  desk_ = desk;
  outermost_ = outermost;
  CellSize size = Needed();
  topLeft_ = PlaceIn(desk, size, outermost, scroll_);
  if (const TerminalControl* c = Find(focus_)) {
    CellRect client = ClientOnScreen();
    CellRect target = c->cells;
    target.row += client.row - topLeft_.row;
    target.col += client.col - topLeft_.col;
    KeepInView(desk, target, size, scroll_);
    topLeft_ = PlaceIn(desk, size, outermost, scroll_);
  }
}

CellRect TerminalDialogWindow::ScreenCellsOf(int id) const {
  const TerminalControl* c = Find(id);
  if (c == nullptr) return {};
  CellRect client = ClientOnScreen();
  CellRect cells = c->cells;
  cells.row += client.row;
  cells.col += client.col;
  return Intersect(cells, Intersect(client, desk_));
}

int TerminalDialogWindow::DefaultButtonShown() const {
  return ShownDefaultButton(tmpl_, Delivering() ? &dialog_ : nullptr);
}

// ---- Drawing ----

void TerminalDialogWindow::Draw(Canvas& canvas) {
  CellSize size = Needed();
  CellRect frame{topLeft_.row, topLeft_.col, size.rows, size.cols};
  canvas.SetView(desk_, 0, 0);
  canvas.Fill(frame, U' ', Ink::kPlain);
  if (outermost_) {
    int bottom = frame.Bottom() - 1;
    for (int r = frame.row; r < bottom; ++r) {
      canvas.Put(r, frame.col, U'│', 1, Ink::kPlain);
      canvas.Put(r, frame.Right() - 1, U'│', 1, Ink::kPlain);
    }
    for (int c = frame.col + 1; c < frame.Right() - 1; ++c) canvas.Put(bottom, c, U'─', 1, Ink::kPlain);
    canvas.Put(bottom, frame.col, U'└', 1, Ink::kPlain);
    canvas.Put(bottom, frame.Right() - 1, U'┘', 1, Ink::kPlain);
  } else {
    canvas.Frame(frame, Ink::kPlain);
    if (frame.cols > 6) {
      canvas.Put(frame.row, frame.col + 1, U' ', 1, Ink::kPlain);
      int used = canvas.Text(frame.row, frame.col + 2, text::WholeCharacters(title_), Ink::kStrong, frame.cols - 5);
      canvas.Put(frame.row, frame.col + 2 + used, U' ', 1, Ink::kPlain);
    }
    // A shadow on what lies below, right and under the frame.
    canvas.Paint({frame.row + 1, frame.Right(), frame.rows, 1}, Ink::kShadow);
    canvas.Paint({frame.Bottom(), frame.col + 1, 1, frame.cols}, Ink::kShadow);
  }
  if (MenuRows() > 0) DrawMenuBar(canvas);

  CellRect client = ClientOnScreen();
  canvas.SetView(Intersect(client, desk_), client.row, client.col);
  int shownDefault = DefaultButtonShown();
  // Group boxes are frames behind the controls they hold, wherever they
  // stand in the template.
  for (const TerminalControl& c : controls_)
    if (c.tmpl->kind == ControlKind::kGroupBox) PaintControl(canvas, c, false, false);
  for (const TerminalControl& c : controls_) {
    if (c.tmpl->kind == ControlKind::kGroupBox) continue;
    bool focused = mode_ == Mode::kControls && c.tmpl->id != kNoId && c.tmpl->id == focus_;
    PaintControl(canvas, c, focused, c.tmpl->id != kNoId && c.tmpl->id == shownDefault);
  }
  if (mode_ == Mode::kSystemMenu) DrawSystemMenu(canvas);
  canvas.ResetView();
}

void TerminalDialogWindow::DrawMenuBar(Canvas& canvas) {
  CellRect client = ClientOnScreen();
  int row = client.row - 1;
  canvas.SetView(desk_, 0, 0);
  canvas.Fill({row, client.col, 1, client.cols}, U' ', Ink::kMenuBar);
  menuItemCells_.clear();
  int col = client.col + 1;
  const std::vector<MenuItem>& items = tmpl_.menu->items;
  for (std::size_t i = 0; i < items.size(); ++i) {
    std::string text = WithoutAccessMarks(TemplateText(items[i].text));
    int width = CellWidth(text) + 2;
    int room = client.Right() - col;
    if (room <= 0) break;
    width = std::min(width, room);
    bool chosen = mode_ == Mode::kMenuBar && static_cast<int>(i) == menuIndex_;
    Ink ink = chosen ? Ink::kMenuChosen : Ink::kMenuBar;
    canvas.Fill({row, col, 1, width}, U' ', ink);
    canvas.Text(row, col + 1, text, ink, width - 1);
    menuItemCells_.push_back({row, col, 1, width});
    col += width + 1;
  }
}

std::vector<TerminalDialogWindow::MenuEntry> TerminalDialogWindow::SystemMenuEntries() const {
  std::vector<MenuEntry> entries;
  entries.push_back({-1, text::Cp932(kMoveText), false});
  entries.push_back({});
  entries.push_back({kCloseCommand, text::Cp932(kCloseText), true});
  entries.insert(entries.end(), appended_.begin(), appended_.end());
  return entries;
}

CellRect TerminalDialogWindow::SystemMenuRect() const {
  int width = 0;
  for (const MenuEntry& e : SystemMenuEntries()) width = std::max(width, CellWidth(WithoutAccessMarks(e.text)) + 2);
  return {desk_.row, desk_.col, static_cast<int>(SystemMenuEntries().size()) + 2, width + 4};
}

void TerminalDialogWindow::DrawSystemMenu(Canvas& canvas) {
  std::vector<MenuEntry> entries = SystemMenuEntries();
  CellRect box = SystemMenuRect();
  canvas.SetView(desk_, 0, 0);
  canvas.Fill(box, U' ', Ink::kPlain);
  canvas.Frame(box, Ink::kPlain);
  canvas.Paint({box.row + 1, box.Right(), box.rows, 1}, Ink::kShadow);
  canvas.Paint({box.Bottom(), box.col + 1, 1, box.cols}, Ink::kShadow);
  for (std::size_t i = 0; i < entries.size(); ++i) {
    int row = box.row + 1 + static_cast<int>(i);
    const MenuEntry& e = entries[i];
    if (e.command == 0) {
      for (int c = box.col + 1; c < box.Right() - 1; ++c) canvas.Put(row, c, U'─', 1, Ink::kPlain);
      canvas.Put(row, box.col, U'├', 1, Ink::kPlain);
      canvas.Put(row, box.Right() - 1, U'┤', 1, Ink::kPlain);
      continue;
    }
    bool chosen = static_cast<int>(i) == menuIndex_;
    Ink ink = chosen ? Ink::kMenuChosen : e.enabled ? Ink::kPlain : Ink::kDim;
    CellRect line{row, box.col + 1, 1, box.cols - 2};
    canvas.Fill(line, U' ', ink);
    std::string label = WithoutAccessMarks(e.text);
    std::size_t tab = label.find('\t');
    std::string shortcut = tab == std::string::npos ? std::string() : label.substr(tab + 1);
    if (tab != std::string::npos) label.resize(tab);
    canvas.Text(row, line.col + 1, label, ink, line.cols - 2);
    if (!shortcut.empty()) canvas.Text(row, line.Right() - 1 - CellWidth(shortcut), shortcut, ink, CellWidth(shortcut));
  }
}

CellPoint TerminalDialogWindow::Cursor() const {
  if (mode_ != Mode::kControls) return {};
  const TerminalControl* c = Find(focus_);
  if (c == nullptr || !c->IsEdit() || !c->enabled || c->edit.Selected()) return {};
  int row = c->edit.CaretRow();
  int col = c->edit.CaretCol();
  if (row < 0 || row >= c->textArea.rows || col < 0 || col >= c->textArea.cols) return {};
  CellRect client = ClientOnScreen();
  CellPoint at{client.row + c->textArea.row + row, client.col + c->textArea.col + col};
  if (!Intersect(client, desk_).Contains(at.row, at.col)) return {};
  return at;
}

// ---- The user's actions ----

void TerminalDialogWindow::Take(const Input& input) {
  if (input.kind == Input::Kind::kMouse) {
    TakeMouse(input);
    return;
  }
  switch (mode_) {
    case Mode::kMenuBar: TakeMenuKey(input); return;
    case Mode::kSystemMenu: TakeSystemMenuKey(input); return;
    case Mode::kControls: TakeKey(input); return;
  }
}

void TerminalDialogWindow::OpenSystemMenu() {
  if (!HasSystemMenu()) return;
  mode_ = Mode::kSystemMenu;
  std::vector<MenuEntry> entries = SystemMenuEntries();
  menuIndex_ = 0;
  while (menuIndex_ < static_cast<int>(entries.size()) && (entries[static_cast<std::size_t>(menuIndex_)].command == 0 ||
                                                           !entries[static_cast<std::size_t>(menuIndex_)].enabled))
    ++menuIndex_;
}

void TerminalDialogWindow::ReportChange(TerminalControl& control) {
  if (control.tmpl->id != kNoId && Delivering())
    DialogEvents::DeliverNotification(dialog_, control.tmpl->id, Notification::kChanged);
}

void TerminalDialogWindow::Click(TerminalControl& control) {
  if (!control.enabled || !control.visible) return;
  const ControlTemplate& t = *control.tmpl;
  for (const CheckChange& change : Rules().ChecksOnClick(t.id)) SetCheckState(change.id, change.check);
  if (t.id != kNoId && Delivering()) DialogEvents::DeliverNotification(dialog_, t.id, Notification::kClicked);
}

void TerminalDialogWindow::TakeKey(const Input& input) {
  TerminalControl* focused = Find(focus_);
  if (input.alt) {
    if (input.kind == Input::Kind::kChar && (input.code == U' ' || input.code == U'-')) {
      OpenSystemMenu();
    } else if (input.key == Key::kAltF4) {
      if (HasSystemMenu() && Delivering()) DialogEvents::DeliverSysCommand(dialog_, kCloseCommand);
    } else if (MenuRows() > 0) {
      mode_ = Mode::kMenuBar;
      menuIndex_ = 0;
    }
    return;
  }
  if (input.kind == Input::Kind::kChar) {
    if (focused != nullptr && focused->IsEdit())
      TakeEditKey(*focused, input);
    else if (input.code == U' ' && focused != nullptr && focused->IsButton())
      Click(*focused);
    return;
  }
  switch (input.key) {
    case Key::kTab:
    case Key::kBackTab: FocusNextTabStop(input.key == Key::kBackTab); return;
    case Key::kEnter:
      if (focused != nullptr && IsMultiLineEdit(*focused) && (focused->tmpl->style & kWantReturn) != 0) {
        // It takes the key: a line break, or nothing when it is read-only.
        if (!focused->ReadOnly() && focused->enabled && focused->edit.Type("\r\n")) ReportChange(*focused);
        return;
      }
      if (Delivering()) DialogEvents::DeliverEnter(dialog_);
      return;
    case Key::kEscape:
      if (Delivering()) DialogEvents::DeliverEscape(dialog_);
      return;
    case Key::kF1:
      if (Delivering()) DialogEvents::DeliverMenuCommand(dialog_, kHelpCommand);
      return;
    case Key::kF10:
      if (MenuRows() > 0) {
        mode_ = Mode::kMenuBar;
        menuIndex_ = 0;
      }
      return;
    case Key::kAltF4:
      if (HasSystemMenu() && Delivering()) DialogEvents::DeliverSysCommand(dialog_, kCloseCommand);
      return;
    case Key::kUp:
    case Key::kDown:
    case Key::kLeft:
    case Key::kRight: {
      MoveKey key = input.key == Key::kUp     ? MoveKey::kUp
                    : input.key == Key::kDown ? MoveKey::kDown
                    : input.key == Key::kLeft ? MoveKey::kLeft
                                              : MoveKey::kRight;
      FocusMove move = Rules().Move(focus_, key);
      if (move.taken)
        Follow(move);
      else if (focused != nullptr && focused->IsEdit())
        TakeEditKey(*focused, input);
      return;
    }
    default:
      if (focused != nullptr && focused->IsEdit()) TakeEditKey(*focused, input);
      return;
  }
}

void TerminalDialogWindow::TakeEditKey(TerminalControl& control, const Input& input) {
  EditText& e = control.edit;
  bool editable = !control.ReadOnly() && control.enabled;
  bool multiLine = IsMultiLineEdit(control);
  if (multiLine && !editable && input.kind == Input::Kind::kKey && ScrollView(e, input.key)) return;
  if (input.kind == Input::Kind::kChar) {
    if (!editable) return;
    std::optional<std::string> bytes = TypedToCp932(input.code);
    if (bytes && e.Type(*bytes)) ReportChange(control);
    return;
  }
  switch (input.key) {
    case Key::kLeft: e.MoveLeft(); return;
    case Key::kRight: e.MoveRight(); return;
    case Key::kUp:
      if (multiLine) e.MoveLines(-1);
      return;
    case Key::kDown:
      if (multiLine) e.MoveLines(1);
      return;
    case Key::kHome: e.MoveHome(); return;
    case Key::kEnd: e.MoveEnd(); return;
    case Key::kPageUp:
      if (multiLine) e.MoveLines(-std::max(1, e.ViewRows() - 1));
      return;
    case Key::kPageDown:
      if (multiLine) e.MoveLines(std::max(1, e.ViewRows() - 1));
      return;
    case Key::kBackspace:
      if (editable && e.Backspace()) ReportChange(control);
      return;
    case Key::kDelete:
      if (editable && e.Delete()) ReportChange(control);
      return;
    default: return;
  }
}

void TerminalDialogWindow::TakeMouse(const Input& input) {
  if (mode_ == Mode::kSystemMenu) {
    CellRect box = SystemMenuRect();
    mode_ = Mode::kControls;
    if (input.mouse == Input::Mouse::kPress && box.Contains(input.row, input.col) && input.row > box.row &&
        input.row < box.Bottom() - 1)
      ChooseSystemMenu(input.row - box.row - 1);
    return;
  }
  CellRect client = ClientOnScreen();
  int row = input.row - client.row;
  int col = input.col - client.col;
  if (input.mouse != Input::Mouse::kPress) {
    for (TerminalControl& c : controls_) {
      if (!c.visible || !IsMultiLineEdit(c) || !c.cells.Contains(row, col)) continue;
      int step = input.mouse == Input::Mouse::kWheelUp ? -1 : 1;
      // Shift turns the wheel sideways.
      if (input.shift)
        c.edit.ScrollAcross(step * kWheelCells);
      else
        c.edit.Scroll(step * kWheelLines);
      return;
    }
    return;
  }
  for (std::size_t i = 0; i < menuItemCells_.size() && MenuRows() > 0; ++i)
    if (menuItemCells_[i].Contains(input.row, input.col)) {
      ChooseMenu(static_cast<int>(i));
      return;
    }
  mode_ = Mode::kControls;
  if (!Intersect(client, desk_).Contains(input.row, input.col)) return;
  for (TerminalControl& c : controls_) {
    if (!c.visible || !(c.IsButton() || c.IsEdit()) || !c.cells.Contains(row, col)) continue;
    if (!c.enabled) return;
    MoveFocus(c, false);
    if (c.IsEdit()) {
      if (c.textArea.Contains(row, col)) c.edit.PlaceAt(row - c.textArea.row, col - c.textArea.col);
    } else {
      Click(c);
    }
    return;
  }
}

void TerminalDialogWindow::ChooseMenu(int index) {
  mode_ = Mode::kControls;
  const std::vector<MenuItem>& items = tmpl_.menu->items;
  if (index < 0 || index >= static_cast<int>(items.size())) return;
  if (Delivering()) DialogEvents::DeliverMenuCommand(dialog_, items[static_cast<std::size_t>(index)].command);
}

void TerminalDialogWindow::ChooseSystemMenu(int index) {
  mode_ = Mode::kControls;
  std::vector<MenuEntry> entries = SystemMenuEntries();
  if (index < 0 || index >= static_cast<int>(entries.size())) return;
  const MenuEntry& e = entries[static_cast<std::size_t>(index)];
  if (e.command <= 0 || !e.enabled) return;
  if (Delivering()) DialogEvents::DeliverSysCommand(dialog_, e.command);
}

void TerminalDialogWindow::TakeMenuKey(const Input& input) {
  int count = static_cast<int>(tmpl_.menu->items.size());
  if (input.alt && input.kind == Input::Kind::kChar && (input.code == U' ' || input.code == U'-')) {
    OpenSystemMenu();
    return;
  }
  switch (input.key) {
    case Key::kLeft: menuIndex_ = (menuIndex_ + count - 1) % count; return;
    case Key::kRight: menuIndex_ = (menuIndex_ + 1) % count; return;
    case Key::kEnter:
    case Key::kDown: ChooseMenu(menuIndex_); return;
    case Key::kEscape:
    case Key::kF10:
    case Key::kTab: mode_ = Mode::kControls; return;
    default: return;
  }
}

void TerminalDialogWindow::TakeSystemMenuKey(const Input& input) {
  std::vector<MenuEntry> entries = SystemMenuEntries();
  int count = static_cast<int>(entries.size());
  auto selectable = [&](int i) {
    const MenuEntry& e = entries[static_cast<std::size_t>(i)];
    return e.command != 0 && e.enabled;
  };
  auto step = [&](int direction) {
    for (int n = 1; n <= count; ++n) {
      int i = ((menuIndex_ + direction * n) % count + count) % count;
      if (selectable(i)) {
        menuIndex_ = i;
        return;
      }
    }
  };
  if (input.kind == Input::Kind::kChar) {
    if (input.alt) {
      mode_ = Mode::kControls;
      return;
    }
    char32_t upper = input.code >= U'a' && input.code <= U'z' ? input.code - U'a' + U'A' : input.code;
    for (int i = 0; i < count; ++i)
      if (selectable(i) && static_cast<char32_t>(AccessLetter(entries[static_cast<std::size_t>(i)].text)) == upper) {
        ChooseSystemMenu(i);
        return;
      }
    return;
  }
  switch (input.key) {
    case Key::kUp: step(-1); return;
    case Key::kDown: step(1); return;
    case Key::kEnter: ChooseSystemMenu(menuIndex_); return;
    case Key::kEscape:
    case Key::kF10: mode_ = Mode::kControls; return;
    case Key::kAltF4:
      mode_ = Mode::kControls;
      if (Delivering()) DialogEvents::DeliverSysCommand(dialog_, kCloseCommand);
      return;
    default: return;
  }
}

}  // namespace platform::dialog::terminal
