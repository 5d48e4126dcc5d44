#include "SectionLabel.h"

#include "UiColors.h"
#include "UiFonts.h"

#include <QMouseEvent>

namespace orsa::app {

SectionLabel::SectionLabel(int section, const QString& objectName, QWidget* parent)
    : QLabel(parent), section_(section) {
  setObjectName(objectName);
  setAlignment(Qt::AlignCenter);
  setAutoFillBackground(true);
  setFont(fonts::arial(11, true));
  setCursor(Qt::PointingHandCursor);
  setSelectedLook(false);
}

void SectionLabel::setSelectedLook(bool selected) {
  selected_ = selected;
  QPalette pal = palette();
  const QColor text = selected ? colors::nearWhite() : colors::steelBlue();
  const QColor back = selected ? colors::steelBlue() : colors::nearWhite();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    pal.setColor(group, QPalette::WindowText, text);
    pal.setColor(group, QPalette::Window, back);
  }
  setPalette(pal);
}

void SectionLabel::setUnderline(bool on) {
  QFont f = font();
  f.setBold(true);
  f.setUnderline(on);
  setFont(f);
}

// A disabled label is a blank strip; it must not even change its font.
void SectionLabel::enterEvent(QEnterEvent* event) {
  if (isEnabled()) {
    setUnderline(true);
  }
  QLabel::enterEvent(event);
}

void SectionLabel::leaveEvent(QEvent* event) {
  if (isEnabled()) {
    setUnderline(false);
  }
  QLabel::leaveEvent(event);
}

void SectionLabel::mousePressEvent(QMouseEvent* event) {
  pressed_ = event->button() == Qt::LeftButton;
  QLabel::mousePressEvent(event);
}

void SectionLabel::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && event->button() == Qt::LeftButton &&
                     rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) {
    emit clicked(section_);
  }
}

}  // namespace orsa::app
