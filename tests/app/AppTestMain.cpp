#include "ConfiguratorApplication.h"
#include "DialogService.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// An error that escapes a handler in a test fails that test instead of waiting on a modal box.
class FailingErrorDialogs : public orsa::app::DialogService {
 public:
  Answer show(const Box& box) override {
    ADD_FAILURE() << "error escaped an event handler: " << box.text.toStdString();
    return Answer::Ok;
  }
  std::optional<QString> openFileName(const QString&) override { return std::nullopt; }
  std::optional<QString> saveFileName(const QString&, const QString&) override { return std::nullopt; }
  std::optional<QString> folderName(const QString&) override { return std::nullopt; }
};

}  // namespace

int main(int argc, char** argv) {
  // The tests drive real widgets without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  orsa::app::ConfiguratorApplication app(argc, argv);
  // The windows read and write the user's config.ini; the tests get one of their own.
  QTemporaryDir configHome;
  if (!configHome.isValid()) {
    return 1;
  }
  qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
  FailingErrorDialogs failOnEscapedErrors;
  app.setErrorDialogs(&failOnEscapedErrors);
  ::testing::InitGoogleTest(&argc, argv);
  const int status = RUN_ALL_TESTS();
  app.setErrorDialogs(nullptr);
  return status;
}
