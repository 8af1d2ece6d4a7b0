#include "platform/dialog/qt/sideways_text_edit.h"

#include <algorithm>  // std::max
#include <cmath>      // std::ceil

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextLine>

namespace platform::dialog::qt {
namespace {

// The width a line takes laid out unwrapped, as the document lays it out:
// the same face and text options.
qreal NaturalWidth(const QString& text, const QFont& font, const QTextOption& option) {
  QTextLayout layout(text, font);
  QTextOption unwrapped = option;
  unwrapped.setWrapMode(QTextOption::NoWrap);
  layout.setTextOption(unwrapped);
  layout.beginLayout();
  QTextLine line = layout.createLine();
  qreal width = 0;
  if (line.isValid()) {
    line.setLineWidth(1e6);
    width = line.naturalTextWidth();
  }
  layout.endLayout();
  return width;
}

}  // namespace

SidewaysTextEdit::SidewaysTextEdit(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(false);
  setWordWrapMode(QTextOption::NoWrap);
  // The lines are laid out in a width of their own, whatever the view's.
  setLineWrapMode(QTextEdit::FixedPixelWidth);
  QObject::connect(document(), &QTextDocument::contentsChanged, this, [this] { FitWidth(); });
}

void SidewaysTextEdit::SetShownText(const QString& text) {
  setPlainText(text);
  FitWidth();
  firstViewPending_ = true;
  if (isVisible()) ScrollToFirstView();
}

void SidewaysTextEdit::showEvent(QShowEvent* event) {
  QTextEdit::showEvent(event);
  FitWidth();
  if (firstViewPending_) ScrollToFirstView();
}

void SidewaysTextEdit::changeEvent(QEvent* event) {
  QTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitWidth();
}

void SidewaysTextEdit::FitWidth() {
  QTextOption option = document()->defaultTextOption();
  qreal widest = 0;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
    widest = std::max(widest, NaturalWidth(block.text(), document()->defaultFont(), option));
  // Room for the margins on both sides and the caret after the longest
  // line's last character.
  qreal margins = 2 * document()->documentMargin();
  int width = std::max(viewport()->width(), static_cast<int>(std::ceil(widest + margins)) + cursorWidth() + 1);
  if (lineWrapColumnOrWidth() != width) setLineWrapColumnOrWidth(width);
}

void SidewaysTextEdit::ScrollToFirstView() {
  firstViewPending_ = false;
  bool right = (document()->defaultTextOption().alignment() & Qt::AlignRight) != 0;
  QScrollBar* bar = horizontalScrollBar();
  bar->setValue(right ? bar->maximum() : bar->minimum());
}

}  // namespace platform::dialog::qt
