#include "platform/dialog/qt/controls.h"

#include <optional>

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QTextOption>
#include <QValidator>

#include "platform/dialog/qt/dialog_text.h"
#include "platform/dialog/qt/dialog_units.h"
#include "platform/dialog/qt/icons.h"
#include "platform/dialog/qt/sideways_text_edit.h"
#include "platform/text/cp932.h"

namespace platform::dialog::qt {
namespace {

// Refuses typing that would leave an edit with text CP932 cannot hold, or
// with more bytes than its limit.
class TypingValidator : public QValidator {
 public:
  TypingValidator(Control& control, QObject* parent) : QValidator(parent), control_(control) {}

  State validate(QString& input, int&) const override {
    // What the program sets is never refused, even past the limit.
    if (control_.settingText) return Acceptable;
    return AcceptsTyping(control_, input) ? Acceptable : Invalid;
  }

 private:
  Control& control_;
};

// An ampersand marks the next letter as the access key in the dialog
// manager's captions; a label that draws such a caption shows the letter
// plainly, and "&&" as one ampersand.
QString WithoutAccessMarks(const QString& text) {
  QString plain;
  plain.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&')) {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
        plain += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    plain += text[i];
  }
  return plain;
}

// One CP932 conversion of a whole text; characters CP932 cannot hold (only
// possible for texts that bypassed the typing check) become '?'.
std::string ToCp932Lenient(const QString& text) {
  std::optional<std::string> whole = text::ToCp932Strict(text.toStdString());
  if (whole) return *whole;
  std::string result;
  for (char32_t point : text.toUcs4()) {
    QString one = QString::fromUcs4(&point, 1);
    std::optional<std::string> bytes = text::ToCp932Strict(one.toStdString());
    result += bytes ? *bytes : std::string("?");
  }
  return result;
}

Qt::FocusPolicy FocusPolicyOf(const ControlTemplate& tmpl) {
  if (tmpl.kind == ControlKind::kStatic || tmpl.kind == ControlKind::kGroupBox || tmpl.kind == ControlKind::kIcon)
    return Qt::NoFocus;
  return (tmpl.style & kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus;
}

// Read-only edits have the dialog's face colour behind their text, so that
// they read as fields the user cannot type into.
void ShowAsReadOnly(QWidget* edit) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Base, palette.color(QPalette::Window));
  edit->setPalette(palette);
}

// A multi-line edit shows its selection only while it has the focus, as
// the dialog manager's edits do: Tab selects an edit's whole text, and a
// result box that the focus has only passed through stays unmarked.
void HideSelectionWithoutFocus(QTextEdit* edit) {
  QPalette palette = edit->palette();
  palette.setColor(QPalette::Inactive, QPalette::Highlight, palette.color(QPalette::Base));
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, palette.color(QPalette::Text));
  edit->setPalette(palette);
}

