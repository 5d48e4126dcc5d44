#include "QtDialogService.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStringList>

namespace orsa::app {
namespace {

QMessageBox::Icon toQt(DialogService::Icon icon) {
  switch (icon) {
    case DialogService::Icon::Information:
      return QMessageBox::Information;
    case DialogService::Icon::Warning:
      return QMessageBox::Warning;
    case DialogService::Icon::Question:
      return QMessageBox::Question;
    case DialogService::Icon::Critical:
      return QMessageBox::Critical;
    case DialogService::Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString QtDialogService::toQtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    const QString& pattern = parts[i + 1];
    // A name that already lists its pattern must not show it twice.
    entries << (name.contains(pattern) ? name : QStringLiteral("%1 (%2)").arg(name, pattern));
  }
  return entries.join(QStringLiteral(";;"));
}

DialogService::Answer QtDialogService::message(const QString& text, const QString& title, Icon icon, Buttons buttons) {
  const auto qtButtons = buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
  QMessageBox box(toQt(icon), title, text, qtButtons);
  const int chosen = box.exec();
  if (buttons == Buttons::Ok) {
    return Answer::Ok;
  }
  return chosen == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<QString> QtDialogService::openFileName(const QString& filter) {
  const QString name = QFileDialog::getOpenFileName(nullptr, QString(), QString(), toQtFilter(filter));
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> QtDialogService::saveFileName(const QString& initialName, const QString& filter) {
  // No default suffix: the caller decides how a typed name gets its extension.
  QFileDialog dialog(nullptr, QString(), QString(), toQtFilter(filter));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.selectFile(initialName);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().constFirst();
}

std::optional<QString> QtDialogService::folderName(const QString& title) {
  // Starts from the desktop, where technicians keep what they bring on a stick.
  const QString folder = QFileDialog::getExistingDirectory(
      nullptr, title, QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
  return folder.isEmpty() ? std::nullopt : std::optional<QString>(folder);
}

}  // namespace orsa::app
