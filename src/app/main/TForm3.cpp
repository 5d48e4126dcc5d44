#include "TForm3.h"

#include "ProgressMeter.h"
#include "UiColors.h"
#include "settings/SettingsRecord.h"

#include <QKeyEvent>
#include <QProgressBar>

#include <algorithm>
#include <cstdint>

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
  // The keyboard stays with the main window, whose Esc ends a read; where the system gives this
  // window the keyboard all the same, its Esc does the same.
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowFlag(Qt::WindowDoesNotAcceptFocus);

  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("ProgressBar1"));
  bar_->setRange(0, 100);
  bar_->setValue(0);
  bar_->setTextVisible(false);
  bar_->setGeometry(kMargin, (height() - 20) / 2, width() - 2 * kMargin, 20);
  text_ = std::make_unique<ProgressMeter>(*bar_);
}

TForm3::~TForm3() = default;

void TForm3::resizeEvent(QResizeEvent* event) {
  bar_->setGeometry(kMargin, (height() - 20) / 2, width() - 2 * kMargin, 20);
  QWidget::resizeEvent(event);
}

void TForm3::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    event->accept();
    emit stopRequested();
    return;
  }
  QWidget::keyPressEvent(event);
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
  constexpr auto kSlotBytes = static_cast<std::int64_t>(settings::SettingsRecord::kSlotSize);
  const std::int64_t total = std::int64_t{maximum} * kSlotBytes;
  text_->describe(std::min(total, (std::int64_t{position} + 1) * kSlotBytes), total);
}

}  // namespace orsa::app