void BuildPushButton(Control& control, QWidget* parent, BaseUnits units) {
  const ControlTemplate& tmpl = *control.tmpl;
  auto* button = new QPushButton(parent);
  button->setAutoDefault(false);
  button->setDefault((tmpl.style & kDefault) != 0);
  if ((tmpl.style & kMultiLine) != 0) {
    // QPushButton draws one line; a text inside it wraps the caption as the
    // dialog manager's multi-line buttons do, centred as a block.
    auto* layout = new QHBoxLayout(button);
    layout->setContentsMargins(3, 2, 3, 2);
    auto* label = new DialogText(button, units.y, QPalette::ButtonText);
    label->setAlignment(Qt::AlignHCenter);
    label->setCentreBlock(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(label);
    control.label = label;
  }
  control.button = button;
  control.widget = button;
}

void BuildEdit(Control& control, QWidget* parent) {
  const ControlTemplate& tmpl = *control.tmpl;
  unsigned style = tmpl.style;
  control.limit = tmpl.textLimit;
  if ((style & kMultiLine) != 0) {
    // Lines wrap at the edge unless the edit scrolls sideways.
    bool sideways = (style & (kAutoHScroll | kHScrollBar)) != 0;
    QTextEdit* edit = sideways ? new SidewaysTextEdit(parent) : new QTextEdit(parent);
    edit->setAcceptRichText(false);
    edit->setReadOnly((style & kReadOnly) != 0);
    // Tab moves between controls, as it does in a dialog.
    edit->setTabChangesFocus(true);
    if ((style & kBorder) == 0) edit->setFrameShape(QFrame::NoFrame);
    edit->setVerticalScrollBarPolicy((style & kVScrollBar) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy((style & kHScrollBar) != 0 ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    if (!sideways) edit->setLineWrapMode(QTextEdit::WidgetWidth);
    QTextOption option = edit->document()->defaultTextOption();
    option.setAlignment((style & kRightAlign) != 0 ? Qt::AlignRight : Qt::AlignLeft);
    option.setWrapMode(sideways ? QTextOption::NoWrap : QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit->document()->setDefaultTextOption(option);
    if ((style & kReadOnly) != 0) ShowAsReadOnly(edit);
    HideSelectionWithoutFocus(edit);
    control.text = edit;
    control.widget = edit;
  } else {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly((style & kReadOnly) != 0);
    edit->setFrame((style & kBorder) != 0);
    edit->setAlignment((style & kRightAlign) != 0 ? Qt::AlignRight | Qt::AlignVCenter
                                                  : Qt::AlignLeft | Qt::AlignVCenter);
    edit->setValidator(new TypingValidator(control, edit));
    if ((style & kReadOnly) != 0) ShowAsReadOnly(edit);
    control.line = edit;
    control.widget = edit;
  }
}

void BuildStatic(Control& control, QWidget* parent, BaseUnits units, QRect& rect) {
  auto* label = new DialogText(parent, units.y);
  // The widget reaches past the rectangle, so that no ink is cut.
  label->setBleed(BleedOf(parent->font(), units.y));
  rect.adjust(0, -label->bleed(), 0, label->bleed());
  label->setAlignment((control.tmpl->style & kRightAlign) != 0 ? Qt::AlignRight : Qt::AlignLeft);
  // A text takes no click: what lies under it does.
  label->setAttribute(Qt::WA_TransparentForMouseEvents);
  control.label = label;
  control.widget = label;
}

void BuildIcon(Control& control, QWidget* parent, QRect& rect) {
  auto* label = new QLabel(parent);
  QIcon icon = IconFor(control.tmpl->resource);
  // An icon control takes the size of the icon, not of its rectangle.
  rect.setSize(QSize(32, 32));
  if (!icon.isNull()) label->setPixmap(icon.pixmap(QSize(32, 32)));
  control.widget = label;
}

}  // namespace

QString ControlObjectName(const ControlTemplate& tmpl, int index) {
  if (tmpl.id != kNoId) return QStringLiteral("control_%1").arg(tmpl.id);
  return QStringLiteral("control_at_%1").arg(index);
}

void BuildControl(Control& control, const ControlTemplate& tmpl, int index, QWidget* parent, BaseUnits units) {
  control.tmpl = &tmpl;
  QRect rect = DluToPixels(tmpl.rect, units);
  switch (tmpl.kind) {
    case ControlKind::kPushButton: BuildPushButton(control, parent, units); break;
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(parent);
      // Groups follow the template's group marks, not the parent widget.
      radio->setAutoExclusive(false);
      control.button = radio;
      control.widget = radio;
      break;
    }
    case ControlKind::kCheckBox:
      control.button = new QCheckBox(parent);
      control.widget = control.button;
      break;
    case ControlKind::kGroupBox:
      // A frame drawn behind its neighbours; clicks pass through it to them.
      control.frame = new GroupFrame(parent, units.y, units.x);
      control.widget = control.frame;
      break;
    case ControlKind::kStatic: BuildStatic(control, parent, units, rect); break;
    case ControlKind::kEdit: BuildEdit(control, parent); break;
    case ControlKind::kIcon: BuildIcon(control, parent, rect); break;
  }
  control.widget->setObjectName(ControlObjectName(tmpl, index));
  control.widget->setGeometry(rect);
  control.widget->setFocusPolicy(FocusPolicyOf(tmpl));
  control.widget->setEnabled((tmpl.style & kDisabled) == 0);
  if ((tmpl.style & kHidden) != 0) control.widget->setHidden(true);
  // Group boxes are frames behind the controls they hold, whatever their
  // place in the template.
  if (tmpl.kind == ControlKind::kGroupBox) control.widget->lower();
  if (tmpl.kind != ControlKind::kIcon) WriteControlText(control, TemplateText(tmpl.text));
}

QString ToQt(std::string_view cp932) { return QString::fromStdString(text::ToUtf8(cp932)); }

std::string FromQt(const QString& text) { return ToCp932Lenient(text); }

QString ToQtTitle(std::string_view cp932) {
  QString title = ToQt(text::WholeCharacters(cp932));
  title.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
  return title;
}

QString ToQtMultiLine(std::string_view cp932) {
  QString text = ToQt(cp932);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string FromQtMultiLine(const QString& text) {
  QString crlf = text;
  crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return ToCp932Lenient(crlf);
}

bool AcceptsTyping(const Control& control, const QString& candidate) {
  QString stored = candidate;
  if (control.text != nullptr) stored.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  std::optional<std::string> bytes = text::ToCp932Strict(stored.toStdString());
  if (!bytes) return false;
  if (control.limit <= 0) return true;
  std::size_t length = bytes->size();
  return length <= static_cast<std::size_t>(control.limit) || length <= control.accepted.size();
}

std::string ReadControlText(const Control& control) {
  if (control.line != nullptr) return FromQt(control.line->text());
  if (control.text != nullptr) return FromQtMultiLine(control.text->toPlainText());
  return control.caption;
}

void WriteControlText(Control& control, std::string_view cp932) {
  if (control.line != nullptr || control.text != nullptr) {
    control.settingText = true;
    if (control.line != nullptr)
      control.line->setText(ToQt(cp932));
    else if (auto* sideways = dynamic_cast<SidewaysTextEdit*>(control.text))
      sideways->SetShownText(ToQtMultiLine(cp932));
    else
      control.text->setPlainText(ToQtMultiLine(cp932));
    control.settingText = false;
    control.accepted = ReadControlText(control);
    return;
  }
  control.caption = std::string(cp932);
  QString shown = ToQt(cp932);
  if (control.label != nullptr && control.button != nullptr) {
    control.label->setText(WithoutAccessMarks(shown));
  } else if (control.button != nullptr) {
    control.button->setText(shown);
  } else if (control.label != nullptr) {
    control.label->setText(WithoutAccessMarks(shown));
  } else if (control.frame != nullptr) {
    control.frame->setTitle(WithoutAccessMarks(shown));
  }
}

}  // namespace platform::dialog::qt
