#pragma once

#include <QWidget>

class QTableWidget;

namespace orsa::app {

// Page 8: the settings last read from the beacon or loaded from a file, in words.
class SummaryPage : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRows = 20;
  static constexpr int kColumns = 2;

  explicit SummaryPage(QWidget* parent);

  QTableWidget* grid() const { return grid_; }
  // Sets one cell; cells not set keep what they showed.
  void setCell(int row, int column, const QString& text);

 private:
  QTableWidget* grid_;
};

}  // namespace orsa::app
