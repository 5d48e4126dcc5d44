#include "ExitLabel.h"

#include "UiColors.h"
#include "UiFonts.h"

#include <QMouseEvent>

namespace orsa::app {

ExitLabel::ExitLabel(QWidget* parent) : QLabel(QStringLiteral("ВЫХОД"), parent) {
  setObjectName(QStringLiteral("ExitLabel"));
  setFont(fonts::arialBlack(13));
  setTextColor(colors::headerGrey());
  adjustSize();
  move(681, 10);
  hide();
}

void ExitLabel::setTextColor(const QColor& color) {
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, color);
  setPalette(pal);
}

void ExitLabel::enterEvent(QEnterEvent* event) {
  setTextColor(colors::hoverRed());
  QLabel::enterEvent(event);
}

void ExitLabel::leaveEvent(QEvent* event) {
  setTextColor(colors::headerGrey());
  QLabel::leaveEvent(event);
}

void ExitLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
}

}  // namespace orsa::app
