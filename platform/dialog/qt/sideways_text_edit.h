// A multi-line edit that scrolls sideways rather than wrapping its lines.
// Its lines are laid out in the width of the longest one (or of the view,
// where that is wider): right-aligned lines stand against the right edge of
// that width, so a line that fits the view is right-aligned in it and a
// longer one can be scrolled into view from its first character, and the
// horizontal scroll bar reaches exactly the longest line. A text the program
// sets shows the lines' ends first where the lines are right-aligned, their
// starts otherwise. Knows nothing of templates or of CP932.
#pragma once

#include <QTextEdit>

class QShowEvent;

namespace platform::dialog::qt {

class SidewaysTextEdit : public QTextEdit {
 public:
  explicit SidewaysTextEdit(QWidget* parent);

  // Sets the text and scrolls to where a new text is first shown.
  void SetShownText(const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  // Lays the lines out in the width of the longest one.
  void FitWidth();
  void ScrollToFirstView();

  bool firstViewPending_ = false;  // a text was set and not yet shown
};

}  // namespace platform::dialog::qt
