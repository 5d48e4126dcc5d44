#include "GnssCommands.h"

#include "LocalPath.h"
#include "DeviceSession.h"
#include "DialogService.h"
#include "ResultBox.h"
#include "firmware/GPSUpdateThread.h"
#include "firmware/ShowNMEAThread.h"
#include "settings/Cp1251.h"

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace orsa::app {
namespace {

template <typename T>
T* control(QWidget& page, const char* name) {
  auto* found = page.findChild<T*>(QString::fromLatin1(name));
  Q_ASSERT(found != nullptr);
  return found;
}

// The status line's fields one under another, as the label is narrower than the line.
QString statusText(const firmware::GnssStatus& status) {
  return QString::fromStdString(firmware::statusLine(status)).replace(QStringLiteral(" | "), QStringLiteral("\n"));
}

}  // namespace

GnssCommands::GnssCommands(DeviceSession& session, DialogService& dialogs, QWidget& page, LogLine logLine,
                           LogLine stream)
    : session_(session),
      dialogs_(dialogs),
      logLine_(std::move(logLine)),
      stream_(std::move(stream)),
      relayBox_(control<QCheckBox>(page, "CheckBox1")),
      flashButton_(control<QPushButton>(page, "Button7")),
      progress_(control<QProgressBar>(page, "ProgressBar1")),
      status_(control<QLabel>(page, "GnssStatusLabel")) {
  // toggled, not clicked: unchecking from the program must stop the relay just as a click does.
  connect(relayBox_, &QCheckBox::toggled, this, &GnssCommands::setRelay);
  session_.setRelayStopper([this] { stopRelay(); });
}

GnssCommands::~GnssCommands() {
  session_.setRelayStopper({});
  requestStop();
  join();
}

void GnssCommands::requestStop() {
  relay_.requestStop();
  flash_.requestStop();
}

void GnssCommands::join() {
  relay_.join();
  flash_.join();
}

void GnssCommands::stopRelay() { relayBox_->setChecked(false); }

void GnssCommands::setRelay(bool on) {
  if (!on) {
    // Joined here, on the window thread, so the channel is free for whatever comes next; a drain
    // that was waiting for this thread is abandoned, not run.
    relay_.requestStop();
    relay_.join();
    return;
  }
  if (relay_.busy()) return;
  decoder_ = {};
  status_->setText(QStringLiteral("Ожидание NMEA потока..."));
  using Worker = firmware::ShowNMEAThread;
  Worker::Callbacks callbacks;
  callbacks.drain = [this](std::string_view stream) { drain(stream); };
  callbacks.showResult = [this](const Worker& w) {
    status_->clear();
    showResultBox(dialogs_, w.resultCode, QString::fromStdString(w.messageText));
  };
  // The relay's own link: it is what every other start stops first.
  auto worker = std::make_unique<Worker>(session_.deviceLink(), std::move(callbacks));
  if (auto refusal = relay_.start(std::move(worker), {})) {
    status_->clear();
    logLine_(QString::fromStdString(*refusal));
  }
}

void GnssCommands::drain(std::string_view stream) {
  decoder_.feed(stream);
  status_->setText(statusText(decoder_.status()));
  // Line ends stay as the module sent them, but a carriage return would count as a line end of its
  // own in the text control, twice for "\r\n" cut between two drains.
  QString text = QString::fromStdString(settings::Cp1251::toUtf8(std::string(stream)));
  text.remove(QLatin1Char('\r'));
  stream_(text);
}

void GnssCommands::startFlash(const QString& loaderPath, const QString& firmwarePath) {
  stopRelay();
  if (flash_.busy()) return;
  flashButton_->setEnabled(false);
  using Worker = firmware::GPSUpdateThread;
  Worker::Callbacks callbacks;
  callbacks.appendLog = [this](const Worker& w) { logLine_(QString::fromStdString(w.messageText)); };
  callbacks.showProgress = [this](const Worker& w) {
    progress_->setMaximum(w.progressMax);
    progress_->setValue(w.progressPosition);
  };
  callbacks.enable = [this](const Worker&) { flashButton_->setEnabled(true); };
  callbacks.showResult = [this](const Worker& w) {
    showResultBox(dialogs_, w.resultCode, QString::fromStdString(w.messageText));
  };
  auto worker = std::make_unique<Worker>(session_.linkForOperation(), std::move(callbacks));
  worker->loaderPath = localPath(loaderPath);
  worker->firmwarePath = localPath(firmwarePath);
  if (auto refusal = flash_.start(std::move(worker), [this] { emit flashFinished(); })) {
    flashButton_->setEnabled(true);
    logLine_(QString::fromStdString(*refusal));
  }
}

}  // namespace orsa::app
