// Dialog templates as data: what a dialog looks like (caption, size, font,
// style, menu, controls with their rectangles and styles). Every backend
// builds its window from the same template; the behaviour lives in the
// dialog's class (dialog.h), never here.
//
// Texts in a template are written as UTF-8 literals in the source, as the
// system's texts are written; they stand for CP932 texts (TemplateText gives
// those). Rectangles and sizes are in dialog units: a quarter of the font's
// average character width across, an eighth of its height down.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform::dialog {

// Result and command IDs with a meaning of their own.
inline constexpr int kIdOk = 1;      // the OK action; also what Enter sends with no default button
inline constexpr int kIdCancel = 2;  // the cancel action; what Escape and the close box send
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
inline constexpr int kNoId = -1;              // a control without an ID (labels, frames)
inline constexpr int kHelpCommand = 57670;    // the standard help command (F1)
inline constexpr int kCloseCommand = 0xF060;  // system command: close the window

// Styles of a dialog; combine with |. Every dialog has a dialog frame that
// cannot be resized and comes to the front when it is shown, so there are
// no styles for those.
enum DialogStyle : unsigned {
  kCaption = 1u << 0,     // a caption bar
  kSystemMenu = 1u << 1,  // a system menu and a close box on the caption bar
  kMinimiseBox = 1u << 3,
  kTaskBar = 1u << 4,      // shown in the task bar as a window of its own
  kCentreMouse = 1u << 5,  // placed centred on the mouse position
};

enum class ControlKind {
  kPushButton,
  kRadioButton,
  kCheckBox,
  kGroupBox,
  kStatic,  // a static text
  kEdit,
  kIcon,  // a static icon; `resource` names the icon
};

// Styles of a control; combine with |. Which kinds honour which is noted.
// A multi-line edit always scrolls down as its text grows.
enum ControlStyle : unsigned {
  kDisabled = 1u << 0,     // any kind: created disabled
  kHidden = 1u << 1,       // any kind: created invisible
  kTabStop = 1u << 2,      // any kind: Tab stops here
  kGroup = 1u << 3,        // any kind: starts a group (radio groups end at the next one)
  kDefault = 1u << 4,      // push button: the default button, pressed by Enter
  kMultiLine = 1u << 5,    // push button (text wraps), edit (several lines, CR LF between them)
  kAuto = 1u << 6,         // radio button, check box: the click sets the check itself
  kReadOnly = 1u << 7,     // edit
  kRightAlign = 1u << 8,   // edit, static
  kAutoHScroll = 1u << 9,  // edit: text scrolls sideways instead of stopping at the edge
  kHScrollBar = 1u << 11,  // edit
  kVScrollBar = 1u << 12,  // edit
  kWantReturn = 1u << 13,  // multi-line edit: Enter types a line break instead of pressing the default button
  kBorder = 1u << 14,      // edit
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

struct ControlTemplate {
  int id = kNoId;
  ControlKind kind = ControlKind::kStatic;
  std::string_view text{};  // UTF-8 literal; the caption or the initial text
  Rect rect{};
  unsigned style = 0;
  int textLimit = 0;  // edit: at most this many bytes can be typed; 0 means no limit
  int resource = 0;   // icon: the icon resource ID
};

// One control per line of a table:
//   PushButton(kIdOk, "OK", {298, 7, 50, 14}, kDefault | kTabStop),
//   Edit(1007, {222, 173, 117, 14}, kBorder | kAutoHScroll | kDisabled),
//   Label("例：   C", {223, 145, 116, 18}),
constexpr ControlTemplate PushButton(int id, std::string_view text, Rect rect, unsigned style = 0) {
  return {id, ControlKind::kPushButton, text, rect, style};
}
constexpr ControlTemplate Radio(int id, std::string_view text, Rect rect, unsigned style = 0) {
  return {id, ControlKind::kRadioButton, text, rect, style};
}
constexpr ControlTemplate CheckBox(int id, std::string_view text, Rect rect, unsigned style = 0) {
  return {id, ControlKind::kCheckBox, text, rect, style};
}
// An edit starts empty; `textLimit` as in ControlTemplate.
constexpr ControlTemplate Edit(int id, Rect rect, unsigned style = 0, int textLimit = 0) {
  return {id, ControlKind::kEdit, {}, rect, style, textLimit};
}
// Group boxes, labels and icons have no ID: nothing reacts to them.
constexpr ControlTemplate GroupBox(std::string_view text, Rect rect, unsigned style = 0) {
  return {kNoId, ControlKind::kGroupBox, text, rect, style};
}
constexpr ControlTemplate Label(std::string_view text, Rect rect, unsigned style = 0) {
  return {kNoId, ControlKind::kStatic, text, rect, style};
}
constexpr ControlTemplate Icon(int resource, Rect rect, unsigned style = 0) {
  return {kNoId, ControlKind::kIcon, {}, rect, style, 0, resource};
}

struct MenuItem {
  int command = 0;
  std::string_view text{};  // UTF-8 literal
};

// A menu bar of commands (no pull-downs: the programs use none).
struct MenuTemplate {
  int id = 0;
  std::vector<MenuItem> items{};
};

struct Font {
  std::string_view name{};  // UTF-8 literal
  int points = 9;
};

// Every member has a default, so that a table names only what it needs
// (designated initialisers) without missing-initialiser warnings.
struct DialogTemplate {
  int id = 0;
  std::string_view caption{};  // UTF-8 literal
  int width = 0;               // dialog units
  int height = 0;
  Font font{};
  unsigned style = 0;
  const MenuTemplate* menu = nullptr;  // the menu bar, or none
  std::vector<ControlTemplate> controls{};
};

// A template text as the CP932 text it stands for.
std::string TemplateText(std::string_view utf8);

// The control with this ID, or nullptr. IDs are unique within a template
// except kNoId.
const ControlTemplate* FindControl(const DialogTemplate& t, int id);

// The IDs of the radio buttons in the group of radio button `id`, in template
// order: the group runs from the nearest control at or before `id` that has
// kGroup up to the control before the next one with kGroup. Empty when `id`
// is not a radio button of the template.
std::vector<int> RadioGroupOf(const DialogTemplate& t, int id);

// The ID of the default push button, or kIdOk when there is none.
int DefaultButtonOf(const DialogTemplate& t);

// What is wrong with a template, one UTF-8 sentence per fault, naming the
// dialog and the control: a control ID used twice, a control that does not
// lie wholly inside the dialog, more than one default button, a text that
// has no CP932 form. Empty when the template is sound.
std::vector<std::string> TemplateProblems(const DialogTemplate& t);

}  // namespace platform::dialog
