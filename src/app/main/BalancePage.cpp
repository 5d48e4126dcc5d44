#include "BalancePage.h"

#include "PageKit.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

namespace orsa::app {

BalancePage::BalancePage(QWidget* parent) : QWidget(parent) {
  auto* threshold = kit::group(this, QStringLiteral("Порог остатка средств"), {8, 46, 500, 124});
  kit::label(threshold, QStringLiteral("Порог остатка средств:"), {16, 33});
  kit::edit(threshold, QStringLiteral("Edit3"), {170, 30, 80, 0}, QStringLiteral("50"), kit::kSlotTextMax);
  kit::memo(threshold, QStringLiteral("Memo25"),
            QStringLiteral("Когда остаток средств на счёте SIM-карты устройства опускается ниже "
                           "этого значения, устройство присылает владельцу напоминание о "
                           "необходимости пополнить счёт."),
            {16, 62, 468, 54});

  auto* code = kit::group(this, QStringLiteral("Код запроса баланса"), {8, 178, 500, 196});
  kit::radio(code, QStringLiteral("RadioButton6"), QStringLiteral("Определять автоматически"), {16, 22, 300, 19}, true);
  auto* explicitCode =
      kit::radio(code, QStringLiteral("RadioButton7"), QStringLiteral("Задать явно"), {16, 46, 110, 19});
  auto* edit4 = kit::edit(code, QStringLiteral("Edit4"), {130, 45, 150, 0}, QString(), kit::kSlotTextMax);
  // Typing a code only makes sense with the explicit choice.
  connect(explicitCode, &QRadioButton::toggled, edit4, &QLineEdit::setEnabled);
  kit::memo(code, QStringLiteral("Memo24"),
            QStringLiteral("Для SIM-карт операторов МТС, Билайн, Мегафон и Теле2 код запроса баланса "
                           "определяется автоматически. Если в устройстве установлена SIM-карта "
                           "другого оператора, выберите \"Задать явно\" и введите код запроса баланса "
                           "этого оператора, например *100#."),
            {16, 78, 468, 84});
}

}  // namespace orsa::app
