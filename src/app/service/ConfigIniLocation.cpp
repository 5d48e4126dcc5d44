#include "ConfigIniLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include "LocalPath.h"

namespace orsa::app {
namespace {

const QString kFileName = QStringLiteral("config.ini");
const QString kFolderName = QStringLiteral("orsa-configurator");

std::filesystem::path pathOf(const QString& folder) { return localPath(QDir(folder).filePath(kFileName)); }

}  // namespace

std::filesystem::path configIniPath() {
#ifdef Q_OS_WIN
  const QString beside = QCoreApplication::applicationDirPath();
  const QString roaming = qEnvironmentVariable("APPDATA");
  if (!QFileInfo(beside).isWritable() && !roaming.isEmpty()) {
    return pathOf(QDir(roaming).filePath(kFolderName));
  }
  return pathOf(beside);
#else
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) {
    base = QDir::home().filePath(QStringLiteral(".config"));
  }
  return pathOf(QDir(base).filePath(kFolderName));
#endif
}

}  // namespace orsa::app
