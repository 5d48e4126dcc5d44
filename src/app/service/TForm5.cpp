#include "TForm5.h"

#include "LocalPath.h"
#include "DialogService.h"
#include "GnssCommands.h"
#include "ModemDrivePanel.h"
#include "PageKit.h"
#include "ProgressMeter.h"
#include "ServiceCommands.h"
#include "ServicePages.h"
#include "UiFonts.h"
#include "WindowPlacement.h"
#include "service/ServiceThread.h"
#include "settings/AtomicFileWrite.h"
#include "settings/Cp1251.h"

#include <QDateTime>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include <stdexcept>
#include <system_error>

namespace orsa::app {
namespace {

using Mode = service::ServiceThread::Mode;
using settings::Cp1251;

const QString kNoPhoneForSms = QStringLiteral("Нет номера телефона. Передача SMS отменена");
const QString kNoPhoneForCall = QStringLiteral("Нет номера телефона. Звонок отменён");

QString fromConfig(const std::string& cp1251) { return QString::fromStdString(Cp1251::toUtf8(cp1251)); }

// What a field shows, in the code page of config.ini and of the modem; the log says why not.
std::optional<std::string> toCp1251(const QString& text, const QString& what, QString& problem) {
  auto converted = Cp1251::fromUtf8Strict(text.toStdString());
  if (converted.ok()) return std::move(converted.bytes);
  problem = what + QString::fromStdString(converted.errorText());
  return std::nullopt;
}

}  // namespace

TForm5::TForm5(DialogService& dialogs, DeviceSession& session, std::filesystem::path configIni)
    : dialogs_(dialogs), config_(std::move(configIni)) {
  setObjectName(QStringLiteral("Form5"));
  setWindowTitle(QString());
  setFixedSize(kWidth, kHeight);

  QGroupBox* logGroup = kit::group(this, QStringLiteral("Лог"), QRect(8, 8, 337, 547));
  log_ = new QPlainTextEdit(logGroup);
  log_->setObjectName(QStringLiteral("Memo1"));
  // The log is the operations' record; typing into it would only blur what they said.
  log_->setReadOnly(true);
  log_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The module's sentences keep their columns and their lines: a fixed-width face, and a long line
  // scrolls sideways instead of breaking at a comma.
  log_->setFont(fonts::consolas(11));
  log_->setLineWrapMode(QPlainTextEdit::NoWrap);
  log_->setGeometry(10, 22, 317, 480);
  auto* save = new QPushButton(QStringLiteral("Сохранить лог…"), logGroup);
  save->setObjectName(QStringLiteral("ButtonSaveLog"));
  save->setGeometry(10, 510, 105, 27);
  connect(save, &QPushButton::clicked, this, &TForm5::saveLog);
  auto* clear = new QPushButton(QStringLiteral("Очистить"), logGroup);
  clear->setObjectName(QStringLiteral("Button15"));
  clear->setGeometry(227, 510, 100, 27);
  connect(clear, &QPushButton::clicked, this, [this] {
    log_->clear();
    lineBreakOwed_ = false;
  });
  stop_ = new QPushButton(QStringLiteral("Стоп"), logGroup);
  stop_->setObjectName(QStringLiteral("ButtonStop"));
  stop_->setGeometry(121, 510, 100, 27);
  stop_->setEnabled(false);
  connect(stop_, &QPushButton::clicked, this, &TForm5::stopOperations);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("PageControl1"));
  pages_->setGeometry(353, 8, 343, 547);
  buildServicePages(*pages_);

  commands_ = std::make_unique<ServiceCommands>(session, dialogs_, [this](const QString& line) { appendLog(line); });
  gnss_ = std::make_unique<GnssCommands>(
      session, dialogs_, *pages_->widget(1), [this](const QString& line) { appendLog(line); },
      [this](const QString& text) { appendStream(text); });
  uploadProgress_ = std::make_unique<ProgressMeter>(*findChild<QProgressBar*>(QStringLiteral("ProgressBarUpload")));
  drive_ = std::make_unique<ModemDrivePanel>(*pages_->widget(0), *commands_, dialogs_);
  loadConfig();
  connectControls();
}

