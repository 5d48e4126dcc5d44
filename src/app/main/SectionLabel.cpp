#include "SectionLabel.h"

#include "FocusFrame.h"
#include "UiColors.h"
#include "UiFonts.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>

namespace orsa::app {
namespace {

// Room kept between a caption and the strip's bevel on either side.
constexpr int kCaptionSideRoom = 4;
// Below this a caption would be unreadable; it is not shrunk further.
constexpr int kSmallestPixelSize = 7;

bool shrink(QFont& font) {
  if (font.pixelSize() > kSmallestPixelSize) {
    font.setPixelSize(font.pixelSize() - 1);
    return true;
  }
  if (font.pixelSize() < 0 && font.pointSizeF() > kSmallestPixelSize * 0.75) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
    return true;
  }
  return false;
}

}  // namespace

SectionLabel::SectionLabel(int section, const QString& objectName, QWidget* parent)
    : QLabel(parent), section_(section) {
  setObjectName(objectName);
  setAlignment(Qt::AlignCenter);
  setAutoFillBackground(true);
  setFont(fonts::arial(11, true));
  setCursor(Qt::PointingHandCursor);
  // A disabled label (the blank ninth strip) is left out of the Tab chain by Qt itself.
  setFocusPolicy(Qt::TabFocus);
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

void SectionLabel::setCaption(const QString& caption) {
  setText(caption);
  fitCaption();
}

void SectionLabel::setUnderline(bool on) {
  QFont f = wanted_;
  f.setBold(true);
  f.setUnderline(on);
  setFont(f);
}

// The column has the window's fixed width, and the caption turns bold under
// the mouse; so it is measured bold, and only a caption that would run past
// its strip in some face is drawn smaller, by as little as fits.
void SectionLabel::fitCaption() {
  const QSize room = contentsRect().size() - QSize(2 * kCaptionSideRoom, 0);
  QFont shown = wanted_;
  for (;;) {
    QFont bold = shown;
    bold.setBold(true);
    const QSize needed = QFontMetrics(bold).size(0, text());
    if ((needed.width() <= room.width() && needed.height() <= room.height()) || !shrink(shown)) {
      break;
    }
  }
  fitting_ = true;
  QLabel::setFont(shown);
  fitting_ = false;
}

void SectionLabel::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange && !fitting_) {
    wanted_ = font();
    fitCaption();
  }
  QLabel::changeEvent(event);
}

void SectionLabel::resizeEvent(QResizeEvent* event) {
  fitCaption();
  QLabel::resizeEvent(event);
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
  const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  QLabel::mouseReleaseEvent(event);
  if (click) {
    emit clicked(section_);
  }
}

void SectionLabel::keyPressEvent(QKeyEvent* event) {
  const int key = event->key();
  if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
    event->accept();
    emit clicked(section_);
    return;
  }
  QLabel::keyPressEvent(event);
}

void SectionLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  paintFocusFrame(*this, *this);
}

}  // namespace orsa::app
