#include "platform/dialog/qt/qt_message_box.h"

#include <algorithm>  // std::max, std::min

#include <QCloseEvent>
#include <QDialog>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include "platform/dialog/qt/controls.h"
#include "platform/dialog/qt/dialog_text.h"
#include "platform/dialog/qt/dialog_units.h"

namespace platform::dialog::qt {
namespace {

// A text wraps at 40 full-width characters, or at three fifths of the
// screen where that is narrower.
constexpr int kWrapEms = 40;

// The box's window. An OK box is closed by Escape and by its close box,
// both answering OK, as its one button would. A Yes/No box asks a question
// that the caller must have answered: it has no close box, and Escape does
// nothing, since neither answer may be taken for the user.
class BoxDialog : public QDialog {
 public:
  BoxDialog(QWidget* owner, bool question)
      : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           (question ? Qt::WindowFlags() : Qt::WindowCloseButtonHint)),
        question_(question) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
      reject();
      return;
    }
    // A button's access letter works without Alt, as in a dialog.
    if (event->modifiers() == Qt::NoModifier && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) {
      for (QPushButton* button : findChildren<QPushButton*>())
        if (QKeySequence::mnemonic(button->text()) == QKeySequence(Qt::ALT | Qt::Key(event->key()))) {
          button->click();
          return;
        }
    }
    // Enter presses the button with the focus, as QDialog does.
    QDialog::keyPressEvent(event);
  }

  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    reject();
  }

  void reject() override {
    if (!question_) done(kIdOk);
  }

 private:
  bool question_;
};

}  // namespace

QtMessageBox::QtMessageBox(QWidget* owner, std::string_view text, std::string_view caption, Buttons buttons)
    : box_(std::make_unique<BoxDialog>(owner, buttons == Buttons::kYesNo)), text_(text), buttons_(buttons) {
  QDialog& box = *box_;
  box.setObjectName(QStringLiteral("message_box"));
  // The desktop's Japanese message face, as the dialogs draw theirs.
  box.setFont(DialogFont(Font{"MS UI Gothic", 9}));
  // Only the owner chain is blocked, so that a help viewer stays usable.
  box.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  SetTitle(caption);

  BaseUnits units = BaseUnitsOf(box.font());
  const int margin = DluToPixelsX(7, units);
  const int gap = DluToPixelsX(7, units);
  const int iconSize = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);

  bool question = buttons == Buttons::kYesNo;
  icon_ = new QLabel(&box);
  icon_->setObjectName(QStringLiteral("message_icon"));
  QIcon icon = box.style()->standardIcon(question ? QStyle::SP_MessageBoxQuestion : QStyle::SP_MessageBoxInformation,
                                         nullptr, &box);
  icon_->setPixmap(icon.pixmap(QSize(iconSize, iconSize)));

  textWidget_ = new DialogText(&box, units.y);
  textWidget_->setObjectName(QStringLiteral("message_text"));
  textWidget_->setFont(box.font());
  textWidget_->setText(ToQtMultiLine(text));
  int limit = units.x * 2 * kWrapEms;
  if (QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen())
    limit = std::min(limit, screen->availableGeometry().width() * 3 / 5);
  QSize natural = textWidget_->sizeHint();
  int textWidth = std::min(natural.width(), limit);
  int textHeight = textWidget_->heightForWidth(textWidth);

  // The buttons have the dialog manager's size, 50 x 14 units, and stand
  // centred under the text.
  QList<QPushButton*> row;
  if (question) {
    row << new QPushButton(QString::fromUtf8("はい(&Y)"), &box)
        << new QPushButton(QString::fromUtf8("いいえ(&N)"), &box);
    QObject::connect(row[0], &QPushButton::clicked, &box, [&box] { box.done(kIdYes); });
    QObject::connect(row[1], &QPushButton::clicked, &box, [&box] { box.done(kIdNo); });
  } else {
    row << new QPushButton(QStringLiteral("OK"), &box);
    QObject::connect(row[0], &QPushButton::clicked, &box, [&box] { box.done(kIdOk); });
  }
  QSize buttonSize(DluToPixelsX(50, units), DluToPixelsY(14, units));
  int spacing = DluToPixelsX(4, units);
  int rowWidth = static_cast<int>(row.size()) * buttonSize.width() + static_cast<int>(row.size() - 1) * spacing;

  int contentWidth = iconSize + gap + textWidth;
  int contentHeight = std::max(iconSize, textHeight);
  int width = 2 * margin + std::max(contentWidth, rowWidth);
  int buttonsTop = margin + contentHeight + DluToPixelsY(7, units);
  int height = buttonsTop + buttonSize.height() + margin;
  int left = (width - contentWidth) / 2;
  icon_->setGeometry(left, margin + (contentHeight - iconSize) / 2, iconSize, iconSize);
  textWidget_->setGeometry(left + iconSize + gap, margin + (contentHeight - textHeight) / 2, textWidth, textHeight);
  int x = (width - rowWidth) / 2;
  for (QPushButton* button : row) {
    button->setGeometry(QRect(QPoint(x, buttonsTop), buttonSize));
    x += buttonSize.width() + spacing;
  }
  // The first button is the default one and has the focus.
  row[0]->setDefault(true);
  row[0]->setFocus(Qt::OtherFocusReason);
  box.setFixedSize(width, height);
}

QtMessageBox::~QtMessageBox() = default;

void QtMessageBox::SetTitle(std::string_view cp932) {
  title_ = std::string(cp932);
  box_->setWindowTitle(ToQtTitle(cp932));
}

QWidget* QtMessageBox::Widget() const { return box_.get(); }

QList<QPushButton*> QtMessageBox::ButtonList() const { return box_->findChildren<QPushButton*>(); }

int QtMessageBox::Run() {
  int answer = box_->exec();
  if (buttons_ == Buttons::kYesNo) return answer == kIdYes ? kIdYes : kIdNo;
  return kIdOk;
}

}  // namespace platform::dialog::qt
