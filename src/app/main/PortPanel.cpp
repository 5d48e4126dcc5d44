#include "PortPanel.h"

#include "UiColors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace orsa::app {

PortPanel::PortPanel(QWidget* form) : QFrame(form) {
  setObjectName(QStringLiteral("Panel12"));
  setGeometry(1, 446, 232, 131);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, colors::nearWhite());
  setPalette(pal);

  auto_ = new QCheckBox(QStringLiteral("Определить порт автоматически"), this);
  auto_->setObjectName(QStringLiteral("PortAutoCheckBox"));
  auto_->setGeometry(16, 14, 205, 20);
  auto_->setChecked(true);
  connect(auto_, &QCheckBox::toggled, this, &PortPanel::followCheckBox);

  ports_ = new QComboBox(this);
  ports_->setObjectName(QStringLiteral("PortComboBox"));
  ports_->setEditable(true);
  ports_->setInsertPolicy(QComboBox::NoInsert);
  ports_->setGeometry(16, 44, 200, 22);
  ports_->setEnabled(false);

  enumerate_ = new QPushButton(QStringLiteral("Перечислить COM - порты"), this);
  enumerate_->setObjectName(QStringLiteral("Button8"));
  enumerate_->setGeometry(16, 80, 200, 27);
  connect(enumerate_, &QPushButton::clicked, this, &PortPanel::refill);

  status_ = new QLabel(this);
  status_->setObjectName(QStringLiteral("PortStatusLabel"));
  status_->setGeometry(16, 110, 200, 16);
  QPalette statusPal = status_->palette();
  statusPal.setColor(QPalette::WindowText, QColor(160, 0, 0));
  status_->setPalette(statusPal);
  status_->hide();

  // A reason given for one port says nothing about another.
  const auto forget = [this] { setConnectProblem(QString()); };
  connect(auto_, &QCheckBox::toggled, this, forget);
  connect(ports_, &QComboBox::currentTextChanged, this, forget);
  connect(ports_, &QComboBox::editTextChanged, this, forget);
}

void PortPanel::setConnectProblem(const QString& reason) {
  if (reason == problem_) return;
  problem_ = reason;
  // The line holds what fits, its start (what failed) and its end (who holds the port); the whole
  // reason is in the tool tip.
  status_->setText(status_->fontMetrics().elidedText(reason, Qt::ElideMiddle, status_->width()));
  status_->setVisible(!reason.isEmpty());
  // The panel's tip also serves its other controls, which have none of their own.
  setToolTip(reason);
  status_->setToolTip(reason);
  ports_->setToolTip(reason);
}

void PortPanel::followCheckBox(bool automatic) {
  if (automatic) {
    manualText_ = ports_->currentText();
    ports_->setEnabled(false);
    refill();
  } else {
    ports_->setEnabled(true);
    refill();
    if (!manualText_.isEmpty()) setPortText(manualText_);
  }
}

void PortPanel::refill() {
  if (automatic()) {
    ports_->clear();
    const QString found = finder_ ? finder_() : QString();
    if (!found.isEmpty()) ports_->addItem(found);
    ports_->setEditText(found);
    return;
  }
  const QString typed = ports_->currentText();
  ports_->clear();
  const QStringList found = lister_ ? lister_() : QStringList();
  for (const QString& port : found) {
    ports_->addItem(port);
    ports_->setCurrentIndex(0);
  }
  if (found.isEmpty()) {
    ports_->setEditText(typed);
  }
}

bool PortPanel::automatic() const { return auto_->isChecked(); }

QString PortPanel::portText() const { return ports_->currentText(); }

void PortPanel::setAutomatic(bool on) { auto_->setChecked(on); }

void PortPanel::setPortText(const QString& text) {
  const int index = ports_->findText(text);
  if (index >= 0) {
    ports_->setCurrentIndex(index);
  } else {
    ports_->setEditText(text);
  }
}

}  // namespace orsa::app
