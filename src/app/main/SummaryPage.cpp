#include "SummaryPage.h"

#include "PageKit.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QTableWidget>

namespace orsa::app {

SummaryPage::SummaryPage(QWidget* parent) : QWidget(parent) {
  auto* box = kit::group(this, QStringLiteral("Текущие настройки устройства"), {8, 46, 500, 380});
  grid_ = new QTableWidget(kRows, kColumns, box);
  grid_->setObjectName(QStringLiteral("StringGrid1"));
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->verticalHeader()->setMinimumSectionSize(17);
  grid_->verticalHeader()->setDefaultSectionSize(17);
  grid_->setColumnWidth(0, 275);
  grid_->setColumnWidth(1, 165);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int frame = 2 * grid_->frameWidth();
  grid_->setGeometry(16, 24, 275 + 165 + frame, kRows * 17 + frame);
  for (int row = 0; row < kRows; ++row) {
    grid_->setRowHeight(row, 17);
    for (int column = 0; column < kColumns; ++column) {
      grid_->setItem(row, column, new QTableWidgetItem());
    }
  }
}

void SummaryPage::setCell(int row, int column, const QString& text) { grid_->item(row, column)->setText(text); }

}  // namespace orsa::app
