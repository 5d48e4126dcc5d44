#include "SectionColumn.h"

#include "SectionLabel.h"
#include "UiColors.h"

#include <QFrame>
#include <QStringList>

namespace orsa::app {
namespace {

constexpr int kColumnWidth = 233;
constexpr int kStripHeight = 42;
constexpr int kLastStripHeight = 45;
constexpr int kFirstTop = 65;

const QStringList& captions() {
  static const QStringList list = {
      QStringLiteral("ТЕЛЕФОН ВЛАДЕЛЬЦА\nИ PIN-код"),
      QStringLiteral("ОСНОВНЫЕ\nНАСТРОЙКИ"),
      QStringLiteral("ЧАСТОТА ВЫХОДА\nНА СВЯЗЬ"),
      QStringLiteral("ОХРАНА ПО ДАТЧИКУ\nДВИЖЕНИЯ"),
      QStringLiteral("ДОПОЛНИТЕЛЬНЫЕ НАСТРОЙКИ\nДАТЧИКА ДВИЖЕНИЯ"),
      QStringLiteral("КОНТРОЛЬ ВЫХОДА\n ИЗ ЗОНЫ ОХРАНЫ"),
      QStringLiteral("КОНТРОЛЬ ЛИЦЕВОГО\nСЧЕТА"),
      QStringLiteral("ОБНОВЛЕНИЕ ПРОГРАММНОГО\nОБЕСПЕЧЕНИЯ"),
      QString(),
  };
  return list;
}

QFrame* makeStrip(QWidget* form, int index) {
  auto* strip = new QFrame(form);
  strip->setObjectName(QStringLiteral("Panel%1").arg(index + 2));
  const int height = index == SectionColumn::kSections - 1 ? kLastStripHeight : kStripHeight;
  strip->setGeometry(0, kFirstTop + index * kStripHeight, kColumnWidth, height);
  strip->setFrameStyle(QFrame::Panel | QFrame::Raised);
  strip->setLineWidth(1);
  strip->setAutoFillBackground(true);
  QPalette pal = strip->palette();
  pal.setColor(QPalette::Window, colors::darkGrey());
  pal.setColor(QPalette::Light, QColor(120, 120, 120));
  pal.setColor(QPalette::Dark, QColor(30, 30, 30));
  strip->setPalette(pal);
  return strip;
}

}  // namespace

SectionColumn::SectionColumn(QWidget* form) : QObject(form) {
  for (int i = 0; i < kSections; ++i) {
    QFrame* strip = makeStrip(form, i);
    auto* label = new SectionLabel(i + 1, QStringLiteral("Label%1").arg(i + 1), strip);
    label->setGeometry(strip->rect().adjusted(1, 1, -1, -1));
    connect(label, &SectionLabel::clicked, this, &SectionColumn::sectionClicked);
    labels_ << label;
  }
  labels_.last()->setEnabled(false);
  labels_.last()->setCursor(Qt::ArrowCursor);
}

void SectionColumn::setCaptions() {
  for (int i = 0; i < kSections; ++i) {
    labels_[i]->setCaption(captions().at(i));
  }
}

void SectionColumn::select(int section) {
  for (SectionLabel* label : labels_) {
    label->setSelectedLook(label->section() == section);
  }
}

void SectionColumn::revealSummaryEntry() {
  SectionLabel* last = labels_.last();
  last->setCaption(QStringLiteral("ТЕКУЩИЕ\nНАСТРОЙКИ"));
  last->setEnabled(true);
  last->setCursor(Qt::PointingHandCursor);
}

}  // namespace orsa::app
