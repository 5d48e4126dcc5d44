#include "ServicePages.h"

#include "PageKit.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTreeWidget>

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

// Two buttons side by side, for captions short enough to share a row.
// The left one is `leftWidth` wide, the right one takes the rest.
void buttonRow(QWidget* parent, int y, const char* left, const QString& leftText, const char* right,
               const QString& rightText, int leftWidth = (kInnerWidth - 7) / 2) {
  constexpr int kGap = 7;
  button(parent, left, leftText, QRect(kInnerX, y, leftWidth, kButtonHeight));
  button(parent, right, rightText, QRect(kInnerX + leftWidth + kGap, y, kInnerWidth - leftWidth - kGap, kButtonHeight));
}

// The GSM tab holds four groups; buttons whose captions are short share rows so that the drive's
// list fits under the rest.
QWidget* gsmPage() {
  auto* page = new QWidget;
  QGroupBox* gsm = kit::group(page, QStringLiteral("GSM"), QRect(kGroupX, 8, kGroupWidth, kTwoButtonGroupHeight));
  buttonRow(gsm, 24, "Button1", QStringLiteral("Запуск GSM модуля"), "Button2", QStringLiteral("Остановка GSM модуля"));
  wideButton(gsm, "ButtonModemInfo", QStringLiteral("Диагностика модема"), 24 + kButtonStep);

  QGroupBox* files = kit::group(page, QStringLiteral("Запись файлов в модем"), QRect(kGroupX, 111, kGroupWidth, 132));
  namedLabel(files, "Label1", QStringLiteral("Расположение файлов"), QPoint(kInnerX, 24));
  field(files, "Edit1", QRect(kInnerX, 42, kInnerWidth, 21));
  buttonRow(files, 72, "Button5", QStringLiteral("Выбрать папку с файлами"), "Button6",
            QStringLiteral("Записать файлы"), 170);
  auto* upload = new QProgressBar(files);
  upload->setObjectName(QStringLiteral("ProgressBarUpload"));
  upload->setGeometry(kInnerX, 106, kInnerWidth, 18);

  QGroupBox* test = kit::group(page, QStringLiteral("Тест связи"), QRect(kGroupX, 249, kGroupWidth, 126));
  namedLabel(test, "Label4", QStringLiteral("Телефон:"), QPoint(kInnerX, 28));
  field(test, "Edit4", QRect(80, 25, kInnerX + kInnerWidth - 80, 21));
  wideButton(test, "Button12", QStringLiteral("Отправить IMEI номер в SMS"), 56);
  buttonRow(test, 56 + kButtonStep, "Button13", QStringLiteral("Совершить звонок"), "Button14",
            QStringLiteral("Отменить звонок"));

  // The list on the left, what acts on it on the right: the group has room for a few rows only.
  QGroupBox* drive = kit::group(page, QStringLiteral("Диск C: модема"), QRect(kGroupX, 381, kGroupWidth, 132));
  constexpr int kSideWidth = 101;
  constexpr int kSideX = kInnerX + kInnerWidth - kSideWidth;
  auto* list = new QTreeWidget(drive);
  list->setObjectName(QStringLiteral("ListModemFiles"));
  list->setGeometry(kInnerX, 24, kSideX - 6 - kInnerX, 98);
  list->setColumnCount(2);
  list->setHeaderLabels({QStringLiteral("Файл"), QStringLiteral("Байт")});
  list->headerItem()->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  list->setRootIsDecorated(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->header()->setStretchLastSection(false);
  list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  list->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  button(drive, "ButtonModemFiles", QStringLiteral("Файлы модема"), QRect(kSideX, 24, kSideWidth, kButtonHeight));
  button(drive, "ButtonModemFileRemove", QStringLiteral("Удалить"),
         QRect(kSideX, 24 + kButtonStep, kSideWidth, kButtonHeight));
  QLabel* free = namedLabel(drive, "LabelModemFree", QString(), QPoint(kSideX, 24 + 2 * kButtonStep));
  free->setGeometry(kSideX, 24 + 2 * kButtonStep, kSideWidth, 98 - 2 * kButtonStep);
  free->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  free->setWordWrap(true);
  return page;
}

QWidget* gpsPage() {
  auto* page = new QWidget;
  // The module's start and stop share a row, as the modem's do: the groups below need the height.
  QGroupBox* gps = kit::group(page, QStringLiteral("GPS"), QRect(kGroupX, 8, kGroupWidth, 24 + kButtonHeight + 12));
  buttonRow(gps, 24, "Button3", QStringLiteral("Запуск GPS модуля"), "Button4", QStringLiteral("Остановка GPS модуля"));
  kit::check(page, QStringLiteral("CheckBox1"), QStringLiteral("Транслировать NMEA поток"),
             QRect(kGroupX + 4, 77, kInnerWidth, 21));

  // Each path beside its caption, so that the receiver below has room for its satellites.
  QGroupBox* flash = kit::group(page, QStringLiteral("Обновление прошивки"), QRect(kGroupX, 104, kGroupWidth, 170));
  constexpr int kCaptionWidth = 66;
  constexpr int kPathX = kInnerX + kCaptionWidth;
  constexpr int kPathWidth = kInnerWidth - kCaptionWidth - 36;
  const QRect browse(kPathX + kPathWidth + 6, 0, 30, 23);
  namedLabel(flash, "Label2", QStringLiteral("Загрузчик"), QPoint(kInnerX, 27));
  field(flash, "Edit2", QRect(kPathX, 24, kPathWidth, 21));
  button(flash, "Button8", QStringLiteral("..."), browse.translated(0, 23));
  namedLabel(flash, "Label3", QStringLiteral("Прошивка"), QPoint(kInnerX, 56));
  field(flash, "Edit3", QRect(kPathX, 53, kPathWidth, 21));
  button(flash, "Button9", QStringLiteral("..."), browse.translated(0, 52));
  // The recovery brings back, without a flash, a module that a failed run (or anything else) left
  // in its boot ROM at another line rate.
  buttonRow(flash, 84, "Button7", QStringLiteral("Обновить прошивку"), "ButtonGnssRecover",
            QStringLiteral("Восстановить модуль"));
  auto* bar = new QProgressBar(flash);
  bar->setObjectName(QStringLiteral("ProgressBar1"));
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  bar->setGeometry(kInnerX, 118, kInnerWidth, 18);
  // Two lines: a release before and one after are together wider than the group.
  QLabel* release = namedLabel(flash, "LabelGnssRelease", QString(), QPoint(kInnerX, 140));
  release->setGeometry(kInnerX, 140, kInnerWidth, 26);
  release->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  release->setWordWrap(true);
  release->setTextInteractionFlags(Qt::TextSelectableByMouse);

  // What the relayed stream says, decoded; read at a glance while the raw sentences scroll by.
  QGroupBox* receiver = kit::group(page, QStringLiteral("Состояние приёмника"), QRect(kGroupX, 280, kGroupWidth, 232));
  QLabel* status = namedLabel(receiver, "GnssStatusLabel", QString(), QPoint(kInnerX, 20));
  status->setGeometry(kInnerX, 20, kInnerWidth, 64);
  status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  status->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* sky = new QTreeWidget(receiver);
  sky->setObjectName(QStringLiteral("ListSatellites"));
  sky->setGeometry(kInnerX, 86, kInnerWidth, 138);
  sky->setHeaderLabels({QStringLiteral("Система"), QStringLiteral("№"), QStringLiteral("Возв."),
                        QStringLiteral("Азим."), QStringLiteral("С/Ш"), QStringLiteral("В реш.")});
  sky->setRootIsDecorated(false);
  sky->setUniformRowHeights(true);
  sky->setSelectionMode(QAbstractItemView::NoSelection);
  sky->setFocusPolicy(Qt::NoFocus);
  sky->header()->setStretchLastSection(false);
  sky->header()->setSectionsMovable(false);
  // The columns fit beside a scroll bar that is always there, so none of them is ever cut.
  sky->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sky->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  constexpr int kColumnWidths[] = {62, 32, 42, 42, 38};
  int rest = kInnerWidth - sky->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, sky) - 2 * sky->frameWidth();
  for (int column = 0; column < 5; ++column) {
    sky->setColumnWidth(column, kColumnWidths[column]);
    rest -= kColumnWidths[column];
  }
  sky->setColumnWidth(5, rest);
  for (int column = 1; column < 5; ++column)
    sky->headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  sky->headerItem()->setTextAlignment(5, Qt::AlignCenter);
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
