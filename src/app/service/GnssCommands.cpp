#include "GnssCommands.h"

#include "FindControl.h"
#include "LocalPath.h"
#include "DeviceSession.h"
#include "DialogService.h"
#include "ResultBox.h"
#include "firmware/GPSUpdateThread.h"
#include "firmware/ShowNMEAThread.h"
#include "settings/Cp1251.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>

#include <cstdint>
#include <optional>
#include <system_error>

namespace orsa::app {
namespace {

// The receiver's line packed into the label: as many of its fields on a line as the label is wide,
// none of them cut.
QString packedText(const std::string& line, const QLabel& label) {
  const QFontMetrics metrics(label.font());
  const QStringList fields = QString::fromStdString(line).split(QStringLiteral(" | "));
  QStringList lines;
  for (const QString& field : fields) {
    const QString joined = lines.isEmpty() ? QString() : lines.back() + QStringLiteral(" · ") + field;
    if (!lines.isEmpty() && metrics.horizontalAdvance(joined) <= label.width()) {
      lines.back() = joined;
    } else {
      lines.push_back(field);
    }
  }
  return lines.join(QLatin1Char('\n'));
}

QString optionalNumber(const std::optional<int>& value) { return value ? QString::number(*value) : QString(); }

// The size the file system gives a regular file, asked without opening it: opening a pipe would
// hold the window. Nothing for anything else, which the flash itself refuses with its reason.
std::optional<std::uint64_t> regularFileSize(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return std::nullopt;
  return size;
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
      recoverButton_(control<QPushButton>(page, "ButtonGnssRecover")),
      progress_(control<QProgressBar>(page, "ProgressBar1")),
      status_(control<QLabel>(page, "GnssStatusLabel")),
      sky_(control<QTreeWidget>(page, "ListSatellites")),
      release_(control<QLabel>(page, "LabelGnssRelease")),
      progressText_(*progress_) {
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
    clearReceiver();
    return;
  }
  if (relay_.busy()) return;
  clearReceiver();
  status_->setText(QStringLiteral("Ожидание NMEA потока..."));
  using Worker = firmware::ShowNMEAThread;
  Worker::Callbacks callbacks;
  callbacks.drain = [this](std::string_view stream) { drain(stream); };
  callbacks.showResult = [this](const Worker& w) {
    clearReceiver();
    showResultBox(dialogs_, w.resultCode, QString::fromStdString(w.messageText));
  };
  // The relay's own link: it is what every other start stops first.
  auto worker = std::make_unique<Worker>(session_.deviceLink(), std::move(callbacks));
  if (auto refusal = relay_.start(std::move(worker))) {
    clearReceiver();
    logLine_(QString::fromStdString(*refusal));
  }
}

void GnssCommands::drain(std::string_view stream) {
  // Called once a second, with or without bytes, so a silent module shows as silent.
  const auto now = firmware::NmeaDecoder::Clock::now();
  decoder_.feed(stream, now);
  showReceiver(now);
  // Line ends stay as the module sent them, but a carriage return would count as a line end of its
  // own in the text control, twice for "\r\n" cut between two drains.
  QString text = QString::fromStdString(settings::Cp1251::toUtf8(std::string(stream)));
  text.remove(QLatin1Char('\r'));
  stream_(text);
}

void GnssCommands::showReceiver(firmware::NmeaDecoder::Clock::time_point now) {
  const bool fresh = decoder_.fresh(now);
  status_->setText(packedText(firmware::receiverLine(decoder_, now), *status_));
  sky_->clear();
  if (!fresh) return;
  QList<QTreeWidgetItem*> rows;
  for (const firmware::SatelliteView& satellite : decoder_.status().satellites) {
    auto* row = new QTreeWidgetItem(QStringList{QString::fromStdString(firmware::systemName(satellite.system)),
                                                QString::number(satellite.prn), optionalNumber(satellite.elevation),
                                                optionalNumber(satellite.azimuth), optionalNumber(satellite.snr),
                                                satellite.used ? QStringLiteral("да") : QString()});
    for (int column = 1; column < 5; ++column) row->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
    row->setTextAlignment(5, Qt::AlignCenter);
    rows.push_back(row);
  }
  sky_->addTopLevelItems(rows);
}

void GnssCommands::clearReceiver() {
  decoder_ = {};
  status_->clear();
  sky_->clear();
}

void GnssCommands::startFlash(const QString& loaderPath, const QString& firmwarePath) {
  if (flash_.busy()) return;
  const std::filesystem::path loader = localPath(loaderPath);
  const std::filesystem::path firmware = localPath(firmwarePath);
  bool confirmed = false;
  // Asked before the relay is stopped: a "No" leaves everything as it was.
  if (!filesAccepted(loader, firmware, confirmed)) return;
  auto worker = newFlashWorker();
  worker->loaderPath = loader;
  worker->firmwarePath = firmware;
  worker->unusualFilesConfirmed = confirmed;
  startFlashWorker(std::move(worker));
}

void GnssCommands::startRecovery() {
  if (flash_.busy()) return;
  auto worker = newFlashWorker();
  worker->recoverOnly = true;
  startFlashWorker(std::move(worker));
}

bool GnssCommands::filesAccepted(const std::filesystem::path& loader, const std::filesystem::path& firmware,
                                 bool& confirmed) {
  const auto loaderSize = regularFileSize(loader);
  const auto firmwareSize = regularFileSize(firmware);
  if (!loaderSize || !firmwareSize) return true;
  QString question = QString::fromStdString(firmware::unusualFlashFiles(*loaderSize, *firmwareSize));
  if (question.isEmpty()) return true;
  if (!question.endsWith(QLatin1Char('.'))) question += QLatin1Char('.');
  question += QStringLiteral(" Продолжить?");
  confirmed = dialogs_.message(question, QStringLiteral("Конфигуратор"), DialogService::Icon::Question,
                               DialogService::Buttons::YesNo) == DialogService::Answer::Yes;
  return confirmed;
}

std::unique_ptr<firmware::GPSUpdateThread> GnssCommands::newFlashWorker() {
  using Worker = firmware::GPSUpdateThread;
  Worker::Callbacks callbacks;
  callbacks.appendLog = [this](const Worker& w) {
    logLine_(QString::fromStdString(w.messageText));
    if (!w.recoverOnly) showRelease(w);
  };
  callbacks.showProgress = [this](const Worker& w) { progressText_.show(w.progressPosition, w.progressMax); };
  callbacks.enable = [this](const Worker& w) {
    setFlashButtonsEnabled(true);
    if (!w.recoverOnly) showRelease(w);
  };
  callbacks.showResult = [this](const Worker& w) {
    showResultBox(dialogs_, w.resultCode, QString::fromStdString(w.messageText));
  };
  // The operation's link stops the relay.
  return std::make_unique<Worker>(session_.linkForOperation(), std::move(callbacks));
}

void GnssCommands::startFlashWorker(std::unique_ptr<firmware::GPSUpdateThread> worker) {
  const bool flash = !worker->recoverOnly;
  setFlashButtonsEnabled(false);
  if (auto refusal = flash_.start(std::move(worker), [this] { emit flashFinished(); })) {
    setFlashButtonsEnabled(true);
    logLine_(QString::fromStdString(*refusal));
    return;
  }
  // What the last flash found stays until the next one.
  if (flash) release_->clear();
  emit flashStarted();
}

void GnssCommands::setFlashButtonsEnabled(bool enabled) {
  flashButton_->setEnabled(enabled);
  recoverButton_->setEnabled(enabled);
}

void GnssCommands::showRelease(const firmware::GPSUpdateThread& run) {
  const QString before = QString::fromStdString(run.releaseBefore());
  const QString after = QString::fromStdString(run.releaseAfter());
  if (after.isEmpty()) {
    release_->setText(before.isEmpty() ? QString() : QStringLiteral("Версия модуля: ") + before);
  } else if (before.isEmpty()) {
    release_->setText(QStringLiteral("Версия модуля после прошивки: ") + after);
  } else {
    release_->setText(QStringLiteral("Версия модуля: %1 → %2").arg(before, after));
  }
}

}  // namespace orsa::app
