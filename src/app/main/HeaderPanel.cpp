#include "HeaderPanel.h"

#include "ExitLabel.h"
#include "UiColors.h"
#include "UiFonts.h"
#include "orsa/Version.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

namespace orsa::app {
namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font, const QColor& color,
                  QPoint at) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setFont(font);
  QPalette pal = label->palette();
  pal.setColor(QPalette::WindowText, color);
  label->setPalette(pal);
  label->adjustSize();
  label->move(at);
  return label;
}

}  // namespace

HeaderPanel::HeaderPanel(QWidget* form)
    : QFrame(form), systemMove_([](QWindow* window) { return window->startSystemMove(); }) {
  setObjectName(QStringLiteral("Panel1"));
  setGeometry(0, -2, 748, 68);
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(1);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, colors::nearWhite());
  setPalette(pal);

  makeLabel(this, QStringLiteral("TitleLabel"), QStringLiteral("Конфигуратор ОРСА Т1 / Т2 / Т4"),
            fonts::arial(16, true), colors::headerGrey(), {24, 24});
  makeLabel(this, QStringLiteral("VersionLabel"), QStringLiteral("Версия ") + QString::fromLatin1(kVersion),
            fonts::msSansSerif(11), Qt::black, {680, 40});
  makeLabel(this, QStringLiteral("BannerLabel"), QString(), fonts::consolas(21, true), Qt::black, {24, 22});
  exitLabel_ = new ExitLabel(this);
}

void HeaderPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QFrame::mousePressEvent(event);
    return;
  }
  // The move starts only once the mouse travels with the button held: a window manager handed a
  // move for a press whose release has already arrived keeps the window on the pointer.
  drag_ = Drag::Pressed;
  grabOffset_ = event->globalPosition().toPoint() - window()->pos();
}

void HeaderPanel::mouseMoveEvent(QMouseEvent* event) {
  if (drag_ == Drag::None || !(event->buttons() & Qt::LeftButton)) {
    drag_ = Drag::None;
    QFrame::mouseMoveEvent(event);
    return;
  }
  if (drag_ == Drag::Pressed) {
    // Moved as if its title bar were grabbed; platforms without that get the
    // window moved by the mouse's travel.
    QWindow* handle = window()->windowHandle();
    if (handle != nullptr && systemMove_(handle)) {
      drag_ = Drag::None;
      return;
    }
    drag_ = Drag::ByHand;
  }
  window()->move(event->globalPosition().toPoint() - grabOffset_);
}

void HeaderPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    drag_ = Drag::None;
  }
  QFrame::mouseReleaseEvent(event);
}

}  // namespace orsa::app
