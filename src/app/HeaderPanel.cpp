#include "HeaderPanel.h"

#include "ExitLabel.h"
#include "UiColors.h"
#include "UiFonts.h"

#include <QLabel>
#include <QMouseEvent>
#include <QWindow>

namespace orsa::app {
namespace {

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QFont& font,
                  const QColor& color, QPoint at) {
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

HeaderPanel::HeaderPanel(QWidget* form) : QFrame(form) {
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
  makeLabel(this, QStringLiteral("VersionLabel"), QStringLiteral("Версия 1.1"),
            fonts::msSansSerif(11), Qt::black, {680, 40});
  makeLabel(this, QStringLiteral("BannerLabel"), QString(), fonts::consolas(21, true), Qt::black,
            {24, 22});
  exitLabel_ = new ExitLabel(this);
}

void HeaderPanel::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QFrame::mousePressEvent(event);
    return;
  }
  // Let the window manager move the window as if its title bar were grabbed;
  // platforms without that get the window moved by the mouse's travel.
  QWindow* handle = window()->windowHandle();
  if (handle != nullptr && handle->startSystemMove()) {
    return;
  }
  dragging_ = true;
  grabOffset_ = event->globalPosition().toPoint() - window()->pos();
}

void HeaderPanel::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    window()->move(event->globalPosition().toPoint() - grabOffset_);
    return;
  }
  QFrame::mouseMoveEvent(event);
}

void HeaderPanel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    dragging_ = false;
  }
  QFrame::mouseReleaseEvent(event);
}

}  // namespace orsa::app
