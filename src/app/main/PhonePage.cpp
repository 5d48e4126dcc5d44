#include "PhonePage.h"

#include "PageKit.h"

namespace orsa::app {

PhonePage::PhonePage(QWidget* parent) : QWidget(parent) {
  auto* phone = kit::group(this, QStringLiteral("Номер телефона владельца"), {8, 46, 500, 160});
  kit::label(phone, QStringLiteral("Номер телефона:"), {16, 33});
  kit::filteredEdit(phone, QStringLiteral("Edit1"), {120, 30, 200, 0}, QString(), settings::FilteredField::Edit1);
  kit::memo(phone, QStringLiteral("Memo1"),
            QStringLiteral("Введите номер телефона, на который устройство будет присылать сообщения. "
                           "Номер указывается в том же формате, в котором оператор сотовой связи "
                           "доставляет SMS - сообщения на ваш телефон. Для абонентов в России это "
                           "международный формат со знаком \"+\", например: +79161234567"),
            {16, 64, 468, 84});

  auto* pin = kit::group(this, QStringLiteral("Пароль"), {8, 216, 500, 140});
  kit::label(pin, QStringLiteral("Назначьте пароль (4 цифры) :"), {16, 33});
  kit::filteredEdit(pin, QStringLiteral("Edit2"), {190, 30, 60, 0}, QStringLiteral("5820"),
                    settings::FilteredField::Edit2);
  kit::memo(pin, QStringLiteral("Memo2"),
            QStringLiteral("SMS - команды устройству можно отправлять не только с номера владельца, "
                           "но и с любого другого телефона. Для этого перед текстом команды укажите "
                           "этот PIN-код. Команда без PIN-кода, пришедшая с чужого номера, "
                           "устройством не выполняется."),
            {16, 64, 468, 66});
}

}  // namespace orsa::app
