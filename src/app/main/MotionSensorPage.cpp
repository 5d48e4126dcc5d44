#include "MotionSensorPage.h"

#include "PageKit.h"

#include <QGroupBox>

namespace orsa::app {

MotionSensorPage::MotionSensorPage(QWidget* parent) : QWidget(parent) {
  auto* timeout = kit::group(this, QStringLiteral("Тайм-аут датчика движения"), {8, 46, 500, 118});
  kit::label(timeout, QStringLiteral("Тайм-аут датчика движения (мин.)"), {16, 33});
  kit::list(timeout, QStringLiteral("ComboBox13"), kit::items(13), {230, 30, 70, 0}, 0);
  kit::memo(timeout, QStringLiteral("Memo20"),
            QStringLiteral("После срабатывания датчика движения устройство в течение этого времени "
                           "не реагирует на новые сигналы датчика. Так одна поездка не вызывает "
                           "множества тревожных сообщений подряд."),
            {16, 62, 468, 50});

  auto* guard = kit::group(this, QStringLiteral("Защита от ложных срабатываний датчика движения"), {8, 172, 500, 52});
  kit::check(guard, QStringLiteral("CheckBox2"), QStringLiteral("Включить защиту"), {16, 22, 300, 19});

  auto* amplitude = kit::group(this, QStringLiteral("Амплитуда воздействия на датчик движения"), {8, 232, 500, 118});
  kit::label(amplitude, QStringLiteral("Амплитуда воздействия"), {16, 33});
  kit::list(amplitude, QStringLiteral("ComboBox14"), kit::items(14), {170, 30, 240, 0}, -1);
  kit::memo(amplitude, QStringLiteral("Memo21"),
            QStringLiteral("Воздействие на устройство с амплитудой ниже заданного порога не "
                           "считается срабатыванием датчика движения. Чем больше значение, тем "
                           "сильнее должен быть толчок или вибрация."),
            {16, 62, 468, 50});

  // The beacon's factory duration suits every installation; the choice stays
  // in the record but is not offered.
  auto* duration = kit::group(this, QStringLiteral("Длительность воздействия на датчик движения "), {8, 358, 500, 60});
  duration->hide();
  kit::label(duration, QStringLiteral("Длительность воздействия"), {16, 27});
  kit::list(duration, QStringLiteral("ComboBox15"), kit::items(15), {170, 24, 300, 0}, -1);
}

}  // namespace orsa::app
