#include "FocusFrame.h"

#include "UiColors.h"

#include <QPainter>
#include <QPen>
#include <QWidget>

namespace orsa::app {

void paintFocusFrame(QWidget& widget, QWidget& surface) {
  if (!widget.hasFocus()) return;
  QPainter painter(&surface);
  // Dark on light and light on the selected section's blue: the frame takes the text's colour.
  QPen pen(widget.palette().color(widget.foregroundRole()), 2, Qt::DashLine);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(surface.rect().adjusted(2, 2, -2, -2));
}

}  // namespace orsa::app
