#include "FirmwareCommands.h"

#include "LocalPath.h"
#include "DeviceSession.h"
#include "DialogService.h"
#include "ProgressMeter.h"
#include "ResultBox.h"
#include "TForm1.h"
#include "firmware/MCUpdateThread.h"

#include <QProgressBar>
#include <QStackedWidget>

namespace orsa::app {
FirmwareCommands::FirmwareCommands(TForm1& form, DeviceSession& session, DialogService& dialogs)
    : form_(form), session_(session), dialogs_(dialogs) {
  // The page's bar: the settings progress window, owned by the main window, has one too.
  if (auto* bar = form_.pageControl()->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))) {
    progress_ = std::make_unique<ProgressMeter>(*bar);
  }
}

FirmwareCommands::~FirmwareCommands() = default;

void FirmwareCommands::update() {
  const auto chosen = dialogs_.openFileName(QStringLiteral("Файл прошивки (*.fmw)|*.fmw"));
  if (!chosen || chosen->isEmpty() || busy()) {
    return;
  }
  using Worker = firmware::MCUpdateThread;
  Worker::Callbacks callbacks;
  callbacks.showProgress = [this](const Worker& w) {
    if (progress_) {
      progress_->show(w.progressPosition, w.progressMax);
      progress_->bar().setVisible(true);
    }
  };
  callbacks.showResult = [this](const Worker& w) {
    form_.showOperationResult(w.resultCode, QString::fromStdString(w.messageText));
  };
  auto worker = std::make_unique<Worker>(session_.linkForOperation(), std::move(callbacks));
  worker->firmwarePath = localPath(QString::fromStdString(firmware::firmwareFileName(chosen->toStdString())));
  // Released after every end, a success included, so a second beacon can be
  // updated without restarting the program.
  if (auto refusal = worker_.start(std::move(worker), [this] { emit updateFinished(); })) {
    showResultBox(dialogs_, link::kResultFailure, QString::fromStdString(*refusal));
  }
}

}  // namespace orsa::app
