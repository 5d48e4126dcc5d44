#include "ModemDrivePanel.h"

#include "FindControl.h"
#include "DialogService.h"
#include "settings/Cp1251.h"

#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

namespace orsa::app {
namespace {

using Mode = service::ServiceThread::Mode;

QString bytesText(std::int64_t bytes) { return QLocale(QLocale::Russian).toString(static_cast<qlonglong>(bytes)); }

}  // namespace

ModemDrivePanel::ModemDrivePanel(QWidget& page, ServiceCommands& commands, DialogService& dialogs)
    : commands_(commands),
      dialogs_(dialogs),
      list_(control<QTreeWidget>(page, "ListModemFiles")),
      listButton_(control<QPushButton>(page, "ButtonModemFiles")),
      removeButton_(control<QPushButton>(page, "ButtonModemFileRemove")),
      free_(control<QLabel>(page, "LabelModemFree")) {
  removeButton_->setEnabled(false);
  connect(listButton_, &QPushButton::clicked, this, [this] { commands_.start(Mode::kListModemFiles); });
  connect(removeButton_, &QPushButton::clicked, this, &ModemDrivePanel::removeChosen);
  connect(list_, &QTreeWidget::itemSelectionChanged, this,
          [this] { removeButton_->setEnabled(!list_->selectedItems().isEmpty()); });
  connect(&commands_, &ServiceCommands::operationStarted, this, [this](std::int32_t mode) {
    if (mode == Mode::kListModemFiles) clear();
  });
  connect(&commands_, &ServiceCommands::modemFilesListed, this, &ModemDrivePanel::show);
  connect(&commands_, &ServiceCommands::operationFinished, this, &ModemDrivePanel::operationFinished);
}

void ModemDrivePanel::clear() {
  list_->clear();
  free_->clear();
}

void ModemDrivePanel::show(const ServiceCommands::ModemFiles& files, std::optional<std::int32_t> freeBytes) {
  clear();
  for (const auto& file : files) {
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, QString::fromStdString(settings::Cp1251::toUtf8(file.name)));
    // The removal names the file with the modem's own bytes, not with what the screen made of them.
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(file.name));
    if (file.size) {
      item->setText(1, bytesText(*file.size));
    } else {
      item->setText(1, QStringLiteral("—"));
      item->setToolTip(1, QStringLiteral("Модем не сообщил размер файла"));
    }
    item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
  }
  if (freeBytes) free_->setText(QStringLiteral("Свободно:\n%1 байт").arg(bytesText(*freeBytes)));
  listButton_->setText(QStringLiteral("Обновить"));
}

void ModemDrivePanel::removeChosen() {
  const QList<QTreeWidgetItem*> chosen = list_->selectedItems();
  if (chosen.isEmpty()) return;
  const QString shown = chosen.front()->text(0);
  const std::string name = chosen.front()->data(0, Qt::UserRole).toByteArray().toStdString();
  const auto answer =
      dialogs_.message(QStringLiteral("Удалить файл %1 с модема?").arg(shown), QStringLiteral("Конфигуратор"),
                       DialogService::Icon::Question, DialogService::Buttons::YesNo);
  if (answer != DialogService::Answer::Yes) return;
  commands_.start(Mode::kRemoveModemFile, {}, {}, name);
}

void ModemDrivePanel::operationFinished(std::int32_t mode, bool reachedAim) {
  // The listing shows the removal's outcome and the space it freed; a removal the modem refused
  // changed nothing to list.
  if (mode == Mode::kRemoveModemFile && reachedAim) commands_.start(Mode::kListModemFiles);
}

}  // namespace orsa::app
