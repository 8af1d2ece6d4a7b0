// Texts drawn on the dialog's own line pitch: static texts, the captions of
// multi-line buttons, group boxes and message box texts. A line is one
// dialog cell high (BaseUnits::y), whatever line height the face that
// stands in for the template's font has, so that texts laid out for the
// original face fit their rectangles. Knows nothing about the dialog.
#pragma once

#include <QPalette>
#include <QString>
#include <QWidget>

class QPainter;

namespace platform::dialog::qt {

// Lays out `text` in `width` pixels, `pitch` pixels a line, wrapping at
// word boundaries or anywhere (a Japanese line breaks between characters)
// when `wrap` holds, and at line breaks always; draws it when `painter` is
// given, with the top of the first line at `top`. Returns the height used.
int DrawDialogText(QPainter* painter, const QFont& font, const QString& text, int width, int pitch, bool wrap,
                   Qt::Alignment across, int top);

// `font`, or the same face narrowed (down to 76% of its width) just so far
// that `text` laid out as DrawDialogText does needs no more than `room`
// pixels in height, or across `width` pixels on one line when it does not
// wrap. The templates were drawn for a face whose kana are narrower than
// the stand-in's, so a text that would lose its last line or its end is
// narrowed instead; a text that fits keeps the face as it is.
QFont FittingFont(const QFont& font, const QString& text, int width, int room, int pitch, bool wrap);

// A static text, or the caption inside a multi-line push button. A single
// line is centred vertically in the text's rectangle; several lines start
// at its top, or are centred as a block where `centreBlock` is set (button
// captions). A text too long for the rectangle is drawn narrower
// (FittingFont). The widget may reach `bleed` pixels above and below that
// rectangle, so that the ink of a face taller than a line is not cut.
class DialogText : public QWidget {
 public:
  DialogText(QWidget* parent, int pitch, QPalette::ColorRole role = QPalette::WindowText);

  QString text() const { return text_; }
  void setText(const QString& text);
  Qt::Alignment alignment() const { return across_; }
  void setAlignment(Qt::Alignment across);
  void setWordWrap(bool wrap);
  void setCentreBlock(bool centre);
  void setBleed(int bleed);
  int pitch() const { return pitch_; }
  int bleed() const { return bleed_; }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  int pitch_;
  QPalette::ColorRole role_;
  Qt::Alignment across_ = Qt::AlignLeft;
  bool wrap_ = true;
  bool centreBlock_ = false;
  int bleed_ = 0;
};

// How far the ink of `font` may reach past a line `pitch` pixels high.
int BleedOf(const QFont& font, int pitch);

// A group box: an etched frame whose top edge runs half a line below the
// widget's top, with the title drawn into that edge, one base unit in, and
// narrowed where it would pass the frame's far edge (FittingFont). It
// takes no mouse clicks and no focus; the controls inside are its
// siblings, drawn over it.
class GroupFrame : public QWidget {
 public:
  GroupFrame(QWidget* parent, int pitch, int inset);

  QString title() const { return title_; }
  void setTitle(const QString& title);
  // The frame's top edge, in the widget's coordinates.
  int frameTop() const { return pitch_ / 2; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString title_;
  int pitch_;
  int inset_;
};

}  // namespace platform::dialog::qt
