// The widgets that stand for a template's controls, and the conversions of
// their texts between the system's CP932 and Qt. Builds one control and
// reads or writes its text and check; the window (qt_dialog_window.h) wires
// the user's actions to the dialog.
#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "platform/dialog/template.h"

class QAbstractButton;
class QLineEdit;
class QTextEdit;
class QWidget;

namespace platform::dialog::qt {

struct BaseUnits;
class DialogText;
class GroupFrame;

// One control of a running window. Exactly one of the kind pointers beside
// `widget` is set for buttons and edits; statics, group boxes and icons only
// have `widget` (and `label` where a text is drawn by a QLabel).
struct Control {
  const ControlTemplate* tmpl = nullptr;
  QWidget* widget = nullptr;
  QAbstractButton* button = nullptr;  // push button, radio button, check box
  QLineEdit* line = nullptr;          // one-line edit
  QTextEdit* text = nullptr;          // multi-line edit
  DialogText* label = nullptr;        // static text, or the caption of a multi-line button
  GroupFrame* frame = nullptr;        // group box
  std::string caption;                // CP932 caption of anything but an edit
  int limit = 0;                      // edit: most bytes the user may type; 0 = none
  std::string accepted;               // edit: the CP932 text last accepted, for the limit
  bool settingText = false;           // edit: the program is setting the text
};

// The name a control's widget gets, so that tests and tools can find it:
// "control_<id>", or "control_at_<index>" for controls without an ID.
QString ControlObjectName(const ControlTemplate& tmpl, int index);

// Builds the widget for `tmpl` as a child of `parent`, placed from dialog
// units, with the template's text, state and styles, into `control`, which
// must keep its address while the widget lives (an edit's typing check
// refers to it). The caller wires the signals.
void BuildControl(Control& control, const ControlTemplate& tmpl, int index, QWidget* parent, BaseUnits units);

// CP932 to what Qt draws, and what the user typed back to CP932. Multi-line
// edits hold LF in Qt and CR LF in the system.
QString ToQt(std::string_view cp932);
std::string FromQt(const QString& text);
QString ToQtMultiLine(std::string_view cp932);
std::string FromQtMultiLine(const QString& text);

// A CP932 window title as Qt shows it: "[*]" is Qt's mark for a modified
// window, so a literal one is doubled to be shown as it stands.
QString ToQtTitle(std::string_view cp932);

// Whether a text the user typed into an edit may stay: CP932 must hold it,
// and it may not pass the control's limit unless it is no longer than the
// text accepted before (so that deleting from an over-long text that the
// program set still works).
bool AcceptsTyping(const Control& control, const QString& candidate);

// Texts of controls as the system sees them.
std::string ReadControlText(const Control& control);
// Sets the text without telling anyone about the change.
void WriteControlText(Control& control, std::string_view cp932);

}  // namespace platform::dialog::qt
