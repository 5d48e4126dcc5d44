#include "CommandBar.h"

#include "PictureButton.h"
#include "UiColors.h"

namespace orsa::app {
namespace {

constexpr int kPitch = 50;
constexpr int kLeft = 6;
constexpr int kTop = 2;

}  // namespace

CommandBar::CommandBar(QWidget* form) : QWidget(form) {
  setObjectName(QStringLiteral("Panel11"));
  setGeometry(233, 68, 515, 50);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, colors::formWhite());
  setPalette(pal);

  read_ = new PictureButton(QStringLiteral("SpeedButton4"), QStringLiteral("read"),
                            QStringLiteral("Прочитать настройки из устройства"), this);
  write_ = new PictureButton(QStringLiteral("SpeedButton3"), QStringLiteral("write"),
                             QStringLiteral("Записать настройки в устройство"), this);
  defaults_ = new PictureButton(QStringLiteral("SpeedButton5"), QStringLiteral("defaults"),
                                QStringLiteral("Восстановить значения по умолчанию"), this);
  load_ = new PictureButton(QStringLiteral("SpeedButton1"), QStringLiteral("load"),
                            QStringLiteral("Загрузить настройки из файла"), this);
  save_ = new PictureButton(QStringLiteral("SpeedButton2"), QStringLiteral("save"),
                            QStringLiteral("Сохранить настройки в файл"), this);
  command_ = new PictureButton(QStringLiteral("SpeedButton7"), QStringLiteral("command"),
                               QStringLiteral("Создать команду WIALON"), this);
  service_ = new PictureButton(QStringLiteral("SpeedButton8"), QStringLiteral("service"), QString(), this);

  int x = kLeft;
  for (PictureButton* b : {read_, write_, defaults_, load_, save_, command_}) {
    b->move(x, kTop);
    x += kPitch;
  }
  service_->move(width() - kPitch, kTop);

  for (PictureButton* b : {load_, save_, command_, service_}) {
    b->hide();
  }
}

void CommandBar::revealServiceEntries() {
  for (PictureButton* b : {load_, save_, command_, service_}) {
    b->show();
  }
}

}  // namespace orsa::app
