#include "QtDialogService.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QMessageBox>
#include <QTreeView>
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

// The kinds Qt's dialog shows in its "Тип" column; Qt's Russian texts leave them in English.
class RussianKinds final : public QFileIconProvider {
 public:
  QString type(const QFileInfo& info) const override {
    if (info.isRoot()) return QStringLiteral("Диск");
    if (info.isDir()) return QStringLiteral("Папка");
    if (info.isSymLink()) return QStringLiteral("Ссылка");
    const QString suffix = info.suffix();
    return suffix.isEmpty() ? QStringLiteral("Файл") : QStringLiteral("Файл %1").arg(suffix.toUpper());
  }
};

// Room enough for the long names of technicians' folders beside size, kind and date.
constexpr QSize kDialogSize(780, 480);

// Qt's dialog makes its views only when it is first shown (a platform dialog needs none); they are
// set up then.
class ProgramFileDialog final : public QFileDialog {
 public:
  using QFileDialog::QFileDialog;

 protected:
  void showEvent(QShowEvent* event) override {
    if (!prepared_) {
      prepared_ = true;
      // The dialog does not own its provider; one serves every dialog of the run.
      static RussianKinds kinds;
      setIconProvider(&kinds);
      if (auto* details = findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = details->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(QHeaderView::ResizeToContents);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
      }
    }
    QFileDialog::showEvent(event);
  }

 private:
  bool prepared_ = false;
};

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

DialogService::Answer QtDialogService::show(const Box& request) {
  const bool question = request.buttons == Buttons::YesNo;
  QMessageBox box(toQt(request.icon), request.title, request.text,
                  question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
  box.setInformativeText(request.details);
  if (question) {
    box.setDefaultButton(request.preferred == Answer::No ? QMessageBox::No : QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
  }
  const int chosen = box.exec();
  if (!question) {
    return Answer::Ok;
  }
  return chosen == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::unique_ptr<QFileDialog> QtDialogService::fileDialog(const QString& title, const QString& filter) {
  std::unique_ptr<QFileDialog> dialog =
      std::make_unique<ProgramFileDialog>(nullptr, title, QString(), toQtFilter(filter));
  dialog->setViewMode(QFileDialog::Detail);
  dialog->resize(kDialogSize);
  return dialog;
}

namespace {

std::optional<QString> firstChosen(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  const QString name = dialog.selectedFiles().constFirst();
  return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

}  // namespace

std::optional<QString> QtDialogService::openFileName(const QString& filter) {
  const auto dialog = fileDialog(QString(), filter);
  dialog->setFileMode(QFileDialog::ExistingFile);
  return firstChosen(*dialog);
}

std::optional<QString> QtDialogService::saveFileName(const QString& initialName, const QString& filter) {
  // No default suffix: the caller decides how a typed name gets its extension.
  const auto dialog = fileDialog(QString(), filter);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->selectFile(initialName);
  return firstChosen(*dialog);
}

std::optional<QString> QtDialogService::folderName(const QString& title) {
  const auto dialog = fileDialog(title, QString());
  dialog->setFileMode(QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  // Starts from the desktop, where technicians keep what they bring on a stick.
  dialog->setDirectory(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
  return firstChosen(*dialog);
}

}  // namespace orsa::app
