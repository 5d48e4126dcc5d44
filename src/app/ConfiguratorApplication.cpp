#include "ConfiguratorApplication.h"

#include "UiFonts.h"
#include "orsa/Version.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <exception>

namespace orsa::app {

ConfiguratorApplication::ConfiguratorApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("Конфигуратор"));
  setApplicationVersion(QString::fromLatin1(kVersion));
  setStyle(QStringLiteral("Fusion"));
  // Set before any window exists, so that tool tips, menus and message boxes, which take the
  // application's font rather than a window's, match the windows.
  setFont(fonts::msSansSerif());
  installQtTranslations();
}

void ConfiguratorApplication::installQtTranslations() {
  auto* qtTexts = new QTranslator(this);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (qtTexts->load(QStringLiteral("qtbase_ru"), folder)) {
    installTranslator(qtTexts);
  } else {
    qWarning("Qt's Russian texts (qtbase_ru.qm) are missing in %s; install qt6-translations-l10n",
             qUtf8Printable(folder));
  }
}

void ConfiguratorApplication::setErrorDialogs(DialogService* dialogs) {
  errorDialogs_ = dialogs != nullptr ? dialogs : &messageBoxes_;
}

void ConfiguratorApplication::showError(const QString& text) {
  errorDialogs_->message(text, applicationName(), DialogService::Icon::Critical, DialogService::Buttons::Ok);
}

bool ConfiguratorApplication::notify(QObject* receiver, QEvent* event) {
  // The command that raised the error is over; the window and the other commands are not.
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showError(QString::fromUtf8(error.what()));
  } catch (...) {
    showError(QStringLiteral("Непредвиденная ошибка"));
  }
  return false;
}

}  // namespace orsa::app
