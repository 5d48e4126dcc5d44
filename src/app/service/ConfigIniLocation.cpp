#include "ConfigIniLocation.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>
#include <QTemporaryFile>

#include "LocalPath.h"

namespace orsa::app {
namespace {

const QString kFileName = QStringLiteral("config.ini");
const QString kFolderName = QStringLiteral("orsa-configurator");

std::filesystem::path pathOf(const QString& folder) { return localPath(QDir(folder).filePath(kFileName)); }

#ifdef Q_OS_WIN
// Qt reads no NTFS permissions unless told to (process-wide, unsafe with other threads before Qt
// 6.6), and a folder under Program Files looks writable to it: whether the folder takes a file is
// found by making one there, removed again at once.
bool takesFiles(const QString& folder) {
  QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("config-XXXXXX.tmp")));
  return probe.open();
}
#endif

}  // namespace

std::filesystem::path configIniPath() {
#ifdef Q_OS_WIN
  const QString beside = QCoreApplication::applicationDirPath();
  const QString roaming = qEnvironmentVariable("APPDATA");
  if (!roaming.isEmpty() && !takesFiles(beside)) {
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
