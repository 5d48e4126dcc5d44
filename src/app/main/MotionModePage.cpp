#include "MotionModePage.h"

#include "PageKit.h"

#include <QGroupBox>

namespace orsa::app {
namespace {

// One guard interval: start and end, each as hour and minute lists.
void addInterval(QWidget* page, const QString& caption, int top, int firstCombo, const QStringList& initial) {
  auto* box = kit::group(page, caption, {8, top, 500, 84});
  const QStringList rows = {QStringLiteral("Время начала периода охраны (ЧЧ:ММ)"),
                            QStringLiteral("Время конца периода охраны (ЧЧ:ММ)")};
  for (int row = 0; row < 2; ++row) {
    const int y = 24 + row * 28;
    kit::label(box, rows[row], {16, y + 3});
    const int hourCombo = firstCombo + 2 * row;
    kit::list(box, QStringLiteral("ComboBox%1").arg(hourCombo), kit::items(hourCombo), {280, y, 50, 0},
              initial[2 * row].toInt());
    kit::label(box, QStringLiteral(":"), {334, y + 3});
    kit::list(box, QStringLiteral("ComboBox%1").arg(hourCombo + 1), kit::items(hourCombo + 1), {342, y, 50, 0},
              initial[2 * row + 1].toInt());
  }
}

}  // namespace

MotionModePage::MotionModePage(QWidget* parent) : QWidget(parent) {
  auto* mode = kit::group(this, QStringLiteral("Режим работы датчика движения"), {8, 46, 500, 196});
  kit::radio(mode, QStringLiteral("RadioButton8"), QStringLiteral("Датчик движения отключен"), {16, 22, 460, 19}, true);
  kit::radio(mode, QStringLiteral("RadioButton9"), QStringLiteral("Датчик движения включен всегда"), {16, 42, 460, 19});
  kit::radio(mode, QStringLiteral("RadioButton10"), QStringLiteral("Датчик движения работает в интервале времени №1"),
             {16, 62, 460, 19});
  kit::radio(mode, QStringLiteral("RadioButton11"),
             QStringLiteral("Датчик движения работает в интервалах времени №1 и №2 "), {16, 82, 460, 19});
  kit::memo(mode, QStringLiteral("Memo17"),
            QStringLiteral("При срабатывании датчика движения устройство выходит из спящего режима, "
                           "определяет свои координаты и отправляет владельцу тревожное сообщение. "
                           "Датчик может работать постоянно или только в заданных ниже интервалах "
                           "времени, например ночью, когда автомобиль стоит на стоянке."),
            {16, 110, 468, 78});

  addInterval(this, QStringLiteral("Интервал времени № 1"), 250, 4,
              {QStringLiteral("23"), QStringLiteral("00"), QStringLiteral("07"), QStringLiteral("00")});
  addInterval(this, QStringLiteral("Интервал времени № 2"), 342, 8,
              {QStringLiteral("10"), QStringLiteral("00"), QStringLiteral("17"), QStringLiteral("00")});
}

}  // namespace orsa::app