TForm5::~TForm5() = default;

void TForm5::present() {
  if (!isVisible()) {
    centreWindowAt(*this, desktopCentre(*this));
  }
  show();
  raise();
  activateWindow();
}

void TForm5::stopOperations() {
  commands_->requestStop();
  gnss_->stopFlash();
}

void TForm5::keyPressEvent(QKeyEvent* event) {
  // Reaches here from whichever control has the focus, as none of them takes Esc for itself.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && stop_->isEnabled()) {
    stopOperations();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm5::updateStopButton() { stop_->setEnabled(commands_->busy() || gnss_->flashRunning()); }

void TForm5::appendLog(const QString& line) {
  QTextCursor end(log_->document());
  end.movePosition(QTextCursor::End);
  if (!end.atBlockStart()) end.insertBlock();
  end.insertText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss ")) + line);
  lineBreakOwed_ = true;
  log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
}

void TForm5::appendStream(const QString& text) {
  QTextCursor end(log_->document());
  end.movePosition(QTextCursor::End);
  if (lineBreakOwed_ && !end.atBlockStart()) end.insertBlock();
  lineBreakOwed_ = false;
  end.insertText(text);
  // The end of the stream comes into view with the lines' starts, where their times are: following
  // the cursor would scroll the unwrapped sentences sideways. The focus stays where the technician
  // put it, so a path being typed on the page does not lose its keystrokes once a second.
  log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum());
  log_->horizontalScrollBar()->setValue(log_->horizontalScrollBar()->minimum());
}

QLineEdit* TForm5::field(const char* name) const { return findChild<QLineEdit*>(QString::fromLatin1(name)); }

void TForm5::loadConfig() {
  const service::ConfigIni::Values values = config_.load();
  const QString folder = fromConfig(values.directory);
  scanFolder(folder);
  // setText leaves the caret at the end with nothing selected: the end of a long path is what
  // tells one folder from another.
  field("Edit1")->setText(folder);
  field("Edit2")->setText(fromConfig(values.daPath));
  field("Edit3")->setText(fromConfig(values.firmwarePath));
  field("Edit4")->setText(fromConfig(values.phone));
}

void TForm5::connectControls() {
  const auto onClick = [this](const char* name, auto action) {
    connect(findChild<QPushButton*>(QString::fromLatin1(name)), &QPushButton::clicked, this, action);
  };
  const auto operation = [this, &onClick](const char* name, Mode mode) {
    onClick(name, [this, mode] { commands_->start(mode); });
  };
  operation("Button1", Mode::kModemOn);
  operation("Button2", Mode::kModemOff);
  operation("Button3", Mode::kGnssOn);
  operation("Button4", Mode::kGnssOff);
  operation("Button10", Mode::kCreateTestSimEntry);
  operation("Button11", Mode::kClearTestSimEntry);
  operation("Button14", Mode::kHangUp);
  operation("ButtonModemInfo", Mode::kModemInfo);
  onClick("Button5", [this] { chooseFolder(); });
  onClick("Button8", [this] { chooseFile("Edit2", service::ConfigIni::kDaPath); });
  onClick("Button9", [this] { chooseFile("Edit3", service::ConfigIni::kFirmwarePath); });
  // The paths as they stand at the press; editing them later leaves the run alone.
  onClick("Button7", [this] { gnss_->startFlash(field("Edit2")->text(), field("Edit3")->text()); });
  onClick("ButtonGnssRecover", [this] { gnss_->startRecovery(); });
  // The list as it is now; a later folder choice makes a new one and leaves this upload alone.
  onClick("Button6", [this] { commands_->start(Mode::kUploadFiles, {}, upload_); });
  onClick("Button12", [this] { startWithPhone(Mode::kSendImeiSms, kNoPhoneForSms); });
  onClick("Button13", [this] { startWithPhone(Mode::kCall, kNoPhoneForCall); });
  connect(field("Edit4"), &QLineEdit::textChanged, this, &TForm5::storePhone);

  // Whoever starts an operation, the stop button follows it.
  connect(commands_.get(), &ServiceCommands::operationStarted, this, &TForm5::updateStopButton);
  connect(commands_.get(), &ServiceCommands::operationFinished, this, &TForm5::updateStopButton);
  connect(gnss_.get(), &GnssCommands::flashStarted, this, &TForm5::updateStopButton);
  connect(gnss_.get(), &GnssCommands::flashFinished, this, &TForm5::updateStopButton);
  connect(commands_.get(), &ServiceCommands::uploadStarted, this,
          [this](qint64 total) { uploadProgress_->show(0, total); });
  connect(commands_.get(), &ServiceCommands::uploadProgress, this,
          [this](qint64 written, qint64 total) { uploadProgress_->show(written, total); });
}

