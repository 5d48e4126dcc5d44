#include "TForm3.h"

#include "UiColors.h"
#include "UiFonts.h"

#include <QProgressBar>

namespace orsa::app {
namespace {

constexpr int kMargin = 16;

}  // namespace

TForm3::TForm3(QWidget* owner) : QWidget(nullptr, Qt::Tool), owner_(owner) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Запись настоек..."));
  setFont(fonts::msSansSerif(11));
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, colors::formWhite());
  setPalette(pal);
  resize(263, 133);

  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("ProgressBar1"));
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  bar_->setGeometry(kMargin, (height() - 20) / 2, width() - 2 * kMargin, 20);
}

void TForm3::resizeEvent(QResizeEvent* event) {
  bar_->setGeometry(kMargin, (height() - 20) / 2, width() - 2 * kMargin, 20);
  QWidget::resizeEvent(event);
}

void TForm3::showWithCaption(const QString& caption) {
  setWindowTitle(caption);
  if (!isVisible() && owner_ != nullptr) {
    const QRect frame = owner_->frameGeometry();
    move(frame.center() - QPoint(width() / 2, height() / 2));
  }
  show();
}

void TForm3::setProgress(int maximum, int position) {
  bar_->setMaximum(maximum);
  bar_->setValue(position);
}

}  // namespace orsa::app
