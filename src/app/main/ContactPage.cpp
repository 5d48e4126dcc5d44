#include "ContactPage.h"

#include "PageKit.h"

namespace orsa::app {

ContactPage::ContactPage(QWidget* parent) : QWidget(parent) {
  auto* fix = kit::group(this, QStringLiteral("Период определения координат"), {8, 46, 500, 150});
  kit::label(fix, QStringLiteral("Период определения координат (суток):"), {16, 33});
  kit::list(fix, QStringLiteral("ComboBox16"), kit::items(16), {240, 30, 120, 0}, -1);
  kit::memo(fix, QStringLiteral("Memo6"),
            QStringLiteral("Укажите, через сколько суток устройство будет определять свои координаты "
                           "по спутникам GPS/ГЛОНАСС. В остальные сеансы связи устройство сообщает "
                           "только приблизительное местоположение, определённое по базовым станциям "
                           "сети GSM. Чем реже определяются координаты, тем дольше работает батарея."),
            {16, 64, 468, 78});

  auto* wake = kit::group(this, QStringLiteral("Частота выхода на связь"), {8, 206, 500, 170});
  kit::radio(wake, QStringLiteral("RadioButton3"), QStringLiteral("Каждые 24 часа (рекомендуется)"), {16, 22, 300, 19},
             true);
  kit::radio(wake, QStringLiteral("RadioButton4"), QStringLiteral("Каждые 12 часов"), {16, 44, 300, 19});
  kit::radio(wake, QStringLiteral("RadioButton5"), QStringLiteral("Каждые 8 часов"), {16, 66, 300, 19});
  kit::memo(wake, QStringLiteral("Memo7"),
            QStringLiteral("Укажите, как часто устройство будет выходить из спящего режима на связь. "
                           "Во время сеанса связи устройство принимает SMS - команды и "
                           "синхронизируется с сервером мониторинга. Частые сеансы связи сокращают "
                           "время работы от батареи."),
            {16, 94, 468, 66});
}

}  // namespace orsa::app