void TForm5::scanFolder(const QString& folder) {
  std::error_code error;
  upload_ = service::scanUploadFolder(localPath(folder), error);
  // A folder never chosen is no problem; one that went away or may not be read is worth a word.
  if (error && !folder.isEmpty()) {
    appendLog(QStringLiteral("Папка с файлами недоступна: %1 (%2)")
                  .arg(QDir::toNativeSeparators(folder), QString::fromStdString(error.message())));
  }
}

void TForm5::saveLog() {
  const QString name =
      QStringLiteral("orsa-log-%1.txt").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss")));
  const auto chosen = dialogs_.saveFileName(name, QStringLiteral("Текстовый файл|*.txt"));
  if (!chosen || chosen->isEmpty()) {
    return;
  }
  QString text = log_->toPlainText();
  if (!text.isEmpty() && !text.endsWith(QLatin1Char('\n'))) text += QLatin1Char('\n');
  const QByteArray bytes = text.toUtf8();
  const auto written = settings::writeFileAtomically(
      localPath(*chosen), std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (written) {
    appendLog(QStringLiteral("Лог сохранён: %1").arg(QDir::toNativeSeparators(*chosen)));
  } else {
    appendLog(QStringLiteral("Лог не сохранён: %1 %2 (%3)")
                  .arg(QString::fromUtf8(written.message().data(), static_cast<qsizetype>(written.message().size())),
                       QDir::toNativeSeparators(*chosen), QString::fromStdString(written.detail())));
  }
}

void TForm5::chooseFolder() {
  const auto chosen = dialogs_.folderName(QStringLiteral("Выберите папку"));
  if (!chosen || chosen->isEmpty()) {
    return;
  }
  scanFolder(*chosen);
  store(service::ConfigIni::kDirectory, *chosen);
  field("Edit1")->setText(*chosen);
}

void TForm5::chooseFile(const char* edit, std::string_view key) {
  const auto chosen = dialogs_.openFileName(QString());
  if (!chosen || chosen->isEmpty()) {
    return;
  }
  QLineEdit* path = field(edit);
  path->setText(*chosen);
  path->setFocus();
  store(key, *chosen);
}

void TForm5::startWithPhone(int mode, const QString& noPhoneLine) {
  const QString phone = field("Edit4")->text();
  if (phone.isEmpty()) {
    appendLog(noPhoneLine);
    return;
  }
  QString problem;
  if (const auto bytes = toCp1251(phone, QStringLiteral("Номер телефона: "), problem)) {
    commands_->start(mode, *bytes);
  } else {
    appendLog(problem);
  }
}

void TForm5::storePhone(const QString& phone) { store(service::ConfigIni::kPhone, phone); }

void TForm5::store(std::string_view key, const QString& value) {
  QString problem;
  const auto bytes = toCp1251(value, QStringLiteral("config.ini не изменён: "), problem);
  if (!bytes) {
    appendLog(problem);
    return;
  }
  try {
    const auto written = config_.write(key, *bytes);
    if (!written) {
      appendLog(QStringLiteral("config.ini не изменён: %1 %2 (%3)")
                    .arg(QString::fromUtf8(written.message().data(), static_cast<qsizetype>(written.message().size())),
                         QString::fromStdU16String(config_.path().u16string()),
                         QString::fromStdString(written.detail())));
    }
  } catch (const std::invalid_argument&) {
    appendLog(QStringLiteral("config.ini не изменён: значение с переводом строки"));
  }
}

}  // namespace orsa::app
