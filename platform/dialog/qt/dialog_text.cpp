#include "platform/dialog/qt/dialog_text.h"

#include <algorithm>  // std::max, std::min

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>
#include <QTextOption>

namespace platform::dialog::qt {
namespace {

QPalette::ColorGroup GroupOf(const QWidget& widget) {
  if (!widget.isEnabled()) return QPalette::Disabled;
  return widget.isActiveWindow() ? QPalette::Active : QPalette::Inactive;
}

}  // namespace

int DrawDialogText(QPainter* painter, const QFont& font, const QString& text, int width, int pitch, bool wrap,
                   Qt::Alignment across, int top) {
  // Line breaks of the system's texts (CR LF) and of Qt's (LF) alike.
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
  shown.replace(QLatin1Char('\n'), QChar::LineSeparator);
  QFontMetricsF metrics(font);
  // The face's own line box is centred on the pitch, so that a face with a
  // taller line than the original's loses nothing at either edge.
  qreal baseline = (pitch - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent();
  QTextLayout layout(shown, font);
  QTextOption option(across & Qt::AlignHorizontal_Mask);
  option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
  layout.setTextOption(option);
  layout.beginLayout();
  int lines = 0;
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(std::max(width, 0));
    line.setPosition(QPointF(0, top + lines * pitch + baseline - line.ascent()));
    ++lines;
  }
  layout.endLayout();
  if (painter != nullptr) layout.draw(painter, QPointF(0, 0));
  return lines * pitch;
}

QFont FittingFont(const QFont& font, const QString& text, int width, int room, int pitch, bool wrap) {
  auto fits = [&](const QFont& face) {
    if (wrap) return DrawDialogText(nullptr, face, text, width, pitch, true, Qt::AlignLeft, 0) <= room;
    return QFontMetricsF(face).horizontalAdvance(text) <= width;
  };
  if (text.isEmpty() || fits(font)) return font;
  QFont narrow = font;
  for (int stretch = 98; stretch >= 76; stretch -= 2) {
    narrow.setStretch(stretch);
    if (fits(narrow)) break;
  }
  return narrow;
}

// DialogText.

DialogText::DialogText(QWidget* parent, int pitch, QPalette::ColorRole role)
    : QWidget(parent), pitch_(std::max(pitch, 1)), role_(role) {}

void DialogText::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  updateGeometry();
  update();
}

void DialogText::setAlignment(Qt::Alignment across) {
  across_ = across;
  update();
}

void DialogText::setWordWrap(bool wrap) {
  wrap_ = wrap;
  updateGeometry();
  update();
}

void DialogText::setCentreBlock(bool centre) {
  centreBlock_ = centre;
  update();
}

void DialogText::setBleed(int bleed) {
  bleed_ = std::max(bleed, 0);
  update();
}

int BleedOf(const QFont& font, int pitch) {
  QFontMetricsF metrics(font);
  return std::max(0, static_cast<int>(metrics.ascent() + metrics.descent() + 1.0) - pitch) / 2 + 1;
}

int DialogText::heightForWidth(int width) const {
  return DrawDialogText(nullptr, font(), text_, width, pitch_, wrap_, across_, 0);
}

QSize DialogText::sizeHint() const {
  QFontMetricsF metrics(font());
  int lines = static_cast<int>(text_.count(QLatin1Char('\n'))) + 1;
  int widest = 0;
  for (const QString& line : text_.split(QLatin1Char('\n')))
    widest = std::max(widest, static_cast<int>(metrics.horizontalAdvance(line) + 1));
  return QSize(widest, lines * pitch_);
}

void DialogText::paintEvent(QPaintEvent*) {
  if (text_.isEmpty()) return;
  QPainter painter(this);
  painter.setPen(palette().color(GroupOf(*this), role_));
  int used = heightForWidth(width());
  // One line is centred in the rectangle; a block of several lines starts
  // at the top unless it is asked to stand in the middle.
  int room = height() - 2 * bleed_;
  int top = bleed_;
  QFont face = FittingFont(font(), text_, width(), room, pitch_, wrap_);
  if (face != font()) used = DrawDialogText(nullptr, face, text_, width(), pitch_, wrap_, across_, 0);
  if (used <= pitch_)
    top += (room - used) / 2;
  else if (centreBlock_)
    top += std::max(0, (room - used) / 2);
  DrawDialogText(&painter, face, text_, width(), pitch_, wrap_, across_, top);
}

// GroupFrame.

GroupFrame::GroupFrame(QWidget* parent, int pitch, int inset)
    : QWidget(parent), pitch_(std::max(pitch, 2)), inset_(inset) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setFocusPolicy(Qt::NoFocus);
}

void GroupFrame::setTitle(const QString& title) {
  title_ = title;
  update();
}

void GroupFrame::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  int top = frameTop();
  int w = width();
  int h = height();
  // Etched: a shadow line, and a light one a pixel further in and down.
  const QPalette& pal = palette();
  painter.setPen(pal.color(GroupOf(*this), QPalette::Mid));
  painter.drawRect(0, top, w - 2, h - top - 2);
  painter.setPen(pal.color(GroupOf(*this), QPalette::Light));
  painter.drawLine(1, top + 1, w - 3, top + 1);
  painter.drawLine(1, top + 1, 1, h - 3);
  painter.drawLine(0, h - 1, w - 1, h - 1);
  painter.drawLine(w - 1, top, w - 1, h - 1);
  if (title_.isEmpty()) return;
  // The title interrupts the top edge, with a little room on either side,
  // and may run up to the far edge.
  constexpr int kRoom = 2;
  int room = std::max(0, w - inset_ - kRoom);
  QFont face = FittingFont(font(), title_, room - 1, pitch_, pitch_, false);
  int textWidth = std::min(static_cast<int>(QFontMetricsF(face).horizontalAdvance(title_)) + 1, room);
  painter.fillRect(inset_ - kRoom, 0, textWidth + 2 * kRoom, pitch_, pal.color(GroupOf(*this), QPalette::Window));
  painter.setPen(pal.color(GroupOf(*this), QPalette::WindowText));
  painter.translate(inset_, 0);
  // Ink below the line (an underscore) may reach into the frame.
  painter.setClipRect(0, 0, textWidth, pitch_ + BleedOf(face, pitch_));
  DrawDialogText(&painter, face, title_, textWidth, pitch_, false, Qt::AlignLeft, 0);
}

}  // namespace platform::dialog::qt
