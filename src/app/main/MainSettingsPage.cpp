#include "MainSettingsPage.h"

#include "PageKit.h"
#include "settings/SettingsDefaults.h"

#include <QComboBox>
#include <QGroupBox>

namespace orsa::app {

MainSettingsPage::MainSettingsPage(QWidget* parent) : QWidget(parent) {
  auto* zone = kit::group(this, QStringLiteral("Часовой пояс"), {8, 44, 245, 52});
  kit::list(zone, QStringLiteral("ComboBox1"), kit::items(1), {10, 22, 225, 0}, 15);

  auto* time = kit::group(this, QStringLiteral("Основное время выхода на связь"), {261, 44, 247, 52});
  kit::label(time, QStringLiteral("ЧЧ:ММ"), {12, 25});
  kit::list(time, QStringLiteral("ComboBox2"), kit::items(2), {56, 22, 50, 0}, 12);
  kit::label(time, QStringLiteral(":"), {110, 25});
  kit::list(time, QStringLiteral("ComboBox3"), kit::items(3), {118, 22, 50, 0}, 0);

  auto* format = kit::group(this, QStringLiteral("Формат присылаемых координат"), {8, 100, 500, 134});
  kit::radio(format, QStringLiteral("RadioButton1"), QStringLiteral("DD,DDDDD°"), {12, 18, 250, 19});
  kit::radio(format, QStringLiteral("RadioButton2"), QStringLiteral("DD° MM,MMM'"), {12, 38, 250, 19});
  kit::radio(format, QStringLiteral("RadioButton12"), QStringLiteral("DD° MM' SS,SS''"), {12, 58, 250, 19});
  kit::radio(format, QStringLiteral("RadioButton13"), QStringLiteral("Активная интернет-ссылка ( для смартфонов ) "),
             {12, 78, 262, 19});
  kit::memo(format, QStringLiteral("Memo3"),
            QStringLiteral("В данном формате устройство будет присылать координаты в\n"
                           "SMS - сообщениях"),
            {12, 98, 476, 30});

  auto* delivery = kit::group(this, QStringLiteral("Способ передачи данных пользователю"), {8, 238, 500, 134});
  kit::label(delivery, QStringLiteral("Режим:"), {12, 26});
  // Until the defaults arrive the field shows "SMS" as typed text, not as a choice.
  auto* mode = kit::list(delivery, QStringLiteral("ComboBox19"), kit::items(19), {92, 22, 150, 0}, -1);
  mode->setEditable(true);
  mode->setInsertPolicy(QComboBox::NoInsert);
  mode->setEditText(QStringLiteral("SMS"));
  kit::label(delivery, QStringLiteral("IP или домен:"), {12, 56});
  kit::edit(delivery, QStringLiteral("Edit7"), {92, 52, 150, 0},
            QString::fromUtf8(settings::kDefaultServerHost.data(),
                              static_cast<qsizetype>(settings::kDefaultServerHost.size())),
            kit::kSlotTextMax);
  kit::label(delivery, QStringLiteral("Порт:"), {12, 86});
  kit::filteredEdit(delivery, QStringLiteral("Edit8"), {92, 82, 70, 0}, QStringLiteral("23351"),
                    settings::FilteredField::Edit8);
  kit::memo(delivery, QStringLiteral("Memo4"),
            QStringLiteral("Выберите, как устройство будет доставлять сообщения с координатами: "
                           "SMS - сообщениями на телефон владельца, на сервер мониторинга или "
                           "обоими способами. Для передачи на сервер укажите его IP-адрес или "
                           "доменное имя и порт."),
            {254, 20, 238, 106});

  auto* wialon = kit::group(this, QStringLiteral("Передача данных на дополнительный сервер (протокол WIALON IPS 2.0)"),
                            {8, 376, 500, 92});
  kit::check(wialon, QStringLiteral("CheckBox3"), QStringLiteral("Включить передачу по протоколу Wialon IPS 2.0 "),
             {12, 20, 320, 19});
  kit::label(wialon, QStringLiteral("IP/домен сервера"), {12, 46});
  kit::edit(wialon, QStringLiteral("Edit5"), {12, 62, 200, 0},
            QString::fromUtf8(settings::kDefaultWialonHost.data(),
                              static_cast<qsizetype>(settings::kDefaultWialonHost.size())),
            kit::kSlotTextMax);
  kit::label(wialon, QStringLiteral("Порт сервера"), {222, 46});
  kit::edit(wialon, QStringLiteral("Edit9"), {222, 62, 80, 0}, QString(), kit::kSlotTextMax);
  kit::label(wialon, QStringLiteral("Пароль для доступа к серверу"), {312, 46});
  kit::edit(wialon, QStringLiteral("Edit10"), {312, 62, 176, 0}, QString(), kit::kSlotTextMax);
}

}  // namespace orsa::app
