#pragma once

#include "BeaconFixture.h"
#include "ServiceCommands.h"
#include "TForm5.h"
#include "service/ConfigIni.h"
#include "support/Checked.h"
#include "support/TempDir.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <filesystem>
#include <fstream>
#include <memory>

namespace orsa::app::test {

// The service window on the main window's channel to a simulated beacon, with a config.ini of
// its own.
class ServiceWindowFixture : public BeaconFixture {
 protected:
  ServiceWindowFixture() { EXPECT_TRUE(home.isValid()); }

  std::filesystem::path configPath() const { return std::filesystem::path(home.filePath("config.ini").toStdString()); }
  service::ConfigIni config() const { return service::ConfigIni(configPath()); }

  TForm5& openWindow() {
    window = std::make_unique<TForm5>(dialogs, form.session(), configPath());
    return *window;
  }
  template <class T>
  T* control(const char* name) {
    return orsa::testing::present(window->findChild<T*>(QString::fromLatin1(name)), name);
  }
  void press(const char* button) { QTest::mouseClick(control<QWidget>(button), Qt::LeftButton); }
  // Presses a button and waits for the operation it starts to end.
  void runOperation(const char* button) {
    QSignalSpy finished(&window->commands(), &ServiceCommands::operationFinished);
    press(button);
    ASSERT_TRUE(finished.wait(20000)) << button << " did not finish";
  }
  // The log as it reads without the time each of its own lines starts with.
  static QString withoutTimes(QString text) {
    static const QRegularExpression time(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d "), QRegularExpression::MultilineOption);
    return text.remove(time);
  }
  QStringList logLines() {
    const QString text = withoutTimes(control<QPlainTextEdit>("Memo1")->toPlainText());
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  }

  QString makeFile(const QString& folder, const QString& name, std::size_t size) {
    const QString path = QDir(folder).filePath(name);
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + size) & 0xFF);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
    return path;
  }
  static std::vector<std::uint8_t> bytesOf(const QString& path) {
    return orsa::testing::fileBytes(std::filesystem::path(path.toStdU16String()));
  }

  QTemporaryDir home;
  std::unique_ptr<TForm5> window;
};

}  // namespace orsa::app::test
