#include "ServicePages.h"

#include "PageKit.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>

namespace orsa::app {
namespace {

// Every group is as wide as the tab allows, its buttons as wide as the group: the longest
// captions ("Деактивировать SIM-карту для тестирования") need the room.
constexpr int kGroupX = 8;
constexpr int kGroupWidth = 321;
constexpr int kInnerX = 12;
constexpr int kInnerWidth = 297;
constexpr int kButtonHeight = 27;
constexpr int kButtonStep = 34;
// Two buttons one above the other, with the group's caption over them.
constexpr int kTwoButtonGroupHeight = 24 + kButtonStep + kButtonHeight + 12;

QPushButton* button(QWidget* parent, const char* name, const QString& text, const QRect& at) {
  auto* b = new QPushButton(text, parent);
  b->setObjectName(QString::fromLatin1(name));
  b->setGeometry(at);
  return b;
}

QPushButton* wideButton(QWidget* parent, const char* name, const QString& text, int y) {
  return button(parent, name, text, QRect(kInnerX, y, kInnerWidth, kButtonHeight));
}

QLabel* namedLabel(QWidget* parent, const char* name, const QString& text, QPoint at) {
  QLabel* l = kit::label(parent, text, at);
  l->setObjectName(QString::fromLatin1(name));
  return l;
}

// Paths and phone numbers have no length of their own to keep to.
QLineEdit* field(QWidget* parent, const char* name, const QRect& at) {
  return kit::edit(parent, QString::fromLatin1(name), at, QString(), 32767);
}

// Two operation buttons under a caption, the first at the top.
QGroupBox* pairGroup(QWidget* page, const QString& caption, int y, const char* first, const QString& firstText,
                     const char* second, const QString& secondText) {
  QGroupBox* box = kit::group(page, caption, QRect(kGroupX, y, kGroupWidth, kTwoButtonGroupHeight));
  wideButton(box, first, firstText, 24);
  wideButton(box, second, secondText, 24 + kButtonStep);
  return box;
}

QWidget* gsmPage() {
  auto* page = new QWidget;
  pairGroup(page, QStringLiteral("GSM"), 8, "Button1", QStringLiteral("Запуск GSM модуля"), "Button2",
            QStringLiteral("Остановка GSM модуля"));

  QGroupBox* files = kit::group(page, QStringLiteral("Запись файлов в модем"), QRect(kGroupX, 115, kGroupWidth, 158));
  namedLabel(files, "Label1", QStringLiteral("Расположение файлов"), QPoint(kInnerX, 24));
  field(files, "Edit1", QRect(kInnerX, 44, kInnerWidth, 21));
  wideButton(files, "Button5", QStringLiteral("Выбрать папку с файлами"), 78);
  wideButton(files, "Button6", QStringLiteral("Записать файлы"), 78 + kButtonStep);

  QGroupBox* test = kit::group(page, QStringLiteral("Тест связи"), QRect(kGroupX, 285, kGroupWidth, 170));
  namedLabel(test, "Label4", QStringLiteral("Телефон:"), QPoint(kInnerX, 28));
  field(test, "Edit4", QRect(80, 25, kInnerX + kInnerWidth - 80, 21));
  wideButton(test, "Button12", QStringLiteral("Отправить IMEI номер в SMS"), 60);
  wideButton(test, "Button13", QStringLiteral("Совершить звонок"), 60 + kButtonStep);
  wideButton(test, "Button14", QStringLiteral("Отменить звонок"), 60 + 2 * kButtonStep);
  return page;
}

QWidget* gpsPage() {
  auto* page = new QWidget;
  pairGroup(page, QStringLiteral("GPS"), 8, "Button3", QStringLiteral("Запуск GPS модуля"), "Button4",
            QStringLiteral("Остановка GPS модуля"));
  kit::check(page, QStringLiteral("CheckBox1"), QStringLiteral("Транслировать NMEA поток"),
             QRect(kGroupX + 4, 119, kInnerWidth, 21));

  QGroupBox* flash = kit::group(page, QStringLiteral("Обновление прошивки"), QRect(kGroupX, 150, kGroupWidth, 204));
  constexpr int kPathWidth = kInnerWidth - 36;
  const QRect browse(kInnerX + kPathWidth + 6, 0, 30, 23);
  namedLabel(flash, "Label2", QStringLiteral("Загрузчик"), QPoint(kInnerX, 24));
  field(flash, "Edit2", QRect(kInnerX, 44, kPathWidth, 21));
  button(flash, "Button8", QStringLiteral("..."), browse.translated(0, 43));
  namedLabel(flash, "Label3", QStringLiteral("Прошивка"), QPoint(kInnerX, 76));
  field(flash, "Edit3", QRect(kInnerX, 96, kPathWidth, 21));
  button(flash, "Button9", QStringLiteral("..."), browse.translated(0, 95));
  wideButton(flash, "Button7", QStringLiteral("Обновить прошивку"), 132);
  auto* bar = new QProgressBar(flash);
  bar->setObjectName(QStringLiteral("ProgressBar1"));
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setGeometry(kInnerX, 170, kInnerWidth, 18);

  // What the relayed stream says, decoded; read at a glance while the raw sentences scroll by.
  QGroupBox* receiver = kit::group(page, QStringLiteral("Состояние приёмника"), QRect(kGroupX, 362, kGroupWidth, 150));
  QLabel* status = namedLabel(receiver, "GnssStatusLabel", QString(), QPoint(kInnerX, 24));
  status->setGeometry(kInnerX, 24, kInnerWidth, 114);
  status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return page;
}

QWidget* simPage() {
  auto* page = new QWidget;
  // "курту" is how technicians have always read this button; scripts and manuals quote it.
  pairGroup(page, QStringLiteral("Тестовая SIM-карта"), 8, "Button10",
            QStringLiteral("Создать SIM-курту для тестирования"), "Button11",
            QStringLiteral("Деактивировать SIM-карту для тестирования"));
  return page;
}

}  // namespace

void buildServicePages(QTabWidget& pages) {
  pages.addTab(gsmPage(), QStringLiteral("GSM"));
  pages.addTab(gpsPage(), QStringLiteral("GPS"));
  pages.addTab(simPage(), QStringLiteral("SIM-карта"));
  pages.setCurrentIndex(0);
}

}  // namespace orsa::app
