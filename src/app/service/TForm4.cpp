#include "TForm4.h"

#include "DialogService.h"
#include "WindowPlacement.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orsa::app {
namespace {

// Not a secret: it keeps the everyday user out of the modem commands, nothing more.
const QString kAccessCode = QStringLiteral("47");

}  // namespace

TForm4::TForm4(DialogService& dialogs, QWidget* owner) : QWidget(owner, Qt::Tool), dialogs_(dialogs) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("Инженерное меню"));
  resize(kWidth, kHeight);

  prompt_ = new QLabel(QStringLiteral("Введите пароль"), this);
  prompt_->setObjectName(QStringLiteral("Label1"));
  prompt_->setGeometry(24, 16, 242, 17);

  code_ = new QLineEdit(this);
  code_->setObjectName(QStringLiteral("MaskEdit1"));
  code_->setEchoMode(QLineEdit::Password);
  // The star every desktop has shown for hidden text, not the style's own dot.
  code_->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
  code_->setGeometry(24, 38, 242, 23);

  enter_ = new QPushButton(QStringLiteral("Вход"), this);
  enter_->setObjectName(QStringLiteral("Button1"));
  enter_->setGeometry(48, 80, 88, 27);
  cancel_ = new QPushButton(QStringLiteral("Отмена"), this);
  cancel_->setObjectName(QStringLiteral("Button2"));
  cancel_->setGeometry(154, 80, 88, 27);

  connect(code_, &QLineEdit::returnPressed, this, &TForm4::checkCode);
  connect(enter_, &QPushButton::clicked, this, &TForm4::checkCode);
  connect(cancel_, &QPushButton::clicked, this, &QWidget::hide);
}

void TForm4::open() {
  if (!isVisible() && parentWidget() != nullptr) {
    centreWindowAt(*this, parentWidget()->frameGeometry().center());
  }
  show();
  raise();
  activateWindow();
  code_->setFocus();
  code_->clear();
}

void TForm4::checkCode() {
  if (code_->text() == kAccessCode) {
    hide();
    emit codeAccepted();
    return;
  }
  dialogs_.message(QStringLiteral("Неправильный пароль"), QStringLiteral("Конфигуратор"), DialogService::Icon::Warning,
                   DialogService::Buttons::Ok);
  code_->clear();
}

}  // namespace orsa::app
