#include "ZonePage.h"

#include "PageKit.h"

#include <QGroupBox>

namespace orsa::app {

ZonePage::ZonePage(QWidget* parent) : QWidget(parent) {
  auto* zone = kit::group(this, QStringLiteral("Контроль выхода из зоны охраны"), {8, 46, 500, 400});
  kit::label(zone, QStringLiteral("Выберите режим контроля:"), {16, 33});
  kit::list(zone, QStringLiteral("ComboBox18"), kit::items(18), {270, 30, 160, 0}, -1);
  kit::label(zone, QStringLiteral("Задайте диаметр зоны охраны (1-999 км)"), {16, 63});
  kit::filteredEdit(zone, QStringLiteral("Edit6"), {270, 60, 60, 0}, QStringLiteral("1"),
                    settings::FilteredField::Edit6);
  kit::memo(zone, QStringLiteral("Memo22"),
            QStringLiteral("Зона охраны - это круг заданного диаметра, центром которого становится "
                           "место первого определения координат после включения функции. Выход из "
                           "зоны проверяется только во время основного сеанса связи, один раз в "
                           "сутки, поэтому тревожное сообщение приходит не сразу после перемещения "
                           "устройства."),
            {16, 96, 468, 94});
  kit::memo(zone, QStringLiteral("Memo23"),
            QStringLiteral("Режим 1: при выходе из зоны устройство присылает тревожное сообщение и "
                           "отключает контроль в последующие дни.\n"
                           "Режим 2: при выходе из зоны устройство присылает тревожное сообщение и "
                           "продолжает контроль в последующие дни.\n"
                           "Режим 3: при выходе из зоны устройство присылает тревожное сообщение, а "
                           "текущее местоположение становится новым центром зоны охраны."),
            {16, 200, 468, 130});
}

}  // namespace orsa::app
