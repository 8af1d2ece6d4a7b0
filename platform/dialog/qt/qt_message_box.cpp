#include "platform/dialog/qt/qt_message_box.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include "platform/dialog/qt/controls.h"
#include "platform/dialog/qt/dialog_units.h"

namespace platform::dialog::qt {

QtMessageBox::QtMessageBox(QWidget* owner, std::string_view text, std::string_view caption,
                           Buttons buttons)
    : box_(std::make_unique<QMessageBox>(owner)), text_(text), buttons_(buttons) {
  box_->setObjectName(QStringLiteral("message_box"));
  // The desktop's Japanese message face, as the dialogs draw theirs.
  box_->setFont(DialogFont(Font{"MS UI Gothic", 9}));
  box_->setTextFormat(Qt::PlainText);
  box_->setText(ToQt(text));
  // Only the owner chain is blocked, so that a help viewer stays usable.
  box_->setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  SetTitle(caption);
  if (buttons == Buttons::kYesNo) {
    QPushButton* yes = box_->addButton(QMessageBox::Yes);
    yes->setText(QString::fromUtf8("はい(&Y)"));
    QPushButton* no = box_->addButton(QMessageBox::No);
    no->setText(QString::fromUtf8("いいえ(&N)"));
    box_->setDefaultButton(yes);
  } else {
    QPushButton* ok = box_->addButton(QMessageBox::Ok);
    ok->setText(QStringLiteral("OK"));
    box_->setDefaultButton(ok);
  }
}

QtMessageBox::~QtMessageBox() = default;

void QtMessageBox::SetTitle(std::string_view cp932) {
  title_ = std::string(cp932);
  box_->setWindowTitle(ToQtTitle(cp932));
}

QWidget* QtMessageBox::Widget() const { return box_.get(); }

int QtMessageBox::Run() {
  box_->exec();
  QAbstractButton* clicked = box_->clickedButton();
  QMessageBox::StandardButton which =
      clicked != nullptr ? box_->standardButton(clicked) : QMessageBox::NoButton;
  if (buttons_ == Buttons::kYesNo) return which == QMessageBox::Yes ? kIdYes : kIdNo;
  return kIdOk;
}

}  // namespace platform::dialog::qt
