#include "FirmwareCommands.h"

#include "DeviceSession.h"
#include "DialogService.h"
#include "TForm1.h"
#include "firmware/MCUpdateThread.h"

#include <QProgressBar>

namespace orsa::app {
namespace {

const QString kTitle = QStringLiteral("Конфигуратор");

}  // namespace

FirmwareCommands::FirmwareCommands(TForm1& form, DeviceSession& session, DialogService& dialogs)
    : form_(form), session_(session), dialogs_(dialogs) {}

FirmwareCommands::~FirmwareCommands() {
  requestStop();
  join();
}

void FirmwareCommands::requestStop() {
  if (worker_) {
    worker_->requestStop();
  }
}

void FirmwareCommands::join() {
  if (worker_) {
    worker_->join();
    worker_.reset();
  }
}

void FirmwareCommands::update() {
  const auto chosen = dialogs_.openFileName(QStringLiteral("Файл прошивки (*.fmw)|*.fmw"));
  if (!chosen || chosen->isEmpty() || busy()) {
    return;
  }
  using Worker = firmware::MCUpdateThread;
  Worker::Callbacks callbacks;
  callbacks.showProgress = [this](const Worker& w) {
    if (auto* bar = form_.findChild<QProgressBar*>(QStringLiteral("ProgressBar1"))) {
      bar->setVisible(true);
      bar->setMaximum(w.progressMax);
      bar->setValue(w.progressPosition);
    }
  };
  callbacks.showResult = [this](const Worker& w) {
    const QString text = QString::fromStdString(w.messageText);
    if (w.resultCode == link::kResultSuccess) {
      dialogs_.message(text, kTitle, DialogService::Icon::Information, DialogService::Buttons::Ok);
    } else if (w.resultCode == link::kResultFailure) {
      dialogs_.message(text, kTitle, DialogService::Icon::Warning, DialogService::Buttons::Ok);
    }
  };
  worker_ = std::make_unique<Worker>(session_.deviceLink(), std::move(callbacks));
  worker_->firmwarePath = firmware::firmwareFileName(chosen->toStdString());
  // Released after every end, a success included, so a second beacon can be
  // updated without restarting the program.
  worker_->setFinishedHandler([this] {
    QMetaObject::invokeMethod(
        this,
        [this] {
          join();
          emit updateFinished();
        },
        Qt::QueuedConnection);
  });
  if (!worker_->start()) {
    const QString refusal = QString::fromStdString(worker_->refusalMessage());
    worker_.reset();
    dialogs_.message(refusal, kTitle, DialogService::Icon::Warning, DialogService::Buttons::Ok);
  }
}

}  // namespace orsa::app
