#include "TForm3.h"

#include "UiColors.h"

#include <QProgressBar>

namespace orsa::app {
namespace {

constexpr int kMargin = 16;

}  // namespace

TForm3::TForm3(QWidget* owner) : QWidget(owner, Qt::Tool) {
  setObjectName(QStringLiteral("Form3"));
  setWindowTitle(QStringLiteral("Запись настоек..."));
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
  if (!isVisible()) {
    centreOnOwner();
  }
  show();
}

void TForm3::centreOnOwner() {
  const QWidget* owner = parentWidget();
  if (owner == nullptr) {
    return;
  }
  // The frame's size is known only once the platform window exists.
  create();
  QRect frame = frameGeometry();
  frame.moveCenter(owner->frameGeometry().center());
  move(frame.topLeft());
}

void TForm3::setProgress(int maximum, int position) {
  bar_->setMaximum(maximum);
  bar_->setValue(position);
}

}  // namespace orsa::app
