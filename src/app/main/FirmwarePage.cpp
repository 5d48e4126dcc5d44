#include "FirmwarePage.h"

#include "HelpMemo.h"
#include "JustifyLines.h"
#include "PageKit.h"
#include "PictureButton.h"

#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>

#include <algorithm>

namespace orsa::app {

FirmwarePage::FirmwarePage(QWidget* parent) : QWidget(parent) {
  auto* update = kit::group(this, QStringLiteral("Обновление программного обеспечения"), {8, 46, 500, 214});
  const QString caption = QStringLiteral("Обновить программное обеспечение");
  auto* button = new PictureButton(QStringLiteral("SpeedButton6"), QStringLiteral("update"), QString(), update);
  button->setText(caption);
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setFixedSize(300, 46);
  button->move(16, 24);

  auto* instructions = kit::memo(update, QStringLiteral("Memo14"),
                                 QStringLiteral("Для обновления программного обеспечения устройства подключите\n"
                                                "устройство с помощью USB-кабеля к компьютеру и нажмите кнопку \n"
                                                "\"%1\". В открывшемся окне выберите \n"
                                                "файл прошивки. Процесс обновления программного обеспечения\n"
                                                "начнется автоматически.")
                                     .arg(caption),
                                 {16, 80, 468, 80});
  // Five fixed lines: the memo is as wide as its longest line plus the stretch
  // room, so the stretched lines stay close to their natural spacing.
  const QFontMetrics metrics(instructions->font());
  int longest = 0;
  for (const QString& line : instructions->toPlainText().split(QLatin1Char('\n'))) {
    longest = std::max(longest, metrics.horizontalAdvance(line));
  }
  instructions->setFixedWidth(
      std::min(468, longest + kJustifySlack + 2 * metrics.horizontalAdvance(QLatin1Char(' ')) + 8));

  auto* progress = new QProgressBar(update);
  progress->setObjectName(QStringLiteral("ProgressBar1"));
  progress->setRange(0, 10000);
  progress->setValue(0);
  progress->setTextVisible(false);
  progress->setGeometry(16, 174, 468, 20);
  // Appears with the first block an update writes.
  progress->setVisible(false);

  auto* info = kit::group(this, QStringLiteral("Информация об устройстве"), {8, 268, 500, 60});
  kit::label(info, QStringLiteral("IMEI:"), {16, 28});
  auto* imei = new QLabel(info);
  imei->setObjectName(QStringLiteral("Label19"));
  imei->setGeometry(60, 28, 300, 16);
  imei->setTextInteractionFlags(Qt::TextSelectableByMouse);
}

}  // namespace orsa::app
