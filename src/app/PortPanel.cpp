#include "PortPanel.h"

#include "UiColors.h"

#include <QCheckBox>
#include <QComboBox>
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

  ports_ = new QComboBox(this);
  ports_->setObjectName(QStringLiteral("PortComboBox"));
  ports_->setEditable(true);
  ports_->setInsertPolicy(QComboBox::NoInsert);
  ports_->setGeometry(16, 44, 200, 22);

  enumerate_ = new QPushButton(QStringLiteral("Перечислить COM - порты"), this);
  enumerate_->setObjectName(QStringLiteral("Button8"));
  enumerate_->setGeometry(16, 80, 200, 27);
  connect(enumerate_, &QPushButton::clicked, this, &PortPanel::refill);
}

void PortPanel::refill() {
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
